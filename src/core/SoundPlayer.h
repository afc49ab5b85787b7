#pragma once

class QString;

// Plays one of the program's named sounds once, without blocking. A sound that
// cannot be played is silently dropped.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    virtual void play(const QString &name) = 0;
};
