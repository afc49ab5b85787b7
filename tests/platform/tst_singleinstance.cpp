#include "platform/SingleInstance.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

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

private:
    std::unique_ptr<QTemporaryDir> m_runtime;
};

void TestSingleInstance::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
}

void TestSingleInstance::cleanup()
{
    m_runtime.reset();
}

void TestSingleInstance::secondLaunchAsksFirstToShow()
{
    SingleInstance first;
    QSignalSpy shown(&first, &SingleInstance::showRequested);
    QVERIFY(first.lockFilePath().startsWith(m_runtime->path() + u'/'));
    QVERIFY(first.pipePath().startsWith(m_runtime->path() + u'/'));
    QVERIFY(first.tryBecomePrimary());

    SingleInstance second;
    QVERIFY(!second.tryBecomePrimary());
    QVERIFY(shown.wait());
    QCOMPARE(shown.count(), 1);
}

void TestSingleInstance::everyLaterLaunchAsks()
{
    SingleInstance first;
    QSignalSpy shown(&first, &SingleInstance::showRequested);
    QVERIFY(first.tryBecomePrimary());

    for (int launch = 1; launch <= 3; ++launch) {
        SingleInstance later;
        QVERIFY(!later.tryBecomePrimary());
        QVERIFY(shown.wait());
        QCOMPARE(shown.count(), launch);
    }
}

void TestSingleInstance::crashedInstanceDoesNotBlock()
{
    SingleInstance instance;
    leaveCrashedInstance(instance);
    QVERIFY(instance.tryBecomePrimary());

    // It also listens where the dead pipe was.
    QSignalSpy shown(&instance, &SingleInstance::showRequested);
    SingleInstance later;
    QVERIFY(!later.tryBecomePrimary());
    QVERIFY(shown.wait());
}

void TestSingleInstance::oldLockOfRunningInstanceHolds()
{
    SingleInstance first;
    QVERIFY(first.tryBecomePrimary());
    QFile lock(first.lockFilePath());
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    lock.close();

    SingleInstance second;
    QVERIFY(!second.tryBecomePrimary());
}

void TestSingleInstance::firstInstanceGoneFreesTheLock()
{
    {
        SingleInstance first;
        QVERIFY(first.tryBecomePrimary());
    }
    SingleInstance next;
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

    SingleInstance first;
    const QString stem = m_runtime->path() + QStringLiteral("/orvanta-") + QString::number(::getuid());
    QCOMPARE(first.lockFilePath(), stem + QStringLiteral(".lock"));
    QCOMPARE(first.pipePath(), stem + QStringLiteral(".pipe"));
    QSignalSpy shown(&first, &SingleInstance::showRequested);
    QVERIFY(first.tryBecomePrimary());
    SingleInstance second;
    QVERIFY(!second.tryBecomePrimary());
    QVERIFY(shown.wait());
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
