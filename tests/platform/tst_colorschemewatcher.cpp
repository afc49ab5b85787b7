#include "fakes/PrivateBus.h"
#include "platform/portal/ColorSchemeWatcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

#include <optional>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");

void setWindowColour(const QColor &colour)
{
    QPalette palette = QGuiApplication::palette();
    palette.setColor(QPalette::Window, colour);
    QGuiApplication::setPalette(palette);
}

} // namespace

// The portal, in a process of its own as the real one: the program must hear its signal
// across processes, with nothing of the portal's side in its own.
class FakePortal
{
public:
    // Starts it on the bus with its command-line options; false when it did not come up.
    bool start(const QString &address, const QStringList &options)
    {
        return m_process.start(QStringLiteral(ORVANTA_FAKE_PORTAL), QStringList{address} + options);
    }

    // Waits for its report of a Read call.
    bool readReceived() { return m_process.nextLine() == "read"; }

    void answerHeldCalls() { send("release"); }
    // Changes the colour scheme and tells the subscribers, as the portal does.
    void setColorScheme(uint value) { send("scheme " + QByteArray::number(value)); }
    void setContrast(uint value) { send("contrast " + QByteArray::number(value)); }
    void setGnomeHighContrast(bool on) { send(on ? "gnome-high-contrast 1" : "gnome-high-contrast 0"); }
    void emitSettingChanged(const QString &settingNamespace, const QString &key, uint value)
    {
        send("emit " + settingNamespace.toUtf8() + ' ' + key.toUtf8() + ' ' + QByteArray::number(value));
    }

private:
    void send(const QByteArray &command) { QVERIFY(m_process.send(command)); }

    ServiceProcess m_process;
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
    // Starts a private bus and connects the program's end to it; leaves m_appBus empty
    // when the test was skipped or failed.
    void startBus();
    void startPortal(const QStringList &options = {});
    // Replies come back in the order of the calls: once a call made now is answered, the
    // watcher has handled the answer to its own earlier one.
    void waitForEarlierReplies();

    std::unique_ptr<PrivateBus> m_bus;
    QString m_address;
    std::unique_ptr<FakePortal> m_portal;
    std::optional<QDBusConnection> m_appBus;
};

void TestColorSchemeWatcher::init()
{
    setWindowColour(Qt::white);
}

void TestColorSchemeWatcher::cleanup()
{
    m_portal.reset();
    m_appBus.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("app"));
    m_bus.reset();
}

void TestColorSchemeWatcher::startBus()
{
    if (!PrivateBus::daemonInstalled())
        QSKIP("dbus-daemon is not installed");
    m_bus = std::make_unique<PrivateBus>();
    m_address = m_bus->start();
    QVERIFY2(!m_address.isEmpty(), "the bus did not come up");

    const QDBusConnection appBus = QDBusConnection::connectToBus(m_address, QStringLiteral("app"));
    QVERIFY(appBus.isConnected());
    m_appBus = appBus;
}

void TestColorSchemeWatcher::startPortal(const QStringList &options)
{
    m_portal = std::make_unique<FakePortal>();
    QVERIFY2(m_portal->start(m_address, options), "the fake portal did not come up");
}

void TestColorSchemeWatcher::waitForEarlierReplies()
{
    QDBusMessage call
        = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, QStringLiteral("Read"));
    call << QStringLiteral("org.example") << QStringLiteral("barrier");
    // Waited for even when the answer is in already: the watcher's own replies are delivered to
    // this thread in order, so only the barrier's finished signal comes after them.
    QDBusPendingCallWatcher answer(m_appBus->asyncCall(call));
    QSignalSpy finished(&answer, &QDBusPendingCallWatcher::finished);
    QVERIFY(finished.wait());
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
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QColor>("window");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<bool>("highContrast");

    const QString scheme = QStringLiteral("--scheme");
    const QString contrast = QStringLiteral("--contrast");
    const QString gnome = QStringLiteral("--gnome-high-contrast");
    QTest::newRow("prefers dark over a light palette")
        << QStringList{scheme, "1"} << QColor(Qt::white) << true << false;
    QTest::newRow("prefers light over a dark palette")
        << QStringList{scheme, "2"} << QColor(Qt::black) << false << false;
    QTest::newRow("asks for high contrast") << QStringList{contrast, "1"} << QColor(Qt::white) << false << true;
    QTest::newRow("normal contrast") << QStringList{contrast, "0"} << QColor(Qt::white) << false << false;
    QTest::newRow("unknown contrast") << QStringList{contrast, "7"} << QColor(Qt::white) << false << false;
    QTest::newRow("GNOME's high contrast") << QStringList{gnome} << QColor(Qt::white) << false << true;
    QTest::newRow("dark and high contrast")
        << QStringList{scheme, "1", contrast, "1"} << QColor(Qt::white) << true << true;
}

void TestColorSchemeWatcher::portalAnswers()
{
    QFETCH(QStringList, options);
    QFETCH(QColor, window);
    QFETCH(bool, dark);
    QFETCH(bool, highContrast);

    startBus();
    if (!m_appBus)
        return;
    setWindowColour(window);
    startPortal(options);

    ColorSchemeWatcher watcher(*m_appBus);
    QSignalSpy changed(&watcher, &ColorSchemeWatcher::changed);
    const bool paletteDark = window.lightness() < 128;
    QCOMPARE(watcher.isDark(), paletteDark);
    QVERIFY(!watcher.isHighContrast());
    // The colour scheme, the contrast and GNOME's switch: once the portal has all three calls,
    // a later call's answer comes after theirs.
    for (int read = 0; read < 3; ++read)
        QVERIFY(m_portal->readReceived());
    waitForEarlierReplies();
    QCOMPARE(watcher.isDark(), dark);
    QCOMPARE(watcher.isHighContrast(), highContrast);
    QCOMPARE(changed.count(), int(dark != paletteDark) + int(highContrast));
}

void TestColorSchemeWatcher::startsBeforePortalAnswers()
{
    startBus();
    if (!m_appBus)
        return;
    startPortal({QStringLiteral("--scheme"), QStringLiteral("1"), QStringLiteral("--hold")});

    // The portal holds its answer: a blocking call would hang here until it timed out.
    ColorSchemeWatcher watcher(*m_appBus);
    QSignalSpy changed(&watcher, &ColorSchemeWatcher::changed);
    QVERIFY(m_portal->readReceived());
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
    m_portal->emitSettingChanged(appearance, QStringLiteral("accent-color"), 1);
    m_portal->emitSettingChanged(QStringLiteral("org.example"), QStringLiteral("color-scheme"), 1);
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
    QVERIFY(!watcher.isHighContrast());

    // Either the portal's contrast or GNOME's switch asks for high contrast; both must let go.
    m_portal->setContrast(1);
    QVERIFY(changed.wait());
    QVERIFY(watcher.isHighContrast());
    QVERIFY(watcher.isDark());
    // The light scheme comes after the two: the first change heard must be that one.
    m_portal->setGnomeHighContrast(true);
    m_portal->setContrast(0);
    m_portal->setColorScheme(2);
    QVERIFY(changed.wait());
    QVERIFY(!watcher.isDark());
    QVERIFY(watcher.isHighContrast());
    m_portal->setGnomeHighContrast(false);
    QVERIFY(changed.wait());
    QVERIFY(!watcher.isHighContrast());
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
    if (portalRuns)
        startPortal({QStringLiteral("--unknown")});
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
