#pragma once

#include "core/Clock.h"

class SystemClock final : public Clock
{
public:
    double now() const override;
};
