#include "platform/MissingDisplay.h"

#include <QTest>

class TestMissingDisplay : public QObject
{
    Q_OBJECT

private slots:
    void judge_data();
    void judge();
};

void TestMissingDisplay::judge_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("waylandDisplay");
    // What the one-line message names, or empty when the start goes ahead.
    QTest::addColumn<QString>("names");

    const QString neither = QStringLiteral("neither DISPLAY nor WAYLAND_DISPLAY");
    const QString x11 = QStringLiteral("QT_QPA_PLATFORM is xcb and DISPLAY is not set");
    QTest::newRow("nothing at all") << QByteArray() << QByteArray() << QByteArray() << neither;
    QTest::newRow("blank platform") << QByteArray("  ") << QByteArray() << QByteArray() << neither;
    QTest::newRow("default, X11") << QByteArray() << QByteArray(":0") << QByteArray() << QString();
    QTest::newRow("default, Wayland") << QByteArray() << QByteArray() << QByteArray("wayland-0") << QString();
    QTest::newRow("xcb, no display") << QByteArray("xcb") << QByteArray() << QByteArray() << x11;
    QTest::newRow("xcb, Wayland only") << QByteArray("xcb") << QByteArray() << QByteArray("wayland-0") << x11;
    QTest::newRow("xcb with options") << QByteArray("xcb:nograb") << QByteArray() << QByteArray() << x11;
    QTest::newRow("xcb twice, empty entries") << QByteArray(";xcb; xcb ;") << QByteArray() << QByteArray() << x11;
    QTest::newRow("xcb, X11") << QByteArray("xcb") << QByteArray(":1") << QByteArray() << QString();
    QTest::newRow("only separators") << QByteArray(";;") << QByteArray() << QByteArray() << QString();
    // Wayland without WAYLAND_DISPLAY still tries the default socket: Qt decides.
    QTest::newRow("wayland") << QByteArray("wayland") << QByteArray() << QByteArray() << QString();
    QTest::newRow("wayland, then xcb") << QByteArray("wayland;xcb") << QByteArray() << QByteArray() << QString();
    QTest::newRow("offscreen") << QByteArray("offscreen") << QByteArray() << QByteArray() << QString();
    QTest::newRow("vnc") << QByteArray("vnc:size=800x600") << QByteArray() << QByteArray() << QString();
}

void TestMissingDisplay::judge()
{
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QString, names);

    const std::optional<QString> reason = missingDisplay(platform, display, waylandDisplay);
    QCOMPARE(reason.has_value(), !names.isEmpty());
    if (reason) {
        QVERIFY2(reason->contains(names), qPrintable(*reason));
        QVERIFY(!reason->contains(u'\n'));
    }
}

QTEST_GUILESS_MAIN(TestMissingDisplay)
#include "tst_missingdisplay.moc"
