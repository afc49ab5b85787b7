#pragma once

#include <QByteArray>

#include <optional>

// Uncompressed PCM audio read from the bytes of a RIFF/WAVE file.
struct WavFile
{
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    // Interleaved little-endian samples, whole frames only.
    QByteArray samples;

    int frameCount() const;
    double durationSeconds() const;

    // Walks the chunk list, so extra chunks (LIST, fact, ...) before or after the
    // format are skipped. Integer PCM of 8, 16, 24 or 32 bits only; anything else,
    // or a damaged file, gives nothing. A data chunk cut short keeps what is there.
    static std::optional<WavFile> parse(const QByteArray &bytes);
};
