#pragma once

#include "Clock.h"

class SystemClock final : public Clock
{
public:
    double now() const override;
};
