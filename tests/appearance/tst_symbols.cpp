#include "appearance/Symbols.h"

#include <QImage>
#include <QPainter>
#include <QTest>

Q_DECLARE_METATYPE(Symbol)

namespace {

using Probes = QList<QPointF>;

QImage render(Symbol symbol, const QRectF &box, const QColor &color)
{
    QImage image(80, 80, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintSymbol(painter, symbol, box, color);
    return image;
}

// A point given in fractions of the largest square centred in box.
QPoint inSquare(const QRectF &box, QPointF fraction)
{
    const qreal side = qMin(box.width(), box.height());
    const QPointF origin = box.center() - QPointF(side, side) / 2;
    return (origin + fraction * side).toPoint();
}

int alphaAt(const QImage &image, QPoint p)
{
    return qAlpha(image.pixel(p));
}

} // namespace

class TestSymbols : public QObject
{
    Q_OBJECT

private slots:
    void paint_data();
    void paint();
    void pixmapHonoursDevicePixelRatio_data();
    void pixmapHonoursDevicePixelRatio();
    void trayIconReadsOnLightAndDarkPanels();
};

void TestSymbols::paint_data()
{
    QTest::addColumn<Symbol>("symbol");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<Probes>("filled");
    QTest::addColumn<Probes>("empty");

    const QRectF wide(6, 14, 68, 48);
    const QRectF tall(20, 4, 40, 72);
    const QColor red(220, 40, 60);
    const QColor blue(10, 120, 250);

    // Face ring, crown and hub are ink; the face away from the hand is not.
    const Probes timerInk{{0.5, 0.9}, {0.5, 0.06}, {0.5, 0.5625}};
    const Probes timerClear{{0.33, 0.66}, {0.66, 0.75}, {0.05, 0.05}};
    QTest::newRow("timer wide") << Symbol::Timer << wide << red << timerInk << timerClear;
    QTest::newRow("timer tall") << Symbol::Timer << tall << blue << timerInk << timerClear;
    // The crossing and the arms are ink; between the arms is clear.
    const Probes xInk{{0.5, 0.5}, {0.25, 0.25}, {0.75, 0.75}, {0.25, 0.75}};
    const Probes xClear{{0.5, 0.2}, {0.2, 0.5}, {0.8, 0.5}, {0.5, 0.8}};
    QTest::newRow("xmark") << Symbol::XMark << wide << blue << xInk << xClear;
    // The disc is solid except for the check mark knocked out of it.
    const Probes discInk{{0.5, 0.2}, {0.5, 0.85}, {0.2, 0.5}, {0.8, 0.5}};
    const Probes checkClear{{10.4 / 24, 15.8 / 24}, {14.0 / 24, 12.1 / 24}, {0.02, 0.02}};
    QTest::newRow("checkmark.circle.fill") << Symbol::CheckmarkCircleFill << wide << red << discInk << checkClear;
    QTest::newRow("checkmark.circle.fill tall") << Symbol::CheckmarkCircleFill << tall << red << discInk << checkClear;
    const Probes ringInk{{0.5, 1.0 / 12}, {11.0 / 12, 0.5}};
    const Probes ringClear{{0.5, 0.5}, {0.3, 0.5}, {0.02, 0.02}};
    QTest::newRow("circle") << Symbol::Circle << wide << blue << ringInk << ringClear;
    // Two bars with a gap between them; a triangle pointing right.
    const Probes barsInk{{7.0 / 24, 0.5}, {17.0 / 24, 0.5}, {7.0 / 24, 0.1}};
    const Probes barsClear{{0.5, 0.5}, {0.02, 0.5}, {0.98, 0.5}};
    QTest::newRow("pause") << Symbol::Pause << wide << red << barsInk << barsClear;
    const Probes triangleInk{{0.3, 0.5}, {0.85, 0.5}, {0.3, 0.15}};
    const Probes triangleClear{{0.95, 0.1}, {0.95, 0.9}, {0.1, 0.5}};
    QTest::newRow("play") << Symbol::Play << tall << blue << triangleInk << triangleClear;
}

void TestSymbols::paint()
{
    QFETCH(Symbol, symbol);
    QFETCH(QRectF, box);
    QFETCH(QColor, color);
    QFETCH(Probes, filled);
    QFETCH(Probes, empty);

    const QImage image = render(symbol, box, color);
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0)
                continue;
            ++ink;
            QVERIFY2(box.intersects(QRectF(x, y, 1, 1)), qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
            if (qAlpha(pixel) == 255)
                QCOMPARE(QColor(pixel), color);
        }
    }
    QVERIFY(ink > 0);
    for (QPointF p : filled)
        QVERIFY2(alphaAt(image, inSquare(box, p)) == 255,
                 qPrintable(QStringLiteral("no ink at %1,%2").arg(p.x()).arg(p.y())));
    for (QPointF p : empty)
        QVERIFY2(alphaAt(image, inSquare(box, p)) == 0,
                 qPrintable(QStringLiteral("ink at %1,%2").arg(p.x()).arg(p.y())));
}

void TestSymbols::pixmapHonoursDevicePixelRatio_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("1x") << 1.0;
    QTest::newRow("2x") << 2.0;
    QTest::newRow("1.5x") << 1.5;
}

void TestSymbols::pixmapHonoursDevicePixelRatio()
{
    QFETCH(qreal, ratio);
    const QPixmap pixmap = symbolPixmap(Symbol::Circle, 20, Qt::white, ratio);
    QCOMPARE(pixmap.devicePixelRatio(), ratio);
    QCOMPARE(pixmap.size(), QSize(qRound(20 * ratio), qRound(20 * ratio)));
    const QImage image = pixmap.toImage();
    // The ring fills the whole pixmap, scaled with it: ink at the top centre, a
    // twelfth of the way down, and none in the middle.
    QCOMPARE(qAlpha(image.pixel(image.width() / 2, image.height() / 12)), 255);
    QCOMPARE(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 0);
}

void TestSymbols::trayIconReadsOnLightAndDarkPanels()
{
    const QIcon icon = trayIcon();
    QVERIFY(!icon.isNull());
    for (int size : {16, 22, 32}) {
        const QImage glyph = icon.pixmap(size).toImage();
        for (const QColor &panel : {QColor(Qt::white), QColor(Qt::black), QColor(128, 128, 128)}) {
            QImage shown(glyph.size(), QImage::Format_ARGB32);
            shown.fill(panel);
            QPainter(&shown).drawImage(0, 0, glyph);
            // Enough of the glyph must stand well apart from the panel behind it.
            int contrasting = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    contrasting += std::abs(qGray(shown.pixel(x, y)) - qGray(panel.rgb())) > 80;
            QVERIFY2(contrasting > size * size / 10,
                     qPrintable(QStringLiteral("%1 px on %2 at %3").arg(contrasting).arg(panel.name()).arg(size)));
        }
    }
}

QTEST_MAIN(TestSymbols)
#include "tst_symbols.moc"
