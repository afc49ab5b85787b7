#pragma once

#include <QString>

// The short-lived process that plays one of the program's sounds. The sound server's
// client library, and the codec libraries it brings along, are loaded only there, so
// the long-running card never maps them.
namespace SoundHelper {

// The program's own executable runs as the helper when given this and a sound's name.
inline constexpr char option[] = "--play-sound";

// The program's sounds are files beside it, not part of it: compiled in, the card would keep
// them in memory all day for the few seconds the helper needs them. "<name>.wav" in
// share/orvanta/sounds of the folder above the executable's, which holds both the
// installed layout (/usr/bin, /usr/share) and the build tree's (src/app, src/share). Empty
// for a name that is not plain letters.
QString soundFile(const QString &executable, const QString &name);

// Plays the sound of that name beside this executable to its end through the sound server;
// the exit status.
int run(const char *name);

} // namespace SoundHelper
