#include "core/AppModel.h"
#include "core/SettingsStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSoundPlayer.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <optional>

using Seconds = std::optional<double>;

class TestAppModel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startOpen_data();
    void startOpen();
    void wakesInPhaseWithWallClock_data();
    void wakesInPhaseWithWallClock();
    void delayToNextWake_data();
    void delayToNextWake();
    void everyAssignmentAnnounced();
    void remaining();
    void countdownEndsAtItsEnd_data();
    void countdownEndsAtItsEnd();
    void exactHitCompletes();
    void completionSoundFollowsSetting();
    void flashLastsExactly();
    void cancelIsSilent();
    void earlierResetEndsLaterFlash();
    void newStartWhileFlashing();
    void startCountdown_data();
    void startCountdown();
    void pauseHoldsTimeLeft_data();
    void pauseHoldsTimeLeft();

private:
    std::unique_ptr<AppModel> makeModel();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
    FakeClock m_clock{1'000.3};
    FakeScheduler m_scheduler{m_clock};
    FakeSoundPlayer m_sound;
};

void TestAppModel::init()
{
    m_clock = FakeClock(1'000.3);
    m_sound.played.clear();
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<SettingsStore>(m_dir->path());
}

void TestAppModel::cleanup()
{
    m_store.reset();
    m_dir.reset();
}

std::unique_ptr<AppModel> TestAppModel::makeModel()
{
    return std::make_unique<AppModel>(AppModel::Services{m_clock, m_scheduler, m_sound, *m_store});
}

void TestAppModel::startOpen_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("open");
    QTest::newRow("absent") << QByteArray("{}") << true;
    QTest::newRow("true") << QByteArray(R"({"startOpen": true})") << true;
    QTest::newRow("false") << QByteArray(R"({"startOpen": false})") << false;
    QTest::newRow("string false") << QByteArray(R"({"startOpen": "false"})") << true;
    QTest::newRow("number zero") << QByteArray(R"({"startOpen": 0})") << true;
}

void TestAppModel::startOpen()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, open);
    QFile file(m_dir->filePath(QStringLiteral("settings.json")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(json);
    file.close();
    m_store = std::make_unique<SettingsStore>(m_dir->path());
    QCOMPARE(makeModel()->drawerOpen(), open);
}

void TestAppModel::wakesInPhaseWithWallClock_data()
{
    QTest::addColumn<bool>("seconds");
    QTest::addColumn<bool>("switched"); // set the other way when the model starts
    QTest::addColumn<int>("wakes");
    // Three minutes from 0.3 s into a second and 40.3 s into a minute.
    QTest::newRow("seconds shown: each second") << true << false << 180;
    QTest::newRow("seconds off: each minute") << false << false << 3;
    QTest::newRow("seconds switched on") << true << true << 180;
    QTest::newRow("seconds switched off") << false << true << 3;
}

void TestAppModel::wakesInPhaseWithWallClock()
{
    QFETCH(bool, seconds);
    QFETCH(bool, switched);
    QFETCH(int, wakes);
    m_store->setValue(Keys::showSeconds, seconds != switched);
    auto model = makeModel();
    QCOMPARE(model->now(), 1'000.3);
    m_store->setValue(Keys::showSeconds, seconds);
    QList<double> seen;
    connect(model.get(), &AppModel::nowChanged, this, [&] { seen.append(model->now()); });
    m_scheduler.advanceTo(1'180.3);
    QCOMPARE(seen.size(), wakes);
    for (double t : seen) {
        // Just past the moment the shown second (or local minute) begins.
        const QTime local = QDateTime::fromMSecsSinceEpoch(qint64(std::floor(t * 1000))).time();
        QVERIFY2(local.msec() < 10 && (seconds || local.second() == 0), qPrintable(QString::number(t, 'f', 4)));
    }
    QCOMPARE(m_scheduler.pendingCount(), 1);
}

void TestAppModel::delayToNextWake_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("delay");
    QTest::newRow("second, just after one") << "second" << 10.0005 << 1.0015;
    QTest::newRow("second, just before the next") << "second" << 10.999 << 0.003;
    QTest::newRow("minute, mid-minute") << "minute" << 90.5 << 29.502;
    QTest::newRow("minute, on the minute") << "minute" << 120.0 << 60.002;
    QTest::newRow("countdown, just started") << "countdown" << 600.0 << 1.002;
    QTest::newRow("countdown, within a second") << "countdown" << 599.3 << 0.302;
    QTest::newRow("countdown, last second") << "countdown" << 0.4 << 0.402;
    QTest::newRow("countdown, at its end") << "countdown" << 0.0 << 0.002;
}

void TestAppModel::delayToNextWake()
{
    QFETCH(QString, kind);
    QFETCH(double, from);
    QFETCH(double, delay);
    const double computed = kind == QLatin1String("second") ? AppModel::delayToNextSecond(from)
        : kind == QLatin1String("minute")                   ? AppModel::delayToNextMinute(from)
                                                            : AppModel::delayToNextCountdownSecond(from);
    QVERIFY2(qAbs(computed - delay) < 1e-9, qPrintable(QString::number(computed, 'f', 6)));
}

void TestAppModel::everyAssignmentAnnounced()
{
    auto model = makeModel();
    QSignalSpy drawer(model.get(), &AppModel::drawerOpenChanged);
    QSignalSpy timer(model.get(), &AppModel::timerEndsAtChanged);
    QSignalSpy now(model.get(), &AppModel::nowChanged);
    model->setDrawerOpen(model->drawerOpen());
    model->setTimerEndsAt(std::nullopt);
    model->tick();
    model->tick();
    QCOMPARE(drawer.count(), 1);
    QCOMPARE(timer.count(), 1);
    QCOMPARE(now.count(), 2);
}

void TestAppModel::remaining()
{
    auto model = makeModel();
    QCOMPARE(model->remaining(), 0.0);
    QVERIFY(!model->isRunning());
    model->setTimerEndsAt(m_clock.elapsed() + 10);
    QVERIFY(model->isRunning());
    QCOMPARE(model->remaining(), 10.0);
    // Measured at the last wake, not now.
    m_clock.set(m_clock.now() + 3);
    QCOMPARE(model->remaining(), 10.0);
    model->setTimerEndsAt(m_clock.elapsed() - 5);
    QCOMPARE(model->remaining(), 0.0);
    model->setTimerEndsAt(std::nan(""));
    QCOMPARE(model->remaining(), 0.0);
}

void TestAppModel::countdownEndsAtItsEnd_data()
{
    QTest::addColumn<double>("length");
    // What happens 30 s in: the wall clock set by so much, or the machine asleep so long.
    QTest::addColumn<double>("jump");
    QTest::addColumn<double>("sleep");
    // When it ends, in seconds that really passed since the start.
    QTest::addColumn<double>("endsAfter");
    QTest::newRow("one second") << 1.0 << 0.0 << 0.0 << 1.0;
    QTest::newRow("wall clock set back 25 h") << 120.0 << -25 * 3600.0 << 0.0 << 120.0;
    QTest::newRow("wall clock set forward 1 h") << 120.0 << 3600.0 << 0.0 << 120.0;
    QTest::newRow("asleep for a minute") << 120.0 << 0.0 << 60.0 << 120.0;
    QTest::newRow("asleep past the end: ends on waking") << 120.0 << 0.0 << 300.0 << 330.0;
}

void TestAppModel::countdownEndsAtItsEnd()
{
    QFETCH(double, length);
    QFETCH(double, jump);
    QFETCH(double, sleep);
    QFETCH(double, endsAfter);
    auto model = makeModel();
    const double start = m_clock.elapsed();
    model->setTimerEndsAt(start + length);
    QSignalSpy ended(model.get(), &AppModel::timerEndsAtChanged);
    double endedAt = 0;
    connect(model.get(), &AppModel::timerEndsAtChanged, this, [&] { endedAt = m_clock.elapsed(); });
    if (length > 30) {
        m_scheduler.advanceBy(30);
        m_clock.jump(jump);
        m_scheduler.suspend(sleep);
        // What the clock watcher calls when the clock is set or the machine wakes.
        model->refreshTime();
        QVERIFY(model->remaining() <= length - 30);
    }
    m_scheduler.advanceBy(2 * length);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!model->isRunning());
    QVERIFY2(endedAt >= start + endsAfter && endedAt < start + endsAfter + 0.01,
             qPrintable(QString::number(endedAt - start)));
}

void TestAppModel::exactHitCompletes()
{
    auto model = makeModel();
    m_clock.set(2'000.0);
    model->setTimerEndsAt(2'000.0);
    model->tick();
    QVERIFY(!model->isRunning());
    QVERIFY(model->flashing());

    model->setTimerEndsAt(2'000.25);
    model->tick();
    QVERIFY(model->isRunning());
    QCOMPARE(model->remaining(), 0.25);
}

void TestAppModel::completionSoundFollowsSetting()
{
    auto model = makeModel();
    model->setTimerEndsAt(m_clock.elapsed());
    model->tick();
    QCOMPARE(m_sound.played, QStringList{QStringLiteral("Glass")});

    // Read at every completion, not cached.
    m_store->setValue(Keys::sound, false);
    model->setTimerEndsAt(m_clock.elapsed());
    model->tick();
    QCOMPARE(m_sound.played.size(), 1);
    QVERIFY(model->flashing());
}

void TestAppModel::flashLastsExactly()
{
    auto model = makeModel();
    model->setTimerEndsAt(m_clock.elapsed());
    const double completedAt = m_clock.now();
    model->tick();
    QVERIFY(model->flashing());
    m_scheduler.advanceTo(completedAt + 1.39);
    QVERIFY(model->flashing());
    QSignalSpy flash(model.get(), &AppModel::flashingChanged);
    m_scheduler.advanceTo(completedAt + 1.4);
    QVERIFY(!model->flashing());
    QCOMPARE(flash.count(), 1);
}

void TestAppModel::cancelIsSilent()
{
    auto model = makeModel();
    QSignalSpy ended(model.get(), &AppModel::countdownEnded);
    model->startCountdownFor(1);
    model->cancelCountdown();
    m_scheduler.advanceBy(3);
    QVERIFY(ended.isEmpty());
    QVERIFY(m_sound.played.isEmpty());
    QVERIFY(!model->flashing());
}

void TestAppModel::earlierResetEndsLaterFlash()
{
    auto model = makeModel();
    const double t0 = m_clock.now();
    model->setTimerEndsAt(t0);
    model->tick();
    m_clock.set(t0 + 1.0);
    model->setTimerEndsAt(t0 + 1.0);
    model->tick();
    QCOMPARE(m_sound.played.size(), 2);
    m_scheduler.advanceTo(t0 + 1.4);
    QVERIFY(!model->flashing()); // the first completion's reset
    QSignalSpy flash(model.get(), &AppModel::flashingChanged);
    m_scheduler.advanceTo(t0 + 2.4);
    QCOMPARE(flash.count(), 1); // the second reset still writes false
    QVERIFY(!model->flashing());
}

void TestAppModel::newStartWhileFlashing()
{
    auto model = makeModel();
    const double t0 = m_clock.now();
    model->setTimerEndsAt(t0);
    model->tick();
    model->setTimerEndsAt(t0 + 60);
    m_scheduler.advanceTo(t0 + 1.4);
    QVERIFY(!model->flashing());
    QVERIFY(model->isRunning());
}

void TestAppModel::startCountdown_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Seconds>("seconds");
    QTest::newRow("initial text") << "25:00" << Seconds(1500);
    QTest::newRow("m:ss") << "1:30" << Seconds(90);
    QTest::newRow("minutes") << "5" << Seconds(300);
    QTest::newRow("two days clamps") << "48:00:00" << Seconds(86'400);
    QTest::newRow("a second over a day clamps") << "24:00:01" << Seconds(86'400);
    QTest::newRow("zero") << "0" << Seconds();
    QTest::newRow("zero m:ss") << "0:00" << Seconds();
    QTest::newRow("empty") << "" << Seconds();
    QTest::newRow("four fields") << "1:2:3:4" << Seconds();
    QTest::newRow("vulgar fraction") << "\u00BD" << Seconds();
}

void TestAppModel::startCountdown()
{
    QFETCH(QString, text);
    QFETCH(Seconds, seconds);
    auto model = makeModel();
    // Time has passed since the last wake: the countdown counts from now, and shows at once
    // exactly what was typed ("10" reads 10:00, not 10:01).
    m_clock.set(model->now() + 0.4);
    QSignalSpy ended(model.get(), &AppModel::countdownEnded);
    QCOMPARE(model->startCountdown(text), seconds.has_value());
    if (seconds) {
        QVERIFY(model->timerEndsAt().has_value());
        QCOMPARE(*model->timerEndsAt() - m_clock.elapsed(), *seconds);
        QCOMPARE(model->remaining(), *seconds);
        QVERIFY(!model->drawerOpen());
        // Its end is announced once, with the length that was started.
        m_scheduler.advanceBy(*seconds + 1);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toDouble(), *seconds);
    } else {
        QVERIFY(!model->isRunning());
        QVERIFY(model->drawerOpen());
    }
}

void TestAppModel::pauseHoldsTimeLeft_data()
{
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("pauseAfter");
    QTest::addColumn<double>("pausedFor");
    QTest::newRow("pause at 0:07, wait 10 s") << 20.0 << 13.0 << 10.0;
    QTest::newRow("pause at once, wait an hour") << 60.0 << 0.0 << 3600.0;
    QTest::newRow("pause in the last half second") << 5.0 << 4.6 << 2.0;
}

void TestAppModel::pauseHoldsTimeLeft()
{
    QFETCH(double, length);
    QFETCH(double, pauseAfter);
    QFETCH(double, pausedFor);
    auto model = makeModel();
    QSignalSpy ended(model.get(), &AppModel::countdownEnded);
    model->togglePause(); // without a countdown: nothing
    QVERIFY(!model->isPaused());
    model->startCountdownFor(length);
    m_scheduler.advanceBy(pauseAfter);
    model->togglePause();
    const double left = length - pauseAfter;
    QVERIFY(model->isPaused());
    QCOMPARE(model->remaining(), left);

    // Held: the time left stays, and it does not end.
    m_scheduler.advanceBy(pausedFor);
    QVERIFY(model->isRunning());
    QCOMPARE(model->remaining(), left);
    QVERIFY(ended.isEmpty());

    model->togglePause();
    QVERIFY(!model->isPaused());
    m_scheduler.advanceBy(left - 0.01);
    QVERIFY(ended.isEmpty());
    QVERIFY(model->isRunning());
    m_scheduler.advanceBy(0.02);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!model->isRunning());
    QCOMPARE(m_sound.played.size(), 1);
}

QTEST_GUILESS_MAIN(TestAppModel)
#include "tst_appmodel.moc"
