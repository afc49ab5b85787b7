#pragma once

// The wall clock as the program sees it. Everything that needs "now" asks a
// Clock, so tests can move time by hand instead of sleeping.
class Clock
{
public:
    virtual ~Clock() = default;

    // Seconds since the Unix epoch.
    virtual double now() const = 0;
};
