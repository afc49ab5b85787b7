#include "appearance/Fonts.h"
#include "appearance/TabularText.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

constexpr qreal PixelSize = 40;

// Column ranges of the separate blobs of ink, left to right.
QList<QPair<int, int>> inkColumns(const QImage &image)
{
    QList<QPair<int, int>> blobs;
    bool inBlob = false;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < image.height() && !ink; ++y)
            ink = qAlpha(image.pixel(x, y)) > 0;
        if (ink && !inBlob)
            blobs.append({x, x});
        if (ink)
            blobs.last().second = x;
        inBlob = ink;
    }
    return blobs;
}

QImage renderTabular(const QString &text, const QFont &font)
{
    QImage image(400, 80, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    TabularText(font).draw(painter, QPointF(20, 60), text);
    return image;
}

bool interInstalled()
{
    return QFontDatabase::families().contains(QStringLiteral("Inter"));
}

} // namespace

class TestFonts : public QObject
{
    Q_OBJECT

private slots:
    void clockFontsResolveToInter_data();
    void clockFontsResolveToInter();
    void aliasAppliesToAnyFontOfThatName();
    void sameWidthWhateverTheDigits_data();
    void sameWidthWhateverTheDigits();
    void otherCharactersKeepTheirWidth();
    void digitsDrawInFixedCells_data();
    void digitsDrawInFixedCells();
    void narrowDigitSitsMidCell();
};

void TestFonts::clockFontsResolveToInter_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("weight");

    QTest::newRow("digits") << clockDigitsFont(PixelSize) << int(QFont::Light);
    QTest::newRow("bold") << clockBoldFont(11) << int(QFont::Bold);
}

void TestFonts::clockFontsResolveToInter()
{
    QFETCH(QFont, font);
    QFETCH(int, weight);
    if (!interInstalled())
        QSKIP("Inter is not installed");
    const QFontInfo info(font);
    QCOMPARE(info.family(), QStringLiteral("Inter"));
    QCOMPARE(info.weight(), weight);
    QCOMPARE(info.pixelSize(), font.pixelSize());
}

void TestFonts::aliasAppliesToAnyFontOfThatName()
{
    if (!interInstalled())
        QSKIP("Inter is not installed");
    registerFontAliases();
    QCOMPARE(QFontInfo(QFont(QStringLiteral("Helvetica Neue"))).family(), QStringLiteral("Inter"));
}

void TestFonts::sameWidthWhateverTheDigits_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("time of day") << "12:00:00"
                                 << "11:11:11";
    QTest::newRow("short time") << "1:11"
                                << "8:08";
    QTest::newRow("countdown") << "00:01"
                               << "47:59";
    QTest::newRow("with letters") << "1 PM"
                                  << "0 PM";
}

void TestFonts::sameWidthWhateverTheDigits()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    const QFont font = clockDigitsFont(PixelSize);
    const TabularText text(font);
    QCOMPARE(text.width(a), text.width(b));
    QVERIFY(text.width(a) >= QFontMetricsF(font).horizontalAdvance(a));
}

void TestFonts::otherCharactersKeepTheirWidth()
{
    const QFont font = clockBoldFont(PixelSize);
    const QFontMetricsF metrics(font);
    const TabularText text(font);
    QCOMPARE(text.width(u"AM"), metrics.horizontalAdvance(QStringLiteral("AM")));
    QCOMPARE(text.width(u"5:"), text.cellWidth() + metrics.horizontalAdvance(u':'));
    QCOMPARE(text.width(u""), 0.0);
}

void TestFonts::digitsDrawInFixedCells_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("ones and zeros") << "11:11"
                                    << "00:00";
    QTest::newRow("mixed") << "12:34"
                           << "47:10";
}

void TestFonts::digitsDrawInFixedCells()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    const QFont font = clockDigitsFont(PixelSize);
    const QList<QPair<int, int>> inkA = inkColumns(renderTabular(a, font));
    const QList<QPair<int, int>> inkB = inkColumns(renderTabular(b, font));
    // Five separate glyphs each; the colon, the third, sits at the same place.
    QCOMPARE(inkA.size(), 5);
    QCOMPARE(inkB.size(), 5);
    QCOMPARE(inkA[2], inkB[2]);
    // Nothing is drawn past the measured width.
    const int right = 20 + qCeil(TabularText(font).width(a));
    QVERIFY(inkA.first().first >= 19 && inkA.last().second <= right);
    QVERIFY(inkB.first().first >= 19 && inkB.last().second <= right);
}

void TestFonts::narrowDigitSitsMidCell()
{
    const QFont font = clockDigitsFont(PixelSize);
    const qreal cell = TabularText(font).cellWidth();
    const QList<QPair<int, int>> ink = inkColumns(renderTabular(QStringLiteral("1"), font));
    QCOMPARE(ink.size(), 1);
    const qreal before = ink[0].first - 20;
    const qreal after = 20 + cell - (ink[0].second + 1);
    QVERIFY2(std::abs(before - after) < cell / 5, qPrintable(QStringLiteral("%1 | %2").arg(before).arg(after)));
}

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
