#include "app/CommandLine.h"
#include "core/ApplicationInfo.h"

#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void arguments();
};

namespace {

const QString usageLine = QStringLiteral("Usage: orvanta [--toggle | --countdown DURATION | --pause | --cancel]\n");
const QString versionLine = QStringLiteral("Orvanta %1\n").arg(QLatin1String(ApplicationInfo::version));

QString complaint(const QString &shown)
{
    return QStringLiteral("orvanta: unknown argument '%1'; try 'orvanta --help'\n").arg(shown);
}

QString notADuration(const QString &shown)
{
    return QStringLiteral("orvanta: --countdown '%1' is not a duration; give minutes, m:ss or h:mm:ss, such as 25, "
                          "4:30 or 1:00:00\n")
        .arg(shown);
}

} // namespace

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("run");
    QTest::addColumn<int>("exitStatus");
    // The first line of standard output, and the whole of standard error.
    QTest::addColumn<QString>("firstOutputLine");
    QTest::addColumn<QString>("error");
    // When run: what the running copy is asked, as the pipe carries it.
    QTest::addColumn<QByteArray>("request");

    const QString none;
    QTest::newRow("no arguments") << QStringList() << true << 0 << none << none << QByteArray("show\n");
    QTest::newRow("--toggle") << QStringList{"--toggle"} << true << 0 << none << none << QByteArray("toggle\n");
    QTest::newRow("--cancel") << QStringList{"--cancel"} << true << 0 << none << none << QByteArray("cancel\n");
    QTest::newRow("--pause") << QStringList{"--pause"} << true << 0 << none << none << QByteArray("pause\n");
    QTest::newRow("--countdown m:ss") << QStringList{"--countdown", "5:00"} << true << 0 << none << none
                                      << QByteArray("countdown 300\n");
    QTest::newRow("--countdown=minutes") << QStringList{"--countdown=25"} << true << 0 << none << none
                                         << QByteArray("countdown 1500\n");
    QTest::newRow("--countdown h:mm:ss") << QStringList{"--countdown", "1:00:01"} << true << 0 << none << none
                                         << QByteArray("countdown 3601\n");
    QTest::newRow("--countdown past a day is a day")
        << QStringList{"--countdown", "2000"} << true << 0 << none << none << QByteArray("countdown 86400\n");
    QTest::newRow("--countdown 0") << QStringList{"--countdown", "0"} << false << 2 << none << notADuration("0");
    QTest::newRow("--countdown abc") << QStringList{"--countdown", "abc"} << false << 2 << none << notADuration("abc");
    QTest::newRow("--countdown=") << QStringList{"--countdown="} << false << 2 << none << notADuration("");
    QTest::newRow("--countdown negative")
        << QStringList{"--countdown", "-5"} << false << 2 << none << notADuration("-5");
    QTest::newRow("--countdown overflowing") << QStringList{"--countdown", "99999999999999999999:00"} << false << 2
                                             << none << notADuration("99999999999999999999:00");
    QTest::newRow("--countdown takes the next argument")
        << QStringList{"--countdown", "--toggle"} << false << 2 << none << notADuration("--toggle");
    QTest::newRow("--countdown without a duration")
        << QStringList{"--countdown"} << false << 2 << none
        << QStringLiteral("orvanta: --countdown needs a duration, such as 25, 4:30 or 1:00:00\n");
    QTest::newRow("two actions") << QStringList{"--toggle", "--cancel"} << false << 2 << none
                                 << QStringLiteral("orvanta: '--toggle' and '--cancel' cannot be given together; "
                                                   "try 'orvanta --help'\n");
    QTest::newRow("an action twice") << QStringList{"--cancel", "--cancel"} << false << 2 << none
                                     << QStringLiteral("orvanta: '--cancel' and '--cancel' cannot be given "
                                                       "together; try 'orvanta --help'\n");
    QTest::newRow("--help beside an action") << QStringList{"--toggle", "--help"} << false << 0 << usageLine << none;
    QTest::newRow("unknown after an action")
        << QStringList{"--countdown", "5", "--bogus"} << false << 2 << none << complaint("--bogus");
    QTest::newRow("--help") << QStringList{"--help"} << false << 0 << usageLine << none;
    QTest::newRow("-h") << QStringList{"-h"} << false << 0 << usageLine << none;
    QTest::newRow("--version") << QStringList{"--version"} << false << 0 << versionLine << none;
    QTest::newRow("--version first") << QStringList{"--version", "--help"} << false << 0 << versionLine << none;
    QTest::newRow("--help first") << QStringList{"-h", "--version"} << false << 0 << usageLine << none;
    QTest::newRow("unknown option") << QStringList{"--bogus"} << false << 2 << none << complaint("--bogus");
    QTest::newRow("extra argument") << QStringList{"notes.txt"} << false << 2 << none << complaint("notes.txt");
    QTest::newRow("extra argument after --help") << QStringList{"--help", "x"} << false << 2 << none << complaint("x");
    QTest::newRow("first unknown is named") << QStringList{"-v", "-q"} << false << 2 << none << complaint("-v");
    QTest::newRow("abbreviation") << QStringList{"--vers"} << false << 2 << none << complaint("--vers");
    QTest::newRow("option with a value") << QStringList{"--help=all"} << false << 2 << none << complaint("--help=all");
    QTest::newRow("single-dash long form") << QStringList{"-help"} << false << 2 << none << complaint("-help");
    QTest::newRow("upper case") << QStringList{"--HELP"} << false << 2 << none << complaint("--HELP");
    QTest::newRow("empty argument") << QStringList{""} << false << 2 << none << complaint("");
    QTest::newRow("double dash") << QStringList{"--"} << false << 2 << none << complaint("--");
    // Qt's own options are not taken either: the environment chooses the platform.
    QTest::newRow("Qt's -platform") << QStringList{"-platform", "xcb"} << false << 2 << none << complaint("-platform");
    QTest::newRow("session restore") << QStringList{"-session", "1a2b"} << false << 2 << none << complaint("-session");
    QTest::newRow("newline stays on one line") << QStringList{"a\nb\tc"} << false << 2 << none << complaint("a?b?c");
    QTest::newRow("escape sequence") << QStringList{"\x1b[31mred"} << false << 2 << none << complaint("?[31mred");
    QTest::newRow("long argument is cut") << QStringList{QString(1000, u'x')} << false << 2 << none
                                          << complaint(QString(CommandLine::kMaxEchoedLength, u'x') + u'…');
    QTest::newRow("just short enough") << QStringList{QString(CommandLine::kMaxEchoedLength, u'y')} << false << 2
                                       << none << complaint(QString(CommandLine::kMaxEchoedLength, u'y'));
    QTest::newRow("non-ASCII") << QStringList{"--hélp"} << false << 2 << none << complaint("--hélp");
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, run);
    QFETCH(int, exitStatus);
    QFETCH(QString, firstOutputLine);
    QFETCH(QString, error);

    const CommandLine::Outcome outcome = CommandLine::parse(arguments);
    QCOMPARE(outcome.run, run);
    if (run) {
        QFETCH(QByteArray, request);
        QVERIFY(outcome.standardOutput.isEmpty());
        QVERIFY(outcome.standardError.isEmpty());
        QCOMPARE(outcome.request.encode(), request);
        return;
    }
    QCOMPARE(outcome.exitStatus, exitStatus);
    QCOMPARE(outcome.standardError, error);
    if (firstOutputLine.isEmpty()) {
        QVERIFY(outcome.standardOutput.isEmpty());
        return;
    }
    QVERIFY2(outcome.standardOutput.startsWith(firstOutputLine), qPrintable(outcome.standardOutput));
    QVERIFY(outcome.standardOutput.endsWith(u'\n'));
}

void TestCommandLine::arguments()
{
    const char *argv[] = {"/usr/bin/orvanta", "--help", "\xc3\xa9t\xc3\xa9", "", nullptr};
    QCOMPARE(CommandLine::arguments(4, argv), (QStringList{"--help", QStringLiteral("été"), ""}));
    QCOMPARE(CommandLine::arguments(1, argv), QStringList());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
