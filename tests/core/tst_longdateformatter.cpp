#include "core/DatePattern.h"
#include "core/DatePatternCache.h"
#include "core/LongDateFormatter.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <memory>

namespace {

// What ICU itself writes for the date, straight from its own generator and formatter.
QString icuDate(const QString &localeName, const QDate &date)
{
    const icu::Locale locale(localeName == QLatin1String("C") ? "en_US" : localeName.toUtf8().constData());
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    const icu::UnicodeString pattern = generator->getBestPattern(icu::UnicodeString(u"EEEEMMMMd"), status);
    icu::SimpleDateFormat format(pattern, locale, status);
    format.adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC")));
    icu::UnicodeString text;
    format.format(UDate(QDateTime(date, QTime(12, 0), Qt::UTC).toMSecsSinceEpoch()), text);
    if (U_FAILURE(status))
        return QStringLiteral("ICU failed: %1").arg(QString::fromLatin1(u_errorName(status)));
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

// An entry for this ICU and Qt whose pattern ICU would never give: a formatter that takes it
// writes the day alone, which no locale's long date is.
DatePatternCache::Entry dayOnly(const QString &locale)
{
    return {locale, LongDateFormatter::icuVersion(), QString::fromLatin1(qVersion()), QStringLiteral("d"), true};
}

// Every weekday in every month, in a leap year and across its end.
QList<QDate> sampleDates()
{
    QList<QDate> dates;
    for (QDate day(2028, 1, 1); day <= QDate(2029, 1, 3); day = day.addDays(5))
        dates.append(day);
    return dates;
}

bool replaceInFile(const QString &path, const QByteArray &from, const QByteArray &to)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    file.close();
    if (!bytes.contains(from))
        return false;
    bytes.replace(from, to);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class TestLongDateFormatter : public QObject
{
    Q_OBJECT

private slots:
    void matchesIcu_data();
    void matchesIcu();
    void usesTheCache();
    void unsoundCacheIsIgnored_data();
    void unsoundCacheIsIgnored();
    void cacheIsPrivate();
    void qlocaleFormat_data();
    void qlocaleFormat();
};

void TestLongDateFormatter::matchesIcu_data()
{
    QTest::addColumn<QString>("locale");
    for (const char *name :
         {"en_US", "en_GB", "de_DE", "fr_FR", "es_ES", "it_IT", "pl_PL", "ja_JP", "ko_KR", "zh_CN", "zh_TW", "ar_EG",
          "ar_SA", "fa_IR", "th_TH", "he_IL", "ru_RU", "hi_IN", "bn_BD", "tr_TR", "fi_FI", "ca_ES", "pt_BR", "C"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// The first start generates the pattern and decides who formats; the next reads both from the
// cache. Either way the text is ICU's, to the letter.
void TestLongDateFormatter::matchesIcu()
{
    QFETCH(QString, locale);
    QTemporaryDir cache;
    QVERIFY(cache.isValid());
    const LongDateFormatter cold(locale, cache.path());
    QVERIFY(QFileInfo::exists(DatePatternCache::filePath(cache.path())));
    const LongDateFormatter warm(locale, cache.path());
    QCOMPARE(warm.formatsWithQLocale(), cold.formatsWithQLocale());
    const LongDateFormatter uncached(locale);
    for (const QDate &date : sampleDates()) {
        const QString expected = icuDate(locale, date);
        QVERIFY2(!expected.isEmpty(), qPrintable(date.toString(Qt::ISODate)));
        QCOMPARE(cold.format(date), expected);
        QCOMPARE(warm.format(date), expected);
        QCOMPARE(uncached.format(date), expected);
    }
}

// A sound entry for this locale, ICU and Qt is taken as it is, without asking ICU; one made
// by another ICU or Qt, or for another locale, is not.
void TestLongDateFormatter::usesTheCache()
{
    QTemporaryDir cache;
    QVERIFY(cache.isValid());
    const QDate date(2028, 3, 14);
    QCOMPARE(DatePatternCache::store(cache.path(), dayOnly(QStringLiteral("en_US"))), QString());
    QCOMPARE(LongDateFormatter(QStringLiteral("en_US"), cache.path()).format(date), QStringLiteral("14"));
    QCOMPARE(LongDateFormatter(QStringLiteral("de_DE"), cache.path()).format(date),
             icuDate(QStringLiteral("de_DE"), date));

    DatePatternCache::Entry otherIcu = dayOnly(QStringLiteral("fr_FR"));
    otherIcu.icuVersion = QStringLiteral("1.0");
    QCOMPARE(DatePatternCache::store(cache.path(), otherIcu), QString());
    QCOMPARE(LongDateFormatter(QStringLiteral("fr_FR"), cache.path()).format(date),
             icuDate(QStringLiteral("fr_FR"), date));
    DatePatternCache::Entry otherQt = dayOnly(QStringLiteral("it_IT"));
    otherQt.qtVersion = QStringLiteral("5.0.0");
    QCOMPARE(DatePatternCache::store(cache.path(), otherQt), QString());
    QCOMPARE(LongDateFormatter(QStringLiteral("it_IT"), cache.path()).format(date),
             icuDate(QStringLiteral("it_IT"), date));
    // Both were generated again and replaced their stale entries; the first entry stayed.
    QCOMPARE(DatePatternCache::find(cache.path(), QStringLiteral("fr_FR"), LongDateFormatter::icuVersion(),
                                    QString::fromLatin1(qVersion()))
                 .has_value(),
             true);
    QCOMPARE(DatePatternCache::find(cache.path(), QStringLiteral("en_US"), LongDateFormatter::icuVersion(),
                                    QString::fromLatin1(qVersion())),
             dayOnly(QStringLiteral("en_US")));
}

void TestLongDateFormatter::unsoundCacheIsIgnored_data()
{
    // Each case spoils a cache that holds the day-only entry for en_US.
    QTest::addColumn<QString>("spoil");
    QTest::newRow("not JSON") << "garbage";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("pattern changed, checksum kept") << "pattern";
    QTest::newRow("flag of the wrong type") << "flag type";
    QTest::newRow("too large") << "oversized";
    QTest::newRow("too many entries") << "too many";
    QTest::newRow("pattern too long") << "long pattern";
    QTest::newRow("a folder in the file's place") << "folder";
    QTest::newRow("a pipe in the file's place") << "fifo";
    QTest::newRow("cache folder is a file") << "folder is a file";
    QTest::newRow("a link to a pipe") << "link to fifo";
    QTest::newRow("a link to a device node") << "link to device";
}

// Nothing in the cache file is trusted: whatever is wrong with it, the date is ICU's, and the
// start neither hangs nor fails.
void TestLongDateFormatter::unsoundCacheIsIgnored()
{
    QFETCH(QString, spoil);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QString folder = root.filePath(QStringLiteral("orvanta"));
    const QString path = DatePatternCache::filePath(folder);
    QCOMPARE(DatePatternCache::store(folder, dayOnly(QStringLiteral("en_US"))), QString());
    QVERIFY(DatePatternCache::find(folder, QStringLiteral("en_US"), LongDateFormatter::icuVersion(),
                                   QString::fromLatin1(qVersion())));

    const auto rewrite = [&](const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    };
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    file.close();
    const qsizetype entryStart = stored.indexOf('{', stored.indexOf('['));
    const qsizetype entryEnd = stored.indexOf('}', entryStart) + 1;
    const QByteArray entry = stored.mid(entryStart, entryEnd - entryStart);
    QVERIFY(entryStart > 0 && entryEnd > entryStart);

    if (spoil == QLatin1String("garbage")) {
        QVERIFY(rewrite("\x00\xff{\"entries\": [ garbage"));
    } else if (spoil == QLatin1String("empty")) {
        QVERIFY(rewrite(QByteArray()));
    } else if (spoil == QLatin1String("pattern")) {
        QVERIFY(replaceInFile(path, "\"pattern\": \"d\"", "\"pattern\": \"dd\""));
    } else if (spoil == QLatin1String("flag type")) {
        QVERIFY(replaceInFile(path, "\"qlocale\": true", "\"qlocale\": 1"));
    } else if (spoil == QLatin1String("oversized")) {
        // Still sound JSON with a sound entry, only longer than the bound.
        QVERIFY(rewrite(stored + QByteArray(DatePatternCache::kMaxFileSize, ' ')));
    } else if (spoil == QLatin1String("too many")) {
        QByteArray many = entry;
        for (int i = 0; i < DatePatternCache::kMaxEntries; ++i)
            many += ',' + entry;
        QVERIFY(rewrite("{\"entries\": [" + many + "]}"));
        QVERIFY(QFileInfo(path).size() <= DatePatternCache::kMaxFileSize);
    } else if (spoil == QLatin1String("long pattern")) {
        DatePatternCache::Entry longEntry = dayOnly(QStringLiteral("en_US"));
        longEntry.pattern = QStringLiteral("d") + QString(DatePatternCache::kMaxPatternLength, u' ');
        QCOMPARE(DatePatternCache::store(folder, longEntry), QString());
    } else if (spoil == QLatin1String("folder")) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
    } else if (spoil == QLatin1String("fifo")) {
        QVERIFY(QFile::remove(path));
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (spoil == QLatin1String("folder is a file")) {
        folder = path;
    }
    // What the link leads to: never replaced by a regular file.
    const QByteArray linked = QFile::encodeName(root.filePath(QStringLiteral("linked")));
    if (spoil == QLatin1String("link to fifo")) {
        QCOMPARE(mkfifo(linked.constData(), 0600), 0);
    } else if (spoil == QLatin1String("link to device")) {
        if (::geteuid() != 0)
            QSKIP("making a device node needs root");
        // The numbers of /dev/null, in a folder of the test's own.
        QCOMPARE(::mknod(linked.constData(), S_IFCHR | 0666, ::makedev(1, 3)), 0);
    }
    if (spoil.startsWith(QLatin1String("link to"))) {
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::link(QFile::decodeName(linked), path));
    }

    const QDate date(2028, 2, 29);
    const LongDateFormatter formatter(QStringLiteral("en_US"), folder);
    QCOMPARE(formatter.format(date), icuDate(QStringLiteral("en_US"), date));
    QCOMPARE(formatter.format(date.addDays(1)), icuDate(QStringLiteral("en_US"), date.addDays(1)));
    if (spoil.startsWith(QLatin1String("link to"))) {
        struct stat info;
        QCOMPARE(::lstat(linked.constData(), &info), 0);
        QVERIFY(spoil == QLatin1String("link to fifo") ? S_ISFIFO(info.st_mode) : S_ISCHR(info.st_mode));
        QVERIFY(QFileInfo(path).isSymLink());
    }
}

// The cache says which locales the user runs in: only the user may read it.
void TestLongDateFormatter::cacheIsPrivate()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString folder = root.filePath(QStringLiteral("cache/orvanta"));
    const LongDateFormatter formatter(QStringLiteral("de_DE"), folder);
    QVERIFY(!formatter.format(QDate(2028, 1, 1)).isEmpty());
    const QFileInfo folderInfo(folder);
    QVERIFY(folderInfo.isDir());
    QCOMPARE(folderInfo.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::ExeGroup | QFile::ExeOther),
             QFile::Permissions());
    QCOMPARE(QFileInfo(DatePatternCache::filePath(folder)).permissions()
                 & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
             QFile::Permissions());
}

void TestLongDateFormatter::qlocaleFormat_data()
{
    QTest::addColumn<QString>("icuPattern");
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<QString>("qlocaleFormat");
    QTest::newRow("English") << "EEEE, MMMM d" << true << "dddd', 'MMMM' 'd";
    QTest::newRow("quoted word") << "EEEE d 'de' MMMM" << true << "dddd' 'd' de 'MMMM";
    QTest::newRow("quote in a quoted run") << "d 'o''clock' MMMM" << true << "d' o''clock 'MMMM";
    QTest::newRow("lone doubled quote") << "d''MMMM" << true << "d''''MMMM";
    QTest::newRow("letters of another script") << "M月d日EEEE" << true << "M'月'd'日'dddd";
    QTest::newRow("stand-alone names") << "cccc LLLL d" << true << "dddd' 'MMMM' 'd";
    QTest::newRow("abbreviated weekday") << "EEE d" << true << "ddd' 'd";
    QTest::newRow("year") << "EEEE, MMMM d, y" << false << "";
    QTest::newRow("era") << "G d MMMM" << false << "";
    QTest::newRow("narrow weekday") << "EEEEE d" << false << "";
    QTest::newRow("numeric weekday") << "c d" << false << "";
    QTest::newRow("narrow month") << "MMMMM d" << false << "";
    QTest::newRow("unclosed quote") << "d 'MMMM" << false << "";
}

void TestLongDateFormatter::qlocaleFormat()
{
    QFETCH(QString, icuPattern);
    QFETCH(bool, mapped);
    QFETCH(QString, qlocaleFormat);
    const std::optional<QString> format = DatePattern::qlocaleFormat(icuPattern);
    QCOMPARE(format.has_value(), mapped);
    if (mapped)
        QCOMPARE(*format, qlocaleFormat);
}

QTEST_GUILESS_MAIN(TestLongDateFormatter)
#include "tst_longdateformatter.moc"
