#include "platform/i3ipc/I3IpcClient.h"
#include "platform/i3ipc/I3Placement.h"
#include "platform/i3ipc/I3Replies.h"

#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

class TestI3Ipc : public QObject
{
    Q_OBJECT

private slots:
    void request_data();
    void request();
    void placement_data();
    void placement();
    void workspaceArea_data();
    void workspaceArea();
    void commandError_data();
    void commandError();

private:
    // The fake compositor in a process of its own, answering as mode says.
    bool startFake(QProcess &fake, const QString &socket, const QString &mode);

    QTemporaryDir m_dir;
};

bool TestI3Ipc::startFake(QProcess &fake, const QString &socket, const QString &mode)
{
    fake.start(QStringLiteral(ORVANTA_FAKE_I3IPC), {socket, mode});
    return fake.waitForReadyRead(10000) && fake.readLine() == "ready\n";
}

void TestI3Ipc::request_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("error");

    QTest::newRow("good") << "good" << QString();
    QTest::newRow("missing socket") << ""
                                    << "cannot connect to";
    QTest::newRow("refusing socket") << "refuse"
                                     << "cannot connect to";
    QTest::newRow("short") << "short"
                           << "ended the answer after 19 bytes";
    QTest::newRow("oversized") << "oversized"
                               << "is larger than";
    QTest::newRow("wrong type") << "wrong-type"
                                << "is of type 7, not 1";
    QTest::newRow("not JSON") << "not-json"
                              << "is not JSON";
    QTest::newRow("no magic") << "no-magic"
                              << "not an i3 IPC message";
    QTest::newRow("silent") << "silent"
                            << "took more than";
}

void TestI3Ipc::request()
{
    QFETCH(QString, mode);
    QFETCH(QString, error);

    const QString socket = m_dir.filePath(QStringLiteral("ipc-%1").arg(QTest::currentDataTag()).replace(' ', '-'));
    QProcess fake;
    if (mode == QLatin1String("refuse")) {
        // A socket that was bound and never listens, as one left by a compositor that died.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, QFile::encodeName(socket).constData(), sizeof address.sun_path);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(fd);
    } else if (!mode.isEmpty()) {
        QVERIFY(startFake(fake, socket, mode));
    }

    const I3IpcClient::Reply reply = I3IpcClient(socket).request(I3IpcClient::GetWorkspaces, {});
    if (error.isEmpty()) {
        QCOMPARE(reply.error, QString());
        QCOMPARE(I3Replies::focusedWorkspaceArea(reply.document), QRect(0, 30, 1280, 770));
    } else {
        QVERIFY2(reply.error.contains(error), qPrintable(reply.error));
        QVERIFY(!reply.error.contains('\n'));
    }
    fake.kill();
    fake.waitForFinished();
}

void TestI3Ipc::placement_data()
{
    QTest::addColumn<bool>("topRight");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("origin");

    // 24 inside the top-right corner of the focused workspace's area (0, 30, 1280 x 770).
    QTest::newRow("card") << true << QSize(220, 120) << QPoint(1280 - 220 - 24, 30 + 24);
    QTest::newRow("preferences") << false << QSize(340, 380) << QPoint((1280 - 340) / 2, 30 + (770 - 380) / 2);
}

void TestI3Ipc::placement()
{
    QFETCH(bool, topRight);
    QFETCH(QSize, size);
    QFETCH(QPoint, origin);

    const QString socket = m_dir.filePath(QStringLiteral("placement-%1").arg(topRight));
    QProcess fake;
    QVERIFY(startFake(fake, socket, QStringLiteral("good")));
    I3Placement placement(socket);
    QWindow window;
    window.resize(size);
    if (topRight)
        placement.keepTopRight(&window);
    else
        placement.keepCentred(&window);
    // Asked after every show, each time anew.
    for (int show = 0; show < 2; ++show) {
        window.show();
        // The expose comes through the event loop, and the answer through it.
        QTRY_VERIFY_WITH_TIMEOUT(fake.canReadLine(), 10000);
        const QByteArray command = fake.readLine().trimmed();
        QCOMPARE(command,
                 QByteArray("[id=") + QByteArray::number(window.winId()) + "] floating enable, "
                     + (topRight ? "sticky enable, " : "") + "move absolute position " + QByteArray::number(origin.x())
                     + " px " + QByteArray::number(origin.y()) + " px");
        window.hide();
    }
    fake.kill();
    fake.waitForFinished();
}

void TestI3Ipc::workspaceArea_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QRect>("area");

    const QRect none;
    QTest::newRow("focused second") << QByteArray(R"([{"focused":false,"rect":{"x":0,"y":0,"width":9,"height":9}},
        {"focused":true,"rect":{"x":1280,"y":25,"width":1920,"height":1055}}])")
                                    << QRect(1280, 25, 1920, 1055);
    QTest::newRow("none focused") << QByteArray(R"([{"focused":false,"rect":{"x":0,"y":0,"width":9,"height":9}}])")
                                  << none;
    QTest::newRow("not a list") << QByteArray(R"({"focused":true,"rect":{"x":0,"y":0,"width":9,"height":9}})") << none;
    QTest::newRow("no rect") << QByteArray(R"([{"focused":true}])") << none;
    QTest::newRow("text for a number") << QByteArray(
        R"([{"focused":true,"rect":{"x":"0","y":0,"width":9,"height":9}}])")
                                       << none;
    QTest::newRow("fraction") << QByteArray(R"([{"focused":true,"rect":{"x":0.5,"y":0,"width":9,"height":9}}])")
                              << none;
    QTest::newRow("empty") << QByteArray(R"([{"focused":true,"rect":{"x":0,"y":0,"width":0,"height":9}}])") << none;
    QTest::newRow("past any output") << QByteArray(R"([{"focused":true,"rect":{"x":0,"y":0,"width":1e12,"height":9}}])")
                                     << none;
}

void TestI3Ipc::workspaceArea()
{
    QFETCH(QByteArray, json);
    QFETCH(QRect, area);

    const std::optional<QRect> found = I3Replies::focusedWorkspaceArea(QJsonDocument::fromJson(json));
    QCOMPARE(found.value_or(QRect()), area);
}

void TestI3Ipc::commandError_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");

    QTest::newRow("all succeeded") << QByteArray(R"([{"success":true},{"success":true}])") << QString();
    QTest::newRow("second failed") << QByteArray(R"([{"success":true},{"success":false,"error":"No matching node."}])")
                                   << "No matching node.";
    QTest::newRow("reason on one line") << QByteArray(R"([{"success":false,"error":"two\nlines"}])") << "two lines";
    QTest::newRow("no reason") << QByteArray(R"([{"success":false}])") << "a command failed without a reason";
    QTest::newRow("success as text") << QByteArray(R"([{"success":"true"}])") << "a command failed without a reason";
    QTest::newRow("empty list") << QByteArray("[]") << "the answer to a command is not a list of results";
    QTest::newRow("object") << QByteArray(R"({"success":true})") << "the answer to a command is not a list of results";
}

void TestI3Ipc::commandError()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, error);

    QCOMPARE(I3Replies::commandError(QJsonDocument::fromJson(json)), error);
}

QTEST_MAIN(TestI3Ipc)
#include "tst_i3ipc.moc"
