#include "platform/sound/SoundHelper.h"

#include "platform/sound/WavFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <pulse/simple.h>

#include <cstring>
#include <optional>

namespace {

// Names are the program's own: short, plain letters.
constexpr std::size_t kMaxName = 64;
// The program's own sounds are short chimes; a larger file is not one of them.
constexpr qint64 kMaxSoundBytes = 8 * 1024 * 1024;

enum Status { played = 0, failed = 1, usage = 64 };

// The few entry points of libpulse-simple, opened at run time so that a machine without
// it still has a working card, only a silent one.
struct PulseSimple
{
    decltype(&pa_simple_new) open = nullptr;
    decltype(&pa_simple_write) write = nullptr;
    decltype(&pa_simple_drain) drain = nullptr;
    decltype(&pa_simple_free) close = nullptr;

    bool isComplete() const { return open && write && drain && close; }

    static PulseSimple load()
    {
        PulseSimple api;
        void *handle = dlopen("libpulse-simple.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return api;
        api.open = reinterpret_cast<decltype(open)>(dlsym(handle, "pa_simple_new"));
        api.write = reinterpret_cast<decltype(write)>(dlsym(handle, "pa_simple_write"));
        api.drain = reinterpret_cast<decltype(drain)>(dlsym(handle, "pa_simple_drain"));
        api.close = reinterpret_cast<decltype(close)>(dlsym(handle, "pa_simple_free"));
        return api;
    }
};

std::optional<pa_sample_format_t> sampleFormat(int bitsPerSample)
{
    switch (bitsPerSample) {
    case 8: return PA_SAMPLE_U8;
    case 16: return PA_SAMPLE_S16LE;
    case 24: return PA_SAMPLE_S24LE;
    case 32: return PA_SAMPLE_S32LE;
    }
    return std::nullopt;
}

bool isSoundName(const char *name)
{
    const std::size_t length = strnlen(name, kMaxName + 1);
    if (length == 0 || length > kMaxName)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = name[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

// Blocks until the server has played the sound or refused it.
bool playBlocking(const WavFile &wav, const char *name)
{
    const PulseSimple pulse = PulseSimple::load();
    const auto format = sampleFormat(wav.bitsPerSample);
    if (!pulse.isComplete() || !format || wav.channels > int(PA_CHANNELS_MAX))
        return false;
    const pa_sample_spec sampleSpec{*format, quint32(wav.sampleRate), quint8(wav.channels)};
    pa_simple *stream
        = pulse.open(nullptr, "Orvanta", PA_STREAM_PLAYBACK, nullptr, name, &sampleSpec, nullptr, nullptr, nullptr);
    if (!stream)
        return false;
    const bool done = pulse.write(stream, wav.samples.constData(), size_t(wav.samples.size()), nullptr) == 0
        && pulse.drain(stream, nullptr) == 0;
    pulse.close(stream);
    return done;
}

} // namespace

QString SoundHelper::soundFile(const QString &executable, const QString &name)
{
    if (!isSoundName(name.toLatin1().constData()))
        return {};
    const QDir folder = QFileInfo(QFileInfo(executable).canonicalFilePath()).dir();
    return QDir::cleanPath(folder.filePath(QStringLiteral("../share/orvanta/sounds/%1.wav").arg(name)));
}

int SoundHelper::run(const char *name)
{
    if (!isSoundName(name))
        return usage;
    QFile file(soundFile(QStringLiteral("/proc/self/exe"), QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSoundBytes)
        return failed;
    const std::optional<WavFile> wav = WavFile::parse(file.read(kMaxSoundBytes));
    if (!wav || wav->frameCount() == 0)
        return failed;
    return playBlocking(*wav, name) ? played : failed;
}
