#pragma once

// The short-lived process that plays one of the program's sounds. The sound server's
// client library, and the codec libraries it brings along, are loaded only there, so
// the long-running card never maps them.
namespace SoundHelper {

// The program's own executable runs as the helper when given this and a sound's name.
inline constexpr char option[] = "--play-sound";

// Plays ":/sounds/<name>.wav" to its end through the sound server; the exit status.
int run(const char *name);

} // namespace SoundHelper
