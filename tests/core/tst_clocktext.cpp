#include "core/ClockText.h"
#include "core/LocalTime.h"
#include "core/SettingsKeys.h"
#include "core/SettingsStore.h"
#include "fakes/ZoneGuard.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>

class TestClockText : public QObject
{
    Q_OBJECT

private slots:
    void timeString_data();
    void timeString();
    void countdownString_data();
    void countdownString();
    void twentyFourHours_data();
    void twentyFourHours();
    void localTime_data();
    void localTime();
};

void TestClockText::timeString_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<bool>("h24");
    QTest::addColumn<bool>("seconds");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("afternoon");
    QTest::newRow("morning") << QTime(9, 5, 7) << false << true << "9:05:07" << false;
    QTest::newRow("evening") << QTime(21, 5, 0) << false << true << "9:05:00" << true;
    QTest::newRow("half past midnight") << QTime(0, 30, 0) << false << true << "12:30:00" << false;
    QTest::newRow("noon") << QTime(12, 0, 0) << false << true << "12:00:00" << true;
    QTest::newRow("24h without seconds") << QTime(9, 5, 7) << true << false << "09:05" << false;
    QTest::newRow("24h evening") << QTime(21, 5, 7) << true << true << "21:05:07" << true;
    QTest::newRow("24h midnight") << QTime(0, 0, 0) << true << false << "00:00" << false;
    QTest::newRow("12h without seconds") << QTime(23, 59, 59) << false << false << "11:59" << true;
}

void TestClockText::timeString()
{
    QFETCH(QTime, time);
    QFETCH(bool, h24);
    QFETCH(bool, seconds);
    QFETCH(QString, text);
    QFETCH(bool, afternoon);
    QCOMPARE(ClockText::timeString(time, h24, seconds), text);
    QCOMPARE(ClockText::isAfternoon(time), afternoon);
}

void TestClockText::countdownString_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "00:00";
    QTest::newRow("0.4 rounds up") << 0.4 << "00:01";
    QTest::newRow("0.3 rounds up") << 0.3 << "00:01";
    QTest::newRow("59.2 rounds up") << 59.2 << "01:00";
    QTest::newRow("61") << 61.0 << "01:01";
    QTest::newRow("25 minutes") << 1500.0 << "25:00";
    QTest::newRow("3599.2 rounds to an hour") << 3599.2 << "1:00:00";
    QTest::newRow("an hour") << 3600.0 << "1:00:00";
    QTest::newRow("a day") << 86'400.0 << "24:00:00";
    QTest::newRow("beyond a day") << 100'000.0 << "27:46:40";
}

void TestClockText::countdownString()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(ClockText::countdownString(seconds), text);
}

void TestClockText::twentyFourHours_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("expected");
    const QVariant none;
    QTest::newRow("en_US writes AM/PM") << "en_US" << none << false;
    QTest::newRow("de_DE writes 24 hours") << "de_DE" << none << true;
    QTest::newRow("fr_FR writes 24 hours") << "fr_FR" << none << true;
    QTest::newRow("ja_JP writes 24 hours") << "ja_JP" << none << true;
    QTest::newRow("en_GB writes 24 hours") << "en_GB" << none << true;
    QTest::newRow("C writes 24 hours") << "C" << none << true;
    QTest::newRow("stored false wins in German") << "de_DE" << QVariant(false) << false;
    QTest::newRow("stored true wins in English") << "en_US" << QVariant(true) << true;
    QTest::newRow("stored false in English") << "en_US" << QVariant(false) << false;
    QTest::newRow("a string is no setting: the locale") << "de_DE" << QVariant(QStringLiteral("no")) << true;
}

// Never stored, the clock writes the time as the locale does; a stored value still wins.
void TestClockText::twentyFourHours()
{
    QFETCH(QString, locale);
    QFETCH(QVariant, stored);
    QFETCH(bool, expected);
    QTemporaryDir dir;
    SettingsStore store(dir.path());
    if (stored.typeId() == QMetaType::Bool)
        store.setValue(Keys::h24, stored.toBool());
    else if (stored.isValid())
        store.setString(QLatin1String(Keys::h24.name), stored.toString());
    QCOMPARE(ClockText::uses24Hours(store, QLocale(locale)), expected);
}

namespace {

qint64 utc(QDate date, QTime time)
{
    return QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
}

} // namespace

// The face's local time, converted each second with the zone reloaded only once a minute,
// against QDateTime's own conversion, over a second on each side of a change of offset. Then
// the system's zone changes behind the program's back: the next minute shows the new one.
void TestClockText::localTime_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<qint64>("change");
    QTest::addColumn<QByteArray>("laterZone");
    QTest::addColumn<int>("laterOffset");
    const QByteArray europe("CET-1CEST,M3.5.0,M10.5.0/3");
    QTest::newRow("clocks go forward") << europe << utc({2026, 3, 29}, {1, 0}) << QByteArray("UTC0") << 0;
    QTest::newRow("clocks go back") << europe << utc({2026, 10, 25}, {1, 0}) << QByteArray("XST-5:30") << 19'800;
    QTest::newRow("southern autumn") << QByteArray("AEST-10AEDT,M10.1.0,M4.1.0/3") << utc({2026, 4, 4}, {16, 0})
                                     << europe << 7'200;
    QTest::newRow("before 1970") << QByteArray("XST-5:30") << qint64(-1'500) << QByteArray("XST+10") << -36'000;
}

void TestClockText::localTime()
{
    QFETCH(QByteArray, zone);
    QFETCH(qint64, change);
    QFETCH(QByteArray, laterZone);
    QFETCH(int, laterOffset);
    const ZoneGuard guard(zone);
    LocalTime local;
    for (qint64 at = change - 2'000; at <= change + 1'000; at += 500) {
        const QDateTime qt = QDateTime::fromMSecsSinceEpoch(at);
        const QDateTime ours = local.at(at);
        QCOMPARE(ours.date(), qt.date());
        QCOMPARE(ours.time(), qt.time());
        QCOMPARE(ours.offsetFromUtc(), qt.offsetFromUtc());
    }
    // Set without tzset(): only a reload sees it, as with a new /etc/localtime.
    qputenv("TZ", laterZone);
    const qint64 nextMinute = (change / 60'000 + 1) * 60'000 + 1'000;
    QCOMPARE(local.offsetAt(nextMinute), laterOffset);
    qputenv("TZ", zone);
    local.reload();
    QCOMPARE(local.offsetAt(nextMinute), QDateTime::fromMSecsSinceEpoch(nextMinute).offsetFromUtc());
}

QTEST_GUILESS_MAIN(TestClockText)
#include "tst_clocktext.moc"
