#pragma once

#include "core/SoundPlayer.h"

#include <QObject>
#include <QString>

// Plays the program's own sounds (SoundHelper::soundFile) through the desktop's sound
// server, PulseAudio or PipeWire's pulse server, each in a short-lived helper process
// (SoundHelper): the client library and the codec libraries it pulls in are never mapped
// into this long-running process, and the event loop never waits for the server.
// Without a helper, library, server or device the sound is dropped silently.
class PulseSoundPlayer final : public QObject, public SoundPlayer
{
    Q_OBJECT

public:
    // program: the executable that runs as the helper; this program itself by default.
    explicit PulseSoundPlayer(const QString &program = QStringLiteral("/proc/self/exe"), QObject *parent = nullptr);

    void play(const QString &name) override;

    // Helpers still playing.
    int activePlays() const { return m_active; }

private:
    void reapWhenDone(int pid);

    QByteArray m_program;
    int m_active = 0;
};
