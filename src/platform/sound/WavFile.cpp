#include "platform/sound/WavFile.h"

#include <QtEndian>

namespace {

constexpr quint16 FormatPcm = 1;
constexpr quint16 FormatExtensible = 0xFFFE;

quint16 u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 u32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}

struct Format
{
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
};

std::optional<Format> parseFormat(const char *p, qsizetype size)
{
    if (size < 16)
        return std::nullopt;
    quint16 tag = u16(p);
    // The extensible header names the real encoding in the first two bytes of its sub-format GUID.
    if (tag == FormatExtensible && size >= 26)
        tag = u16(p + 24);
    Format f;
    f.channels = u16(p + 2);
    f.sampleRate = int(qMin<quint32>(u32(p + 4), 1'000'000));
    f.blockAlign = u16(p + 12);
    f.bitsPerSample = u16(p + 14);
    const bool knownDepth
        = f.bitsPerSample == 8 || f.bitsPerSample == 16 || f.bitsPerSample == 24 || f.bitsPerSample == 32;
    if (tag != FormatPcm || !knownDepth || f.channels == 0 || f.sampleRate == 0
        || f.blockAlign != f.channels * f.bitsPerSample / 8)
        return std::nullopt;
    return f;
}

} // namespace

int WavFile::frameCount() const
{
    const int frameBytes = channels * bitsPerSample / 8;
    return frameBytes > 0 ? int(samples.size() / frameBytes) : 0;
}

double WavFile::durationSeconds() const
{
    return sampleRate > 0 ? double(frameCount()) / sampleRate : 0.0;
}

std::optional<WavFile> WavFile::parse(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;

    std::optional<Format> format;
    qsizetype pos = 12;
    while (pos + 8 <= bytes.size()) {
        const char *header = bytes.constData() + pos;
        const qsizetype body = pos + 8;
        const qsizetype available = bytes.size() - body;
        const qsizetype size = qMin<qsizetype>(u32(header + 4), available);
        const QByteArrayView id(header, 4);
        if (id == "fmt ") {
            format = parseFormat(bytes.constData() + body, size);
            if (!format)
                return std::nullopt;
        } else if (id == "data") {
            if (!format)
                return std::nullopt;
            WavFile wav;
            wav.sampleRate = format->sampleRate;
            wav.channels = format->channels;
            wav.bitsPerSample = format->bitsPerSample;
            wav.samples = bytes.mid(body, size - size % format->blockAlign);
            return wav;
        }
        // Chunks are padded to an even length.
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}
