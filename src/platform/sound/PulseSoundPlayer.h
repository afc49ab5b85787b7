#pragma once

#include "core/SoundPlayer.h"

#include <QHash>
#include <QString>

#include <atomic>
#include <memory>

struct WavFile;

// Plays the program's own sounds (":/sounds/<name>.wav") through the desktop's
// sound server, PulseAudio or PipeWire's pulse server. The client library is
// loaded at the first play, not at start-up, and each play talks to the server
// on a detached worker thread, so the event loop never waits for it. Without a
// library, server or device the sound is dropped silently.
class PulseSoundPlayer final : public SoundPlayer
{
public:
    PulseSoundPlayer();

    void play(const QString &name) override;

    // Plays still talking to the server (they may outlive the player).
    int activePlays() const { return m_active->load(); }

private:
    std::shared_ptr<const WavFile> sound(const QString &name);

    // Decoded on first use; a name that failed to load maps to null and is not retried.
    QHash<QString, std::shared_ptr<const WavFile>> m_sounds;
    std::shared_ptr<std::atomic<int>> m_active = std::make_shared<std::atomic<int>>(0);
};
