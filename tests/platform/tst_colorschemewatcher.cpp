#include "platform/portal/ColorSchemeWatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");

// A bus of the test's own, without service activation, so no real portal can answer.
const char busConfig[] = "<busconfig>\n"
                         "  <type>session</type>\n"
                         "  <listen>unix:dir=%1</listen>\n"
                         "  <auth>EXTERNAL</auth>\n"
                         "  <policy context=\"default\">\n"
                         "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                         "    <allow eavesdrop=\"true\"/>\n"
                         "    <allow own=\"*\"/>\n"
                         "  </policy>\n"
                         "</busconfig>\n";

void setWindowColour(const QColor &colour)
{
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Window, colour);
    QGuiApplication::setPalette(palette);
}

} // namespace

// Answers Read for the colour scheme like the portal, optionally only when told to.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    explicit FakePortal(const QDBusConnection &bus)
        : m_bus(bus)
    {
    }

    uint colorScheme = 0;
    bool knowsColorScheme = true;
    bool holdAnswers = false;

    void answerHeldCalls()
    {
        for (const QDBusMessage &call : std::as_const(m_held))
            m_bus.send(answer(call));
        m_held.clear();
    }

    // Changes the colour scheme and tells the subscribers, as the portal does.
    void setColorScheme(uint value)
    {
        colorScheme = value;
        emitSettingChanged(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"),
                           QVariant::fromValue(value));
    }

    void emitSettingChanged(const QString &settingNamespace, const QString &key, const QVariant &value)
    {
        QDBusMessage signal
            = QDBusMessage::createSignal(portalPath, settingsInterface, QStringLiteral("SettingChanged"));
        signal << settingNamespace << key << QVariant::fromValue(QDBusVariant(value));
        QVERIFY(m_bus.send(signal));
    }

signals:
    void readReceived();

public slots:
    QDBusVariant Read(const QString &settingNamespace, const QString &key, const QDBusMessage &call)
    {
        Q_UNUSED(settingNamespace)
        Q_UNUSED(key)
        call.setDelayedReply(true);
        emit readReceived();
        if (holdAnswers)
            m_held << call;
        else
            m_bus.send(answer(call));
        return {};
    }

private:
    QDBusMessage answer(const QDBusMessage &call) const
    {
        const QList<QVariant> arguments = call.arguments();
        if (!knowsColorScheme || arguments.value(0).toString() != QLatin1String("org.freedesktop.appearance")
            || arguments.value(1).toString() != QLatin1String("color-scheme"))
            return call.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                                         QStringLiteral("Requested setting not found"));
        // The portal wraps the value in a variant inside the variant that Read returns.
        const QDBusVariant inner(QVariant::fromValue(colorScheme));
        return call.createReply(QVariant::fromValue(QDBusVariant(QVariant::fromValue(inner))));
    }

    QDBusConnection m_bus;
    QList<QDBusMessage> m_held;
};

class TestColorSchemeWatcher : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void decision_data();
    void decision();
    void withoutBusFollowsPalette();
    void portalAnswers_data();
    void portalAnswers();
    void startsBeforePortalAnswers();
    void followsSettingChanged();
    void failedReadFollowsPalette_data();
    void failedReadFollowsPalette();

private:
    // Starts a private bus and connects the portal's and the program's ends to it; leaves
    // m_appBus empty when the test was skipped or failed.
    void startBus();
    void startPortal();
    // Replies come back in the order of the calls: once a call made now is answered, the
    // watcher has handled the answer to its own earlier one.
    void waitForEarlierReplies();

    QProcess m_daemon;
    std::unique_ptr<QTemporaryDir> m_busDir;
    std::unique_ptr<FakePortal> m_portal;
    std::optional<QDBusConnection> m_portalBus;
    std::optional<QDBusConnection> m_appBus;
};

void TestColorSchemeWatcher::init()
{
    setWindowColour(Qt::white);
}

void TestColorSchemeWatcher::cleanup()
{
    m_portal.reset();
    m_portalBus.reset();
    m_appBus.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
    QDBusConnection::disconnectFromBus(QStringLiteral("app"));
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }
    m_busDir.reset();
}

void TestColorSchemeWatcher::startBus()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is not installed");
    m_busDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_busDir->isValid());
    const QString configPath = m_busDir->filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QString::fromLatin1(busConfig).arg(m_busDir->path().toHtmlEscaped()).toUtf8());
    config.close();

    m_daemon.start(
        daemon,
        {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY(m_daemon.waitForStarted());
    while (!m_daemon.canReadLine())
        QVERIFY2(m_daemon.waitForReadyRead(10000), "the bus printed no address");
    const QString address = QString::fromUtf8(m_daemon.readLine().trimmed());

    const QDBusConnection portalBus = QDBusConnection::connectToBus(address, QStringLiteral("portal"));
    const QDBusConnection appBus = QDBusConnection::connectToBus(address, QStringLiteral("app"));
    QVERIFY(portalBus.isConnected());
    QVERIFY(appBus.isConnected());
    m_portalBus = portalBus;
    m_appBus = appBus;
}

void TestColorSchemeWatcher::startPortal()
{
    m_portal = std::make_unique<FakePortal>(*m_portalBus);
    QVERIFY(m_portalBus->registerObject(portalPath, m_portal.get(), QDBusConnection::ExportAllSlots));
    QVERIFY(m_portalBus->registerService(portalService));
}

void TestColorSchemeWatcher::waitForEarlierReplies()
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    call << QStringLiteral("org.example") << QStringLiteral("barrier");
    QDBusPendingCallWatcher answer(m_appBus->asyncCall(call));
    if (!answer.isFinished()) {
        QSignalSpy finished(&answer, &QDBusPendingCallWatcher::finished);
        QVERIFY(finished.wait());
    }
}

void TestColorSchemeWatcher::decision_data()
{
    QTest::addColumn<int>("portalValue");
    QTest::addColumn<QColor>("window");
    QTest::addColumn<bool>("dark");

    const int none = -1;
    QTest::newRow("no portal, white window") << none << QColor(Qt::white) << false;
    QTest::newRow("no portal, black window") << none << QColor(Qt::black) << true;
    QTest::newRow("no portal, lightness 127") << none << QColor::fromHsl(0, 0, 127) << true;
    QTest::newRow("no portal, lightness 128") << none << QColor::fromHsl(0, 0, 128) << false;
    QTest::newRow("no portal, dark blue") << none << QColor(0x20, 0x30, 0x60) << true;
    QTest::newRow("prefers dark, white window") << 1 << QColor(Qt::white) << true;
    QTest::newRow("prefers light, black window") << 2 << QColor(Qt::black) << false;
    QTest::newRow("no preference, black window") << 0 << QColor(Qt::black) << true;
    QTest::newRow("no preference, white window") << 0 << QColor(Qt::white) << false;
    QTest::newRow("unknown value, black window") << 7 << QColor(Qt::black) << true;
    QTest::newRow("unknown value, white window") << 7 << QColor(Qt::white) << false;
}

void TestColorSchemeWatcher::decision()
{
    QFETCH(int, portalValue);
    QFETCH(QColor, window);
    QFETCH(bool, dark);

    const std::optional<uint> value = portalValue < 0 ? std::nullopt : std::optional<uint>(uint(portalValue));
    QCOMPARE(ColorSchemeWatcher::schemeIsDark(value, window), dark);
}

void TestColorSchemeWatcher::withoutBusFollowsPalette()
{
    ColorSchemeWatcher watcher(QDBusConnection(QStringLiteral("no such bus")));
    QSignalSpy changed(&watcher, &ColorSchemeWatcher::changed);
    QVERIFY(!watcher.isDark());

    setWindowColour(QColor(0x30, 0x30, 0x30));
    QCOMPARE(changed.count(), 1);
    QVERIFY(watcher.isDark());

    // A palette change that keeps the window dark is no change of scheme.
    setWindowColour(QColor(0x20, 0x20, 0x20));
    QCOMPARE(changed.count(), 1);

    setWindowColour(QColor(0xf0, 0xf0, 0xf0));
    QCOMPARE(changed.count(), 2);
    QVERIFY(!watcher.isDark());
}

void TestColorSchemeWatcher::portalAnswers_data()
{
    QTest::addColumn<uint>("colorScheme");
    QTest::addColumn<QColor>("window");
    QTest::addColumn<bool>("dark");

    QTest::newRow("prefers dark over a light palette") << 1u << QColor(Qt::white) << true;
    QTest::newRow("prefers light over a dark palette") << 2u << QColor(Qt::black) << false;
}

void TestColorSchemeWatcher::portalAnswers()
{
    QFETCH(uint, colorScheme);
    QFETCH(QColor, window);
    QFETCH(bool, dark);

    startBus();
    if (!m_appBus)
        return;
    setWindowColour(window);
    startPortal();
    m_portal->colorScheme = colorScheme;

    ColorSchemeWatcher watcher(*m_appBus);
    QSignalSpy changed(&watcher, &ColorSchemeWatcher::changed);
    QCOMPARE(watcher.isDark(), !dark);
    QVERIFY(changed.wait());
    QCOMPARE(watcher.isDark(), dark);
}

void TestColorSchemeWatcher::startsBeforePortalAnswers()
{
    startBus();
    if (!m_appBus)
        return;
    startPortal();
    m_portal->colorScheme = 1;
    m_portal->holdAnswers = true;
    QSignalSpy asked(m_portal.get(), &FakePortal::readReceived);

    // The portal runs on this thread: a blocking call would hang here until it timed out.
    ColorSchemeWatcher watcher(*m_appBus);
    QSignalSpy changed(&watcher, &ColorSchemeWatcher::changed);
    QVERIFY(asked.wait());
    QVERIFY(!watcher.isDark());
    QVERIFY(changed.isEmpty());

    m_portal->answerHeldCalls();
    QVERIFY(changed.wait());
    QVERIFY(watcher.isDark());
}

void TestColorSchemeWatcher::followsSettingChanged()
{
    startBus();
    if (!m_appBus)
        return;
    startPortal();

    ColorSchemeWatcher watcher(*m_appBus);
    QSignalSpy changed(&watcher, &ColorSchemeWatcher::changed);
    waitForEarlierReplies();
    QVERIFY(changed.isEmpty());

    // Signals arrive in order: the unrelated ones before the dark one must change nothing.
    const QString appearance = QStringLiteral("org.freedesktop.appearance");
    m_portal->emitSettingChanged(appearance, QStringLiteral("accent-color"), QVariant::fromValue(1u));
    m_portal->emitSettingChanged(QStringLiteral("org.example"), QStringLiteral("color-scheme"),
                                 QVariant::fromValue(1u));
    m_portal->setColorScheme(1);
    QVERIFY(changed.wait());
    QCOMPARE(changed.count(), 1);
    QVERIFY(watcher.isDark());

    setWindowColour(Qt::black);
    m_portal->setColorScheme(2);
    QVERIFY(changed.wait());
    QVERIFY(!watcher.isDark());

    // No preference hands the decision back to the (now dark) palette.
    m_portal->setColorScheme(0);
    QVERIFY(changed.wait());
    QVERIFY(watcher.isDark());
}

void TestColorSchemeWatcher::failedReadFollowsPalette_data()
{
    QTest::addColumn<bool>("portalRuns");

    QTest::newRow("no portal on the bus") << false;
    QTest::newRow("portal without the setting") << true;
}

void TestColorSchemeWatcher::failedReadFollowsPalette()
{
    QFETCH(bool, portalRuns);

    startBus();
    if (!m_appBus)
        return;
    if (portalRuns) {
        startPortal();
        m_portal->knowsColorScheme = false;
    }
    setWindowColour(Qt::black);
    ColorSchemeWatcher watcher(*m_appBus);
    QSignalSpy changed(&watcher, &ColorSchemeWatcher::changed);
    waitForEarlierReplies();
    QVERIFY(changed.isEmpty());
    QVERIFY(watcher.isDark());

    setWindowColour(Qt::white);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!watcher.isDark());
}

QTEST_MAIN(TestColorSchemeWatcher)
#include "tst_colorschemewatcher.moc"
