#include "platform/sound/PulseSoundPlayer.h"
#include "platform/sound/SoundHelper.h"
#include "platform/sound/WavFile.h"

#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

namespace {

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const char *id, const QByteArray &body, quint32 declaredSize)
{
    QByteArray c = QByteArray(id, 4) + le32(declaredSize) + body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

QByteArray chunk(const char *id, const QByteArray &body)
{
    return chunk(id, body, quint32(body.size()));
}

QByteArray fmtBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits, quint16 blockAlign)
{
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * blockAlign) + le16(blockAlign) + le16(bits);
}

QByteArray pcmFmt(quint16 channels, quint32 rate, quint16 bits)
{
    return chunk("fmt ", fmtBody(1, channels, rate, bits, quint16(channels * bits / 8)));
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

QByteArray ramp(int bytes)
{
    QByteArray b(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        b[i] = char(i * 7 + 1);
    return b;
}

// Peak and RMS of 16-bit samples as fractions of full scale.
struct Level
{
    double peak = 0;
    double rms = 0;
};

Level level(const QByteArray &samples)
{
    Level l;
    const qsizetype n = samples.size() / 2;
    double sum = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const double v = qFromLittleEndian<qint16>(samples.constData() + 2 * i) / 32768.0;
        l.peak = std::max(l.peak, std::abs(v));
        sum += v * v;
    }
    l.rms = n > 0 ? std::sqrt(sum / double(n)) : 0;
    return l;
}

// The program itself, which runs as the helper that plays a sound.
const QString kProgram = QStringLiteral(ORVANTA_PROGRAM);

bool soundLibraryMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libpulse");
}

double sampleAt(const WavFile &wav, int frame)
{
    return qFromLittleEndian<qint16>(wav.samples.constData() + 2 * frame) / 32768.0;
}

} // namespace

class TestPulseSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parse_data();
    void parse();
    void rejects_data();
    void rejects();
    void shippedChime();
    void playWithoutServer();
    void playDoesNotWaitForServer();
    void unknownNamesPlayNothing_data();
    void unknownNamesPlayNothing();
    void helperRefusesNames_data();
    void helperRefusesNames();

private:
    QTemporaryDir m_home;
};

void TestPulseSoundPlayer::initTestCase()
{
    QVERIFY(m_home.isValid());
    // The sound client reads and may create a cookie and runtime files: keep them out of the real home.
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", m_home.path().toUtf8());
}

void TestPulseSoundPlayer::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("samples");

    const QByteArray data = ramp(400);
    QTest::newRow("16-bit mono") << riff(pcmFmt(1, 44100, 16) + chunk("data", data)) << 44100 << 1 << 16 << data;
    QTest::newRow("odd-sized chunk before the format")
        << riff(chunk("LIST", "abc") + pcmFmt(1, 22050, 16) + chunk("data", data)) << 22050 << 1 << 16 << data;
    QTest::newRow("chunk between format and data")
        << riff(pcmFmt(2, 48000, 16) + chunk("fact", le32(100)) + chunk("data", data)) << 48000 << 2 << 16 << data;
    QTest::newRow("longer format chunk") << riff(chunk("fmt ", fmtBody(1, 1, 8000, 8, 1) + le16(0))
                                                 + chunk("data", data))
                                         << 8000 << 1 << 8 << data;
    QByteArray extensible = fmtBody(0xFFFE, 2, 44100, 24, 6) + le16(22) + le16(24) + le32(3) + le16(1)
        + QByteArray::fromHex("000000001000800000aa00389b71");
    QTest::newRow("extensible PCM") << riff(chunk("fmt ", extensible) + chunk("data", ramp(396))) << 44100 << 2 << 24
                                    << ramp(396);
    QTest::newRow("data cut short keeps whole frames")
        << riff(pcmFmt(2, 44100, 16) + chunk("data", ramp(10), 4000)) << 44100 << 2 << 16 << ramp(8);
    QTest::newRow("streamed size") << riff(pcmFmt(1, 44100, 32) + chunk("data", ramp(16), 0xFFFFFFFF)) << 44100 << 1
                                   << 32 << ramp(16);
}

void TestPulseSoundPlayer::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, bits);
    QFETCH(QByteArray, samples);

    const std::optional<WavFile> wav = WavFile::parse(bytes);
    QVERIFY(wav);
    QCOMPARE(wav->sampleRate, rate);
    QCOMPARE(wav->channels, channels);
    QCOMPARE(wav->bitsPerSample, bits);
    QCOMPARE(wav->samples, samples);
    QCOMPARE(wav->frameCount(), samples.size() / (channels * bits / 8));
}

void TestPulseSoundPlayer::rejects_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray data = chunk("data", ramp(100));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("header only") << QByteArray("RIFF\x04\0\0\0WAVE", 12);
    QTest::newRow("not RIFF") << ("RIFX" + riff(pcmFmt(1, 44100, 16) + data).mid(4));
    QTest::newRow("not WAVE") << riff(pcmFmt(1, 44100, 16) + data).replace("WAVE", "AVI ");
    QTest::newRow("no data chunk") << riff(pcmFmt(1, 44100, 16));
    QTest::newRow("data before format") << riff(data + pcmFmt(1, 44100, 16));
    QTest::newRow("float samples") << riff(chunk("fmt ", fmtBody(3, 1, 44100, 32, 4)) + data);
    QTest::newRow("compressed") << riff(chunk("fmt ", fmtBody(2, 1, 44100, 4, 256)) + data);
    QTest::newRow("12-bit") << riff(chunk("fmt ", fmtBody(1, 1, 44100, 12, 2)) + data);
    QTest::newRow("no channels") << riff(pcmFmt(0, 44100, 16) + data);
    QTest::newRow("zero rate") << riff(pcmFmt(1, 0, 16) + data);
    QTest::newRow("block size disagrees") << riff(chunk("fmt ", fmtBody(1, 2, 44100, 16, 2)) + data);
    QTest::newRow("format chunk too short") << riff(chunk("fmt ", fmtBody(1, 1, 44100, 16, 2).left(14)) + data);
}

void TestPulseSoundPlayer::rejects()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!WavFile::parse(bytes));
}

void TestPulseSoundPlayer::shippedChime()
{
    // Where the program finds it, in the build tree as once installed.
    QFile file(SoundHelper::soundFile(kProgram, QStringLiteral("Glass")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::optional<WavFile> wav = WavFile::parse(file.readAll());
    QVERIFY(wav);
    QCOMPARE(wav->sampleRate, 44100);
    QCOMPARE(wav->channels, 1);
    QCOMPARE(wav->bitsPerSample, 16);
    QVERIFY2(wav->durationSeconds() >= 0.5 && wav->durationSeconds() <= 2.0,
             qPrintable(QString::number(wav->durationSeconds())));

    const Level l = level(wav->samples);
    QVERIFY2(l.rms > 0.02, qPrintable(QString::number(l.rms)));
    // About -3 dBFS: loud enough to hear, with headroom left.
    QVERIFY2(l.peak > 0.6 && l.peak < 0.75, qPrintable(QString::number(l.peak)));
    // Starting or stopping away from zero would click.
    QVERIFY(std::abs(sampleAt(*wav, 0)) < 0.01);
    QVERIFY(std::abs(sampleAt(*wav, wav->frameCount() - 1)) < 0.01);
}

void TestPulseSoundPlayer::playWithoutServer()
{
    qputenv("PULSE_SERVER", ("unix:" + m_home.filePath(QStringLiteral("no-such-socket"))).toUtf8());
    PulseSoundPlayer player(kProgram);
    player.play(QStringLiteral("Glass"));
    player.play(QStringLiteral("Glass"));
    // The helpers give up by themselves, quietly, and leave nothing in this process.
    QTRY_COMPARE(player.activePlays(), 0);
    QVERIFY(!soundLibraryMapped());
}

void TestPulseSoundPlayer::playDoesNotWaitForServer()
{
    // A server that accepts the connection but never answers: a play that waited
    // for it would not return here while the worker is still busy.
    QLocalServer mute;
    QVERIFY(mute.listen(m_home.filePath(QStringLiteral("mute-server"))));
    qputenv("PULSE_SERVER", ("unix:" + mute.fullServerName()).toUtf8());
    PulseSoundPlayer player(kProgram);
    player.play(QStringLiteral("Glass"));
    QCOMPARE(player.activePlays(), 1);
    QVERIFY(mute.waitForNewConnection(30000));
    QCOMPARE(player.activePlays(), 1);
    // The test ends with that play still waiting: quitting under it must be safe.
}

void TestPulseSoundPlayer::unknownNamesPlayNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("unknown") << QStringLiteral("Ping");
    QTest::newRow("wrong case") << QStringLiteral("glass");
    QTest::newRow("empty") << QString();
    QTest::newRow("a path to a sound") << QStringLiteral("../sounds/Glass");
}

void TestPulseSoundPlayer::unknownNamesPlayNothing()
{
    QFETCH(QString, name);
    QLocalServer mute;
    QVERIFY(mute.listen(m_home.filePath(QStringLiteral("mute-server-") + QTest::currentDataTag())));
    qputenv("PULSE_SERVER", ("unix:" + mute.fullServerName()).toUtf8());
    PulseSoundPlayer player(kProgram);
    player.play(name);
    player.play(name);
    QCOMPARE(player.activePlays(), 0);
}

void TestPulseSoundPlayer::helperRefusesNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("status");
    QTest::newRow("a path") << QStringLiteral("../sounds/Glass") << 64;
    QTest::newRow("too long") << QString(65, QLatin1Char('G')) << 64;
    QTest::newRow("empty") << QString() << 64;
    QTest::newRow("not one of ours") << QStringLiteral("Ping") << 1;
}

// The helper's command line comes from outside too.
void TestPulseSoundPlayer::helperRefusesNames()
{
    QFETCH(QString, name);
    QFETCH(int, status);
    QProcess helper;
    helper.start(kProgram, {QStringLiteral("--play-sound"), name});
    QVERIFY(helper.waitForFinished(30000));
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), status);
}

QTEST_GUILESS_MAIN(TestPulseSoundPlayer)
#include "tst_pulsesoundplayer.moc"
