#include "core/AppModel.h"
#include "core/SettingsStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSoundPlayer.h"

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
    void ticksInPhaseWithWallClock();
    void delayToNextTick_data();
    void delayToNextTick();
    void everyAssignmentAnnounced();
    void remaining();
    void countdownEndsAtFirstTickAtOrAfterEnd();
    void exactHitCompletes();
    void completionSoundFollowsSetting();
    void flashLastsExactly();
    void cancelIsSilent();
    void earlierResetEndsLaterFlash();
    void newStartWhileFlashing();
    void startCountdown_data();
    void startCountdown();

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
    m_clock.set(1'000.3);
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

void TestAppModel::ticksInPhaseWithWallClock()
{
    auto model = makeModel();
    QCOMPARE(model->now(), 1'000.3);
    QSignalSpy ticks(model.get(), &AppModel::nowChanged);
    QList<double> seen;
    connect(model.get(), &AppModel::nowChanged, this, [&] { seen.append(model->now()); });
    m_scheduler.advanceTo(1'003.0);
    QCOMPARE(ticks.count(), 5);
    for (double t : seen) {
        const double phase = std::fmod(t, 0.5);
        QVERIFY2(phase > 0 && phase < 0.01, qPrintable(QString::number(t, 'f', 4)));
    }
    QCOMPARE(std::floor(seen.first() * 2), 2'001.0);
}

void TestAppModel::delayToNextTick_data()
{
    QTest::addColumn<double>("now");
    QTest::addColumn<double>("nextTick");
    QTest::newRow("just after a second") << 10.0005 << 10.502;
    QTest::newRow("mid half") << 10.25 << 10.502;
    QTest::newRow("just before half") << 10.499 << 10.502;
    QTest::newRow("just after half") << 10.501 << 11.002;
}

void TestAppModel::delayToNextTick()
{
    QFETCH(double, now);
    QFETCH(double, nextTick);
    QVERIFY(qAbs(now + AppModel::delayToNextTick(now) - nextTick) < 1e-9);
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
    model->setTimerEndsAt(m_clock.now() + 10);
    QVERIFY(model->isRunning());
    QCOMPARE(model->remaining(), 10.0);
    // Measured against the last tick, not the wall clock.
    m_clock.set(m_clock.now() + 3);
    QCOMPARE(model->remaining(), 10.0);
    model->setTimerEndsAt(model->now() - 5);
    QCOMPARE(model->remaining(), 0.0);
    model->setTimerEndsAt(std::nan(""));
    QCOMPARE(model->remaining(), 0.0);
}

void TestAppModel::countdownEndsAtFirstTickAtOrAfterEnd()
{
    auto model = makeModel();
    const double start = m_clock.now();
    model->setTimerEndsAt(start + 1.0);
    QSignalSpy ended(model.get(), &AppModel::timerEndsAtChanged);
    double endedAt = 0;
    connect(model.get(), &AppModel::timerEndsAtChanged, this, [&] { endedAt = m_clock.now(); });
    m_scheduler.advanceTo(start + 3);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!model->isRunning());
    QVERIFY2(endedAt >= start + 1.0 && endedAt < start + 1.5, qPrintable(QString::number(endedAt - start)));
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
    model->setTimerEndsAt(m_clock.now());
    model->tick();
    QCOMPARE(m_sound.played, QStringList{QStringLiteral("Glass")});

    // Read at every completion, not cached.
    m_store->setValue(Keys::sound, false);
    model->setTimerEndsAt(m_clock.now());
    model->tick();
    QCOMPARE(m_sound.played.size(), 1);
    QVERIFY(model->flashing());
}

void TestAppModel::flashLastsExactly()
{
    auto model = makeModel();
    model->setTimerEndsAt(m_clock.now());
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
    model->setTimerEndsAt(m_clock.now() + 1);
    model->setTimerEndsAt(std::nullopt);
    m_scheduler.advanceBy(3);
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
    // The wall clock runs ahead of the last tick: the countdown counts from the wall clock.
    m_clock.set(model->now() + 0.4);
    QCOMPARE(model->startCountdown(text), seconds.has_value());
    if (seconds) {
        QVERIFY(model->timerEndsAt().has_value());
        QCOMPARE(*model->timerEndsAt() - m_clock.now(), *seconds);
        QVERIFY(!model->drawerOpen());
    } else {
        QVERIFY(!model->isRunning());
        QVERIFY(model->drawerOpen());
    }
}

QTEST_GUILESS_MAIN(TestAppModel)
#include "tst_appmodel.moc"
