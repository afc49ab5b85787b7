#include "fakes/PrivateBus.h"
#include "platform/notifications/DesktopNotifications.h"

#include <QDBusConnection>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

class TestDesktopNotifications : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void showsAndReplaces();
    void showAction_data();
    void showAction();
    void withoutService_data();
    void withoutService();

private:
    // A private bus with the program's end connected; with the fake service on it when asked.
    void startBus(bool withService);

    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<ServiceProcess> m_service;
    std::optional<QDBusConnection> m_appBus;
};

namespace {

QImage icon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::red);
    return image;
}

} // namespace

void TestDesktopNotifications::cleanup()
{
    m_service.reset();
    m_appBus.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("app"));
    m_bus.reset();
}

void TestDesktopNotifications::startBus(bool withService)
{
    if (!PrivateBus::daemonInstalled())
        QSKIP("dbus-daemon is not installed");
    m_bus = std::make_unique<PrivateBus>();
    const QString address = m_bus->start();
    QVERIFY2(!address.isEmpty(), "the bus did not come up");
    if (withService) {
        m_service = std::make_unique<ServiceProcess>();
        QVERIFY2(m_service->start(QStringLiteral(ORVANTA_FAKE_NOTIFICATIONS), {address}),
                 "the fake notification service did not come up");
    }
    const QDBusConnection appBus = QDBusConnection::connectToBus(address, QStringLiteral("app"));
    QVERIFY(appBus.isConnected());
    m_appBus = appBus;
}

void TestDesktopNotifications::showsAndReplaces()
{
    startBus(true);
    if (!m_appBus)
        return;
    DesktopNotifications notifications(*m_appBus);
    notifications.show(QStringLiteral("Countdown ended"), QStringLiteral("5:00"), icon(48));
    QCOMPARE(m_service->nextLine(),
             "notify 1 0 48x48 default,show|Countdown ended|5:00|io.github.orvanta.Orvanta|io.github.orvanta.Orvanta");
    // A large icon travels scaled down; the newer end takes the place of the older one.
    notifications.show(QStringLiteral("Countdown ended"), QStringLiteral("0:03"), icon(512));
    QCOMPARE(m_service->nextLine(),
             "notify 1 1 64x64 default,show|Countdown ended|0:03|io.github.orvanta.Orvanta|io.github.orvanta.Orvanta");
}

void TestDesktopNotifications::showAction_data()
{
    QTest::addColumn<QByteArray>("invoked");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("Show") << QByteArray("invoke 1 show") << true;
    QTest::newRow("click on it") << QByteArray("invoke 1 default") << true;
    QTest::newRow("another action") << QByteArray("invoke 1 snooze") << false;
    QTest::newRow("another notification") << QByteArray("invoke 7 show") << false;
}

void TestDesktopNotifications::showAction()
{
    QFETCH(QByteArray, invoked);
    QFETCH(bool, chosen);
    startBus(true);
    if (!m_appBus)
        return;
    DesktopNotifications notifications(*m_appBus);
    QSignalSpy shown(&notifications, &DesktopNotifications::showChosen);
    // Ends in quick succession: each call waits for the one before, to replace its notification.
    for (int i = 0; i < 3; ++i)
        notifications.show(QStringLiteral("t"), QStringLiteral("b"), icon(16));
    QVERIFY(m_service->nextLine().startsWith("notify 1 0 "));
    QVERIFY(m_service->nextLine().startsWith("notify 1 1 "));
    QVERIFY(m_service->send(invoked));
    // Signals keep their order: the one after it says that it has been delivered.
    QVERIFY(m_service->send("invoke 1 show"));
    QTRY_VERIFY(!shown.isEmpty());
    QTest::qWait(100);
    QCOMPARE(shown.count(), chosen ? 2 : 1);
}

void TestDesktopNotifications::withoutService_data()
{
    QTest::addColumn<bool>("bus");
    QTest::newRow("bus without the service") << true;
    QTest::newRow("no bus") << false;
}

void TestDesktopNotifications::withoutService()
{
    QFETCH(bool, bus);
    if (bus) {
        startBus(false);
        if (!m_appBus)
            return;
    }
    DesktopNotifications notifications(bus ? *m_appBus : QDBusConnection(QStringLiteral("no such bus")));
    // One line on standard error, however many ends go unseen.
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^Orvanta cannot show desktop notifications \\(.+\\); it "
                                            "says so only once\\.$"));
    QTest::failOnWarning(QRegularExpression("."));
    for (int i = 0; i < 3; ++i)
        notifications.show(QStringLiteral("t"), QStringLiteral("b"), icon(16));
    QTest::qWait(bus ? 1000 : 0);
}

QTEST_MAIN(TestDesktopNotifications)
#include "tst_desktopnotifications.moc"
