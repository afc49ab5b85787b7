#include "core/InstanceRequest.h"

#include <QTest>

class TestInstanceRequest : public QObject
{
    Q_OBJECT

private slots:
    void decode_data();
    void decode();
    void encodeLeavesOutBadTokens_data();
    void encodeLeavesOutBadTokens();
    void startupTime_data();
    void startupTime();
};

void TestInstanceRequest::decode_data()
{
    // A line as the pipe carries it, without its line break, and the line that the request
    // read from it makes again; empty when the line is not a request.
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("encoded");

    QTest::newRow("show") << QByteArray("show") << QByteArray("show\n");
    QTest::newRow("show with a token") << QByteArray("show abc-123_TIME42") << QByteArray("show abc-123_TIME42\n");
    QTest::newRow("toggle") << QByteArray("toggle") << QByteArray("toggle\n");
    QTest::newRow("toggle with a token") << QByteArray("toggle t") << QByteArray("toggle t\n");
    QTest::newRow("countdown") << QByteArray("countdown 300") << QByteArray("countdown 300\n");
    QTest::newRow("shortest countdown") << QByteArray("countdown 1") << QByteArray("countdown 1\n");
    QTest::newRow("longest countdown") << QByteArray("countdown 86400") << QByteArray("countdown 86400\n");
    QTest::newRow("pause") << QByteArray("pause") << QByteArray("pause\n");
    QTest::newRow("cancel") << QByteArray("cancel") << QByteArray("cancel\n");

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("unknown verb") << QByteArray("quit") << QByteArray();
    QTest::newRow("upper case") << QByteArray("Show") << QByteArray();
    QTest::newRow("verb with more") << QByteArray("shows") << QByteArray();
    QTest::newRow("trailing space") << QByteArray("show ") << QByteArray();
    QTest::newRow("two spaces") << QByteArray("show  t") << QByteArray();
    QTest::newRow("token with a space") << QByteArray("show a b") << QByteArray();
    QTest::newRow("token with a control") << QByteArray("show a\tb") << QByteArray();
    QTest::newRow("token not ASCII") << QByteArray("show caf\xc3\xa9") << QByteArray();
    QTest::newRow("token too long") << "show " + QByteArray(InstanceRequest::kMaxTokenLength + 1, 'x') << QByteArray();
    QTest::newRow("longest token") << "show " + QByteArray(InstanceRequest::kMaxTokenLength, 'x')
                                   << "show " + QByteArray(InstanceRequest::kMaxTokenLength, 'x') + '\n';
    QTest::newRow("cancel takes nothing") << QByteArray("cancel now") << QByteArray();
    QTest::newRow("pause takes nothing") << QByteArray("pause 5") << QByteArray();
    QTest::newRow("countdown without seconds") << QByteArray("countdown") << QByteArray();
    QTest::newRow("countdown of nothing") << QByteArray("countdown ") << QByteArray();
    QTest::newRow("countdown of 0") << QByteArray("countdown 0") << QByteArray();
    QTest::newRow("countdown past a day") << QByteArray("countdown 86401") << QByteArray();
    QTest::newRow("countdown with a leading zero") << QByteArray("countdown 0300") << QByteArray();
    QTest::newRow("countdown with a sign") << QByteArray("countdown +300") << QByteArray();
    QTest::newRow("countdown as typed") << QByteArray("countdown 5:00") << QByteArray();
    QTest::newRow("countdown that overflows") << QByteArray("countdown 99999999999999999999") << QByteArray();
    QTest::newRow("countdown with a token") << QByteArray("countdown 300 t") << QByteArray();
    QTest::newRow("zero byte") << QByteArray("show\0", 5) << QByteArray();
}

void TestInstanceRequest::decode()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, encoded);
    const auto request = InstanceRequest::decode(line);
    QCOMPARE(request.has_value(), !encoded.isEmpty());
    if (request) {
        QCOMPARE(request->encode(), encoded);
        QVERIFY(request->encode().size() <= InstanceRequest::kMaxLineLength);
    }
}

void TestInstanceRequest::encodeLeavesOutBadTokens_data()
{
    QTest::addColumn<QByteArray>("token");
    QTest::newRow("too long") << QByteArray(InstanceRequest::kMaxTokenLength + 1, 'x');
    QTest::newRow("line break") << QByteArray("a\ncancel");
    QTest::newRow("space") << QByteArray("a b");
}

void TestInstanceRequest::encodeLeavesOutBadTokens()
{
    QFETCH(QByteArray, token);
    // A launch with a strange token still shows the card.
    InstanceRequest request;
    request.activationToken = token;
    QCOMPARE(request.encode(), QByteArray("show\n"));
    QVERIFY(InstanceRequest::acceptedToken(token).isEmpty());
}

void TestInstanceRequest::startupTime_data()
{
    QTest::addColumn<QByteArray>("token");
    QTest::addColumn<quint32>("time");
    QTest::newRow("launcher's id") << QByteArray("openbox-1234-host-xterm-0_TIME5678") << 5678u;
    QTest::newRow("last _TIME counts") << QByteArray("a_TIME1_TIME2") << 2u;
    QTest::newRow("largest time") << QByteArray("x_TIME4294967295") << 4294967295u;
    QTest::newRow("past 32 bits") << QByteArray("x_TIME4294967296") << 0u;
    QTest::newRow("no time") << QByteArray("x_TIME") << 0u;
    QTest::newRow("not digits") << QByteArray("x_TIME12a") << 0u;
    QTest::newRow("none") << QByteArray("abc") << 0u;
    QTest::newRow("Wayland token") << QByteArray("5c1f0a3e-9a58-4a4c-8d6e") << 0u;
}

void TestInstanceRequest::startupTime()
{
    QFETCH(QByteArray, token);
    QFETCH(quint32, time);
    QCOMPARE(InstanceRequest::startupTime(token), time);
}

QTEST_GUILESS_MAIN(TestInstanceRequest)
#include "tst_instancerequest.moc"
