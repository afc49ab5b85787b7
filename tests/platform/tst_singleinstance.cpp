#include "platform/SingleInstance.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Above the kernel's largest process id, so no process can have it.
constexpr qint64 deadPid = 0x7FFFFFFF;

// What a crashed instance leaves: a lock naming a process that is gone, and a pipe that
// nobody reads any more.
void leaveCrashedInstance(const SingleInstance &instance)
{
    QFile lock(instance.lockFilePath());
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\norvanta\n" + QSysInfo::machineHostName().toUtf8() + '\n'
               + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n');
    lock.close();
    QCOMPARE(::mkfifo(QFile::encodeName(instance.pipePath()).constData(), 0600), 0);
}

// A real second user: nobody.
constexpr uid_t otherUser = 65534;

// Puts something of the given kind at path, as a stale or hostile leftover would be. Kinds
// naming "another user" need root.
bool plant(const QString &path, const QByteArray &kind)
{
    const QByteArray name = QFile::encodeName(path);
    const auto file = [&](const QByteArray &contents) {
        QFile out(path);
        return out.open(QIODevice::WriteOnly) && out.write(contents) == contents.size();
    };
    if (kind == "private folder")
        return ::mkdir(name.constData(), 0700) == 0;
    if (kind == "another user's folder")
        return ::mkdir(name.constData(), 0700) == 0 && ::chown(name.constData(), otherUser, otherUser) == 0;
    if (kind == "folder open to others")
        return ::mkdir(name.constData(), 0700) == 0 && ::chmod(name.constData(), 0755) == 0;
    if (kind == "link to a private folder")
        return ::mkdir((name + ".real").constData(), 0700) == 0
            && ::symlink((name + ".real").constData(), name.constData()) == 0;
    if (kind == "plain file" || kind == "empty file")
        return file(kind == "plain file" ? QByteArrayLiteral("not a folder\n") : QByteArray());
    if (kind == "another host's lock")
        return file(QByteArray::number(::getpid()) + "\norvanta\nsomewhere-else\n\n\n");
    if (kind == "unreadable file")
        return file({}) && ::chmod(name.constData(), 0) == 0;
    if (kind == "another user's file")
        return file({}) && ::chown(name.constData(), otherUser, otherUser) == 0 && ::chmod(name.constData(), 0600) == 0;
    if (kind == "link")
        return ::symlink("/dev/null", name.constData()) == 0;
    if (kind == "pipe")
        return ::mkfifo(name.constData(), 0600) == 0;
    if (kind == "another user's pipe")
        return ::mkfifo(name.constData(), 0600) == 0 && ::chown(name.constData(), otherUser, otherUser) == 0;
    if (kind == "link to a pipe")
        return ::mkfifo((name + ".real").constData(), 0600) == 0
            && ::symlink((name + ".real").constData(), name.constData()) == 0;
    return false;
}

bool needsRoot(const QByteArray &kind)
{
    return kind.startsWith("another user");
}

int modeOf(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// In a list of writes to the pipe: a later launch of the program asks instead.
const QByteArray laterLaunch = QByteArrayLiteral("<later launch>");

int bytesInPipe(int fd)
{
    int bytes = -1;
    return ::ioctl(fd, FIONREAD, &bytes) == 0 ? bytes : -1;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void secondLaunchAsksFirstToShow();
    void everyLaterLaunchAsks();
    void crashedInstanceDoesNotBlock();
    void oldLockOfRunningInstanceHolds();
    void firstInstanceGoneFreesTheLock();
    void withoutRuntimeFolder();
    void lockFolder_data();
    void lockFolder();
    void noPrivateFolder_data();
    void noPrivateFolder();
    void badLockIsReplaced_data();
    void badLockIsReplaced();
    void unreachablePrimary_data();
    void unreachablePrimary();
    void requests_data();
    void requests();
    void laterLaunchHandsOnItsRequest();
    void floodKeepsLoopTurning();
    void otherSession_data();
    void otherSession();

private:
    // Where the settings of every copy in a test are: one store, whatever the runtime folder.
    QString storeFolder() const { return m_config->filePath(QStringLiteral("orvanta")); }

    std::unique_ptr<QTemporaryDir> m_config;
    std::unique_ptr<QTemporaryDir> m_runtime;
    // The temporary folder (TMPDIR) of each test, so that none touches the real one.
    std::unique_ptr<QTemporaryDir> m_temp;
    QByteArray m_tmpdir;
};

void TestSingleInstance::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    m_runtime = std::make_unique<QTemporaryDir>();
    m_temp = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid() && m_runtime->isValid() && m_temp->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    m_tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(m_temp->path()));
}

void TestSingleInstance::cleanup()
{
    if (m_tmpdir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", m_tmpdir);
    m_runtime.reset();
    m_temp.reset();
    m_config.reset();
}

void TestSingleInstance::secondLaunchAsksFirstToShow()
{
    SingleInstance first(storeFolder());
    QSignalSpy shown(&first, &SingleInstance::requestReceived);
    QVERIFY(first.lockFilePath().startsWith(m_runtime->path() + u'/'));
    QVERIFY(first.pipePath().startsWith(m_runtime->path() + u'/'));
    QVERIFY(first.tryBecomePrimary());

    SingleInstance second(storeFolder());
    QVERIFY(!second.tryBecomePrimary());
    QVERIFY(second.errorString().isEmpty());
    QVERIFY(shown.wait());
    QCOMPARE(shown.count(), 1);
}

void TestSingleInstance::everyLaterLaunchAsks()
{
    SingleInstance first(storeFolder());
    QSignalSpy shown(&first, &SingleInstance::requestReceived);
    QVERIFY(first.tryBecomePrimary());

    for (int launch = 1; launch <= 3; ++launch) {
        SingleInstance later(storeFolder());
        QVERIFY(!later.tryBecomePrimary());
        QVERIFY(shown.wait());
        QCOMPARE(shown.count(), launch);
    }
}

void TestSingleInstance::crashedInstanceDoesNotBlock()
{
    SingleInstance instance(storeFolder());
    leaveCrashedInstance(instance);
    QVERIFY(instance.tryBecomePrimary());

    // It also listens where the dead pipe was.
    QSignalSpy shown(&instance, &SingleInstance::requestReceived);
    SingleInstance later(storeFolder());
    QVERIFY(!later.tryBecomePrimary());
    QVERIFY(shown.wait());
}

void TestSingleInstance::oldLockOfRunningInstanceHolds()
{
    SingleInstance first(storeFolder());
    QVERIFY(first.tryBecomePrimary());
    QFile lock(first.lockFilePath());
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    lock.close();

    SingleInstance second(storeFolder());
    QVERIFY(!second.tryBecomePrimary());
}

void TestSingleInstance::firstInstanceGoneFreesTheLock()
{
    {
        SingleInstance first(storeFolder());
        QVERIFY(first.tryBecomePrimary());
    }
    SingleInstance next(storeFolder());
    QVERIFY(next.tryBecomePrimary());
}

void TestSingleInstance::withoutRuntimeFolder()
{
    qunsetenv("XDG_RUNTIME_DIR");
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(m_runtime->path()));
    const auto restore = qScopeGuard([&tmpdir] {
        if (tmpdir.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", tmpdir);
    });

    SingleInstance first(storeFolder());
    // In a folder of the user's own: a bare name in the shared folder could be taken by anyone.
    const QString stem = m_runtime->path() + QStringLiteral("/orvanta-") + QString::number(::getuid());
    QCOMPARE(first.lockFilePath(), stem + QStringLiteral("/lock"));
    QCOMPARE(first.pipePath(), stem + QStringLiteral("/pipe"));
    QCOMPARE(modeOf(stem), 0700);
    QSignalSpy shown(&first, &SingleInstance::requestReceived);
    QVERIFY(first.tryBecomePrimary());
    SingleInstance second(storeFolder());
    QVERIFY(!second.tryBecomePrimary());
    QVERIFY(shown.wait());
}

void TestSingleInstance::lockFolder_data()
{
    QTest::addColumn<QByteArray>("runtime");
    QTest::addColumn<bool>("inRuntime");
    QTest::newRow("the user's runtime folder") << QByteArray("private folder") << true;
    // What a user finds after su: the runtime folder of the user it was.
    QTest::newRow("another user's runtime folder") << QByteArray("another user's folder") << false;
    QTest::newRow("runtime folder open to others") << QByteArray("folder open to others") << false;
    QTest::newRow("runtime path is a file") << QByteArray("plain file") << false;
    QTest::newRow("runtime path is relative") << QByteArray("relative") << false;
}

void TestSingleInstance::lockFolder()
{
    QFETCH(QByteArray, runtime);
    QFETCH(bool, inRuntime);
    if (needsRoot(runtime) && ::geteuid() != 0)
        QSKIP("giving a folder to another user needs root");
    const QString runtimePath = m_runtime->filePath(QStringLiteral("runtime"));
    if (runtime == "relative")
        qputenv("XDG_RUNTIME_DIR", "runtime");
    else
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimePath));
    QVERIFY(runtime == "relative" || plant(runtimePath, runtime));

    SingleInstance first(storeFolder());
    const QString expected = inRuntime ? runtimePath + QStringLiteral("/orvanta")
                                       : m_temp->filePath(QStringLiteral("orvanta-") + QString::number(::geteuid()));
    QCOMPARE(first.folderPath(), expected);
    QCOMPARE(modeOf(expected), 0700);
    QSignalSpy shown(&first, &SingleInstance::requestReceived);
    QVERIFY(first.tryBecomePrimary());

    // Never a second writer: later launches find the first and ask it.
    for (int launch = 1; launch <= 2; ++launch) {
        SingleInstance later(storeFolder());
        QVERIFY(!later.tryBecomePrimary());
        QCOMPARE(later.errorString(), QString());
        QVERIFY(shown.wait());
    }
}

void TestSingleInstance::noPrivateFolder_data()
{
    QTest::addColumn<QByteArray>("temp");
    QTest::newRow("another user's folder") << QByteArray("another user's folder");
    QTest::newRow("folder open to others") << QByteArray("folder open to others");
    QTest::newRow("link to a private folder") << QByteArray("link to a private folder");
    QTest::newRow("plain file") << QByteArray("plain file");
}

void TestSingleInstance::noPrivateFolder()
{
    QFETCH(QByteArray, temp);
    if (::geteuid() != 0)
        QSKIP("giving a folder to another user needs root");
    const QString runtimePath = m_runtime->filePath(QStringLiteral("runtime"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimePath));
    QVERIFY(plant(runtimePath, "another user's folder"));
    const QString tempFolder = m_temp->filePath(QStringLiteral("orvanta-") + QString::number(::geteuid()));
    QVERIFY(plant(tempFolder, temp));

    // Nothing can keep a second copy out, so none runs, and each launch says why.
    for (int launch = 1; launch <= 2; ++launch) {
        SingleInstance instance(storeFolder());
        QVERIFY(!instance.tryBecomePrimary());
        QVERIFY(instance.folderPath().isEmpty());
        QVERIFY2(instance.errorString().contains(tempFolder), qPrintable(instance.errorString()));
        QVERIFY2(instance.errorString().contains(runtimePath), qPrintable(instance.errorString()));
        QVERIFY(!instance.errorString().contains(u'\n'));
    }
    QVERIFY(!QFileInfo::exists(runtimePath + QStringLiteral("/orvanta")));
}

void TestSingleInstance::badLockIsReplaced_data()
{
    QTest::addColumn<QByteArray>("lock");
    QTest::addColumn<bool>("besideStore");
    QTest::newRow("empty file") << QByteArray("empty file") << false;
    QTest::newRow("another host's lock") << QByteArray("another host's lock") << false;
    QTest::newRow("unreadable file") << QByteArray("unreadable file") << false;
    QTest::newRow("another user's file") << QByteArray("another user's file") << false;
    QTest::newRow("folder") << QByteArray("private folder") << false;
    QTest::newRow("link") << QByteArray("link") << false;
    QTest::newRow("pipe") << QByteArray("pipe") << false;
    QTest::newRow("store: another host's lock") << QByteArray("another host's lock") << true;
    QTest::newRow("store: unreadable file") << QByteArray("unreadable file") << true;
    QTest::newRow("store: another user's file") << QByteArray("another user's file") << true;
    QTest::newRow("store: folder") << QByteArray("private folder") << true;
    QTest::newRow("store: link") << QByteArray("link") << true;
    QTest::newRow("store: pipe") << QByteArray("pipe") << true;
}

void TestSingleInstance::badLockIsReplaced()
{
    QFETCH(QByteArray, lock);
    QFETCH(bool, besideStore);
    if (needsRoot(lock) && ::geteuid() != 0)
        QSKIP("giving a file to another user needs root");
    SingleInstance first(storeFolder());
    QVERIFY(QDir().mkpath(storeFolder()));
    QVERIFY(plant(besideStore ? first.storeLockPath() : first.lockFilePath(), lock));
    QVERIFY2(first.tryBecomePrimary(), qPrintable(first.errorString()));

    QSignalSpy shown(&first, &SingleInstance::requestReceived);
    SingleInstance later(storeFolder());
    QVERIFY(!later.tryBecomePrimary());
    QCOMPARE(later.errorString(), QString());
    QVERIFY(shown.wait());
}

void TestSingleInstance::unreachablePrimary_data()
{
    QTest::addColumn<QByteArray>("pipe");
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("plain file") << QByteArray("plain file");
    QTest::newRow("another user's pipe") << QByteArray("another user's pipe");
    QTest::newRow("link to a pipe") << QByteArray("link to a pipe");
}

void TestSingleInstance::unreachablePrimary()
{
    QFETCH(QByteArray, pipe);
    if (needsRoot(pipe) && ::geteuid() != 0)
        QSKIP("giving a pipe to another user needs root");
    SingleInstance first(storeFolder());
    QVERIFY(first.tryBecomePrimary());
    QVERIFY(QFile::remove(first.pipePath()));
    QVERIFY(pipe.isEmpty() || plant(first.pipePath(), pipe));

    SingleInstance later(storeFolder());
    QVERIFY(!later.tryBecomePrimary());
    QVERIFY2(later.errorString().contains(first.pipePath()), qPrintable(later.errorString()));
    QVERIFY(!later.errorString().contains(u'\n'));
}

void TestSingleInstance::requests_data()
{
    QTest::addColumn<QByteArrayList>("writes");
    // The requests heard, as the pipe carries them, and whether junk was complained about.
    QTest::addColumn<QByteArrayList>("received");
    QTest::addColumn<bool>("warned");
    const QByteArrayList none;
    const QByteArray show = "show\n";
    QTest::newRow("one") << QByteArrayList{"show\n"} << QByteArrayList{show} << false;
    QTest::newRow("three read in one turn make one")
        << QByteArrayList{"show\nshow\nshow\n"} << QByteArrayList{show} << false;
    QTest::newRow("two turns") << QByteArrayList{"show\n", "show\n"} << QByteArrayList{show, show} << false;
    QTest::newRow("split across reads") << QByteArrayList{"sh", "ow\n"} << QByteArrayList{show} << false;
    QTest::newRow("after another line") << QByteArrayList{"hello\nshow\n"} << QByteArrayList{show} << true;
    QTest::newRow("not a request") << QByteArrayList{"shows\n", "Show\n"} << none << true;
    QTest::newRow("long line ending in show") << QByteArrayList{QByteArray(100, 'x'), "show\n"} << none << true;
    QTest::newRow("after a long line") << QByteArrayList{QByteArray(5000, 'x') + "\nshow\n"} << QByteArrayList{show}
                                       << true;
    // A later launch of the program itself asks.
    QTest::newRow("launch") << QByteArrayList{laterLaunch} << QByteArrayList{show} << false;
    QTest::newRow("launch after junk without a line break")
        << QByteArrayList{"junk", laterLaunch} << QByteArrayList{show} << true;
    QTest::newRow("launch after a long line without a break")
        << QByteArrayList{QByteArray(100, 'x'), laterLaunch} << QByteArrayList{show} << true;
    QTest::newRow("launch after half a request") << QByteArrayList{"sho", laterLaunch} << QByteArrayList{show} << true;
    // Requests of the command line, in the order they came; junk among them is said once.
    QTest::newRow("each request") << QByteArrayList{"toggle\ncountdown 300\npause\ncancel\nshow tok_TIME5\n"}
                                  << QByteArrayList{"toggle\n", "countdown 300\n", "pause\n", "cancel\n",
                                                    "show tok_TIME5\n"}
                                  << false;
    QTest::newRow("two toggles stay two")
        << QByteArrayList{"toggle\ntoggle\n"} << QByteArrayList{"toggle\n", "toggle\n"} << false;
    QTest::newRow("bad countdowns among good")
        << QByteArrayList{"countdown 0\n", "countdown 5:00\ncountdown 60\n", "countdown 86401\n"}
        << QByteArrayList{"countdown 60\n"} << true;
    QTest::newRow("longest token") << QByteArrayList{"show " + QByteArray(InstanceRequest::kMaxTokenLength, 't') + '\n'}
                                   << QByteArrayList{"show " + QByteArray(InstanceRequest::kMaxTokenLength, 't') + '\n'}
                                   << false;
    QTest::newRow("token past the bound")
        << QByteArrayList{"show " + QByteArray(InstanceRequest::kMaxTokenLength + 1, 't') + '\n', "cancel\n"}
        << QByteArrayList{"cancel\n"} << true;
    QTest::newRow("empty lines are nothing") << QByteArrayList{"\n\n\ncancel\n"} << QByteArrayList{"cancel\n"} << false;
}

void TestSingleInstance::requests()
{
    QFETCH(QByteArrayList, writes);
    QFETCH(QByteArrayList, received);
    QFETCH(bool, warned);
    SingleInstance primary(storeFolder());
    QVERIFY(primary.tryBecomePrimary());
    QByteArrayList heard;
    connect(&primary, &SingleInstance::requestReceived, this,
            [&](const InstanceRequest &request) { heard << request.encode(); });
    if (warned)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Orvanta ignores what it cannot read as a request"));
    QTest::failOnWarning(QRegularExpression("."));
    const int pipe = ::open(QFile::encodeName(primary.pipePath()).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(pipe >= 0);
    const auto closePipe = qScopeGuard([pipe] { ::close(pipe); });
    for (const QByteArray &data : writes) {
        if (data == laterLaunch) {
            SingleInstance later(storeFolder());
            QVERIFY(!later.tryBecomePrimary());
            QVERIFY2(later.errorString().isEmpty(), qPrintable(later.errorString()));
        } else {
            QCOMPARE(::write(pipe, data.constData(), size_t(data.size())), data.size());
        }
        // Each write is read before the next is made.
        QTRY_COMPARE(bytesInPipe(pipe), 0);
    }
    QCOMPARE(heard, received);
}

void TestSingleInstance::laterLaunchHandsOnItsRequest()
{
    SingleInstance first(storeFolder());
    QVERIFY(first.tryBecomePrimary());
    QSignalSpy heard(&first, &SingleInstance::requestReceived);
    InstanceRequest request;
    request.kind = InstanceRequest::Kind::Countdown;
    request.seconds = 300;
    SingleInstance later(storeFolder());
    QVERIFY(!later.tryBecomePrimary(request));
    QVERIFY(later.errorString().isEmpty());
    QVERIFY(heard.wait());
    QCOMPARE(heard.count(), 1);
    QCOMPARE(heard.at(0).at(0).value<InstanceRequest>(), request);
}

void TestSingleInstance::floodKeepsLoopTurning()
{
    SingleInstance primary(storeFolder());
    QVERIFY(primary.tryBecomePrimary());

    // The event loop's turns, counted by a timer that is due at every turn.
    int turns = 0;
    int showsInOneTurn = 0;
    int mostShowsInOneTurn = 0;
    int shows = 0;
    QTimer turn;
    turn.setInterval(0);
    connect(&turn, &QTimer::timeout, this, [&] {
        ++turns;
        showsInOneTurn = 0;
    });
    connect(&primary, &SingleInstance::requestReceived, this, [&] {
        ++shows;
        mostShowsInOneTurn = std::max(mostShowsInOneTurn, ++showsInOneTurn);
    });
    turn.start();

    // Another process writes requests without pause, four times what the pipe holds.
    constexpr int floodBytes = 256 * 1024;
    QProcess flood;
    flood.start(
        QStringLiteral("sh"),
        {QStringLiteral("-c"), QStringLiteral("yes show | head -c %1 >\"$0\"").arg(floodBytes), primary.pipePath()});
    QVERIFY(flood.waitForStarted());
    QSignalSpy finished(&flood, &QProcess::finished);
    const int pipe = ::open(QFile::encodeName(primary.pipePath()).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    QVERIFY(pipe >= 0);
    const auto closePipe = qScopeGuard([pipe] { ::close(pipe); });
    QTRY_VERIFY_WITH_TIMEOUT(finished.count() == 1 && bytesInPipe(pipe) == 0, 60000);
    QCOMPARE(flood.exitCode(), 0);

    // Between two requests the loop turned: the flood never held it.
    QCOMPARE(mostShowsInOneTurn, 1);
    // Each turn read a bounded amount: the flood took many turns, each making one request.
    QVERIFY2(shows >= floodBytes / 4096, qPrintable(QString::number(shows)));
    QVERIFY(turns >= shows);
}

void TestSingleInstance::otherSession_data()
{
    QTest::addColumn<QByteArray>("session");
    // After su, or in a second login: its own runtime folder.
    QTest::newRow("another runtime folder") << QByteArray("another runtime folder");
    // The session ended and removed the runtime folder while the first copy lived on.
    QTest::newRow("runtime folder removed") << QByteArray("runtime folder removed");
    QTest::newRow("no runtime folder") << QByteArray("no runtime folder");
}

void TestSingleInstance::otherSession()
{
    QFETCH(QByteArray, session);
    auto first = std::make_unique<SingleInstance>(storeFolder());
    QVERIFY(first->tryBecomePrimary());
    QVERIFY(QFileInfo(first->storeLockPath()).isFile());

    const QTemporaryDir otherRuntime;
    QVERIFY(otherRuntime.isValid());
    if (session == "another runtime folder")
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(otherRuntime.path()));
    else if (session == "runtime folder removed")
        QVERIFY(QDir(first->folderPath()).removeRecursively());
    else
        qunsetenv("XDG_RUNTIME_DIR");

    // It cannot reach the first copy, so it does not run, and names the copy that writes.
    for (int launch = 1; launch <= 2; ++launch) {
        SingleInstance second(storeFolder());
        QVERIFY(second.folderPath() != first->folderPath() || session == "runtime folder removed");
        QVERIFY(!second.tryBecomePrimary());
        const QString error = second.errorString();
        QVERIFY2(error.contains(storeFolder()), qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("process %1").arg(::getpid())), qPrintable(error));
        QVERIFY(!error.contains(u'\n'));
    }

    // The first copy's lock is gone with it.
    first.reset();
    SingleInstance next(storeFolder());
    QVERIFY2(next.tryBecomePrimary(), qPrintable(next.errorString()));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
