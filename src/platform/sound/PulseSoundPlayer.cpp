#include "platform/sound/PulseSoundPlayer.h"

#include "platform/sound/WavFile.h"

#include <QFile>

#include <dlfcn.h>
#include <pulse/simple.h>

#include <optional>
#include <system_error>
#include <thread>

namespace {

// The few entry points of libpulse-simple, resolved once and never unloaded:
// a detached play may still be inside the library when the program quits.
struct PulseSimple
{
    decltype(&pa_simple_new) open = nullptr;
    decltype(&pa_simple_write) write = nullptr;
    decltype(&pa_simple_drain) drain = nullptr;
    decltype(&pa_simple_free) close = nullptr;

    bool isComplete() const { return open && write && drain && close; }

    static const PulseSimple &instance()
    {
        static const PulseSimple library = load();
        return library;
    }

private:
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

// Runs on the worker thread: blocks until the server has played the sound or refused it.
void playBlocking(const WavFile &wav, const QString &name)
{
    const PulseSimple &pulse = PulseSimple::instance();
    const auto format = sampleFormat(wav.bitsPerSample);
    if (!pulse.isComplete() || !format || wav.channels > int(PA_CHANNELS_MAX))
        return;
    const pa_sample_spec sampleSpec{*format, quint32(wav.sampleRate), quint8(wav.channels)};
    const QByteArray streamName = name.toUtf8();
    pa_simple *stream = pulse.open(nullptr, "Orvanta", PA_STREAM_PLAYBACK, nullptr, streamName.constData(), &sampleSpec,
                                   nullptr, nullptr, nullptr);
    if (!stream)
        return;
    if (pulse.write(stream, wav.samples.constData(), size_t(wav.samples.size()), nullptr) == 0)
        pulse.drain(stream, nullptr);
    pulse.close(stream);
}

} // namespace

PulseSoundPlayer::PulseSoundPlayer()
{
    // The sounds are compiled into this static library and nothing refers to them
    // by symbol, so the linker would leave them out without this.
    Q_INIT_RESOURCE(assets);
}

void PulseSoundPlayer::play(const QString &name)
{
    const std::shared_ptr<const WavFile> wav = sound(name);
    if (!wav)
        return;
    std::shared_ptr<std::atomic<int>> active = m_active;
    ++*active;
    try {
        std::thread([wav, name, active] {
            playBlocking(*wav, name);
            --*active;
        }).detach();
    } catch (const std::system_error &) {
        --*active;
    }
}

std::shared_ptr<const WavFile> PulseSoundPlayer::sound(const QString &name)
{
    const auto cached = m_sounds.constFind(name);
    if (cached != m_sounds.cend())
        return *cached;
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(name));
    std::shared_ptr<const WavFile> wav;
    if (file.open(QIODevice::ReadOnly)) {
        if (auto parsed = WavFile::parse(file.readAll()); parsed && parsed->frameCount() > 0)
            wav = std::make_shared<const WavFile>(std::move(*parsed));
    }
    m_sounds.insert(name, wav);
    return wav;
}
