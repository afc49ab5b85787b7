#pragma once

#include "core/Clock.h"

// The kernel's clocks: the wall clock, and the boot-time clock that counts through
// suspend and is never set.
class SystemClock final : public Clock
{
public:
    double now() const override;
    double elapsed() const override;
};
