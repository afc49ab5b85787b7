#pragma once

// Time as the program sees it. Everything that needs "now" asks a Clock, so tests
// can move time by hand instead of sleeping.
class Clock
{
public:
    virtual ~Clock() = default;

    // The wall clock, in seconds since the Unix epoch: what the face shows. It jumps
    // when the user or the network sets it.
    virtual double now() const = 0;

    // Seconds on a clock that never jumps and keeps counting while the machine
    // sleeps; only differences mean anything. A countdown measures with it.
    virtual double elapsed() const = 0;
};
