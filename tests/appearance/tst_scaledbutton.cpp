#include "appearance/ScaledButton.h"

#include <QHBoxLayout>
#include <QTest>

class TestScaledButton : public QObject
{
    Q_OBJECT

private slots:
    void metrics_data();
    void metrics();
    void labelFollowsScale_data();
    void labelFollowsScale();
    void sizeHintGrowsWithScale();
    void pressedFillIsStronger_data();
    void pressedFillIsStronger();
    void neighboursShareTheRow();

private:
    // The container is painted white so the button's fill can be read back as a shade.
    static QWidget *whiteHost(QWidget *parent = nullptr)
    {
        auto *host = new QWidget(parent);
        QPalette white = host->palette();
        white.setColor(QPalette::Window, Qt::white);
        host->setPalette(white);
        host->setAutoFillBackground(true);
        return host;
    }
};

void TestScaledButton::metrics_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<qreal>("fontSize");
    QTest::addColumn<qreal>("paddingX");
    QTest::addColumn<qreal>("paddingY");
    QTest::addColumn<qreal>("radius");

    QTest::newRow("narrowest card") << 180.0 / 220 << 13 * 180.0 / 220 << 12 * 180.0 / 220 << 6 * 180.0 / 220
                                    << 6 * 180.0 / 220;
    QTest::newRow("default card") << 1.0 << 13.0 << 12.0 << 6.0 << 6.0;
    QTest::newRow("widest card") << 340.0 / 220 << 13 * 340.0 / 220 << 12 * 340.0 / 220 << 6 * 340.0 / 220
                                 << 6 * 340.0 / 220;
}

void TestScaledButton::metrics()
{
    QFETCH(qreal, scale);
    QFETCH(qreal, fontSize);
    QFETCH(qreal, paddingX);
    QFETCH(qreal, paddingY);
    QFETCH(qreal, radius);

    const ScaledButton::Metrics m = ScaledButton::metricsFor(scale);
    QCOMPARE(m.fontSize, fontSize);
    QCOMPARE(m.paddingX, paddingX);
    QCOMPARE(m.paddingY, paddingY);
    QCOMPARE(m.radius, radius);
}

void TestScaledButton::labelFollowsScale_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::newRow("1") << 1.0;
    QTest::newRow("340/220") << 340.0 / 220;
}

void TestScaledButton::labelFollowsScale()
{
    QFETCH(qreal, scale);
    ScaledButton button(QStringLiteral("Start"));
    button.setScale(scale);
    const QFont font = button.labelFont();
    // One of the card's points is one device-independent pixel.
    const qreal pixels = font.pointSizeF() * button.logicalDpiY() / 72.0;
    QVERIFY2(qAbs(pixels - 13 * scale) < 0.01, qPrintable(QString::number(pixels)));
    QCOMPARE(font.family(), button.font().family());
}

void TestScaledButton::sizeHintGrowsWithScale()
{
    ScaledButton button(QStringLiteral("Cancel"));
    const QSize small = button.sizeHint();
    button.setScale(340.0 / 220);
    const QSize large = button.sizeHint();
    const qreal factor = 340.0 / 220;
    // Text extents do not scale exactly linearly with the font size (hinting, whole pixels).
    QVERIFY2(qAbs(large.height() - small.height() * factor) <= 2,
             qPrintable(QStringLiteral("%1 -> %2").arg(small.height()).arg(large.height())));
    QVERIFY2(qAbs(large.width() - small.width() * factor) <= 4,
             qPrintable(QStringLiteral("%1 -> %2").arg(small.width()).arg(large.width())));
    // The padding alone takes 24 × scale across and 12 × scale down.
    QVERIFY(large.width() > 24 * factor);
    QVERIFY(large.height() > 12 * factor);
}

void TestScaledButton::pressedFillIsStronger_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::newRow("1") << 1.0;
    QTest::newRow("340/220") << 340.0 / 220;
}

void TestScaledButton::pressedFillIsStronger()
{
    QFETCH(qreal, scale);
    std::unique_ptr<QWidget> host(whiteHost());
    auto *layout = new QHBoxLayout(host.get());
    auto *button = new ScaledButton(QStringLiteral("Start"));
    button->setScale(scale);
    button->setInk(Qt::black);
    layout->addWidget(button);
    host->resize(200, 80);
    host->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.get()));

    // Inside the left padding, halfway down: only the fill is there.
    const QPoint probe = button->geometry().topLeft() + QPoint(qRound(4 * scale), button->height() / 2);
    const auto shade = [&] { return host->grab().toImage().pixelColor(probe).red(); };
    const QRect restingGeometry = button->geometry();

    QCOMPARE(shade(), qRound(255 * (1 - ScaledButton::kRestingFill)));
    QTest::mousePress(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(shade(), qRound(255 * (1 - ScaledButton::kPressedFill)));
    QCOMPARE(button->geometry(), restingGeometry);
    QTest::mouseRelease(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(shade(), qRound(255 * (1 - ScaledButton::kRestingFill)));
}

void TestScaledButton::neighboursShareTheRow()
{
    std::unique_ptr<QWidget> host(whiteHost());
    auto *layout = new QHBoxLayout(host.get());
    auto *start = new ScaledButton(QStringLiteral("Start"));
    auto *cancel = new ScaledButton(QStringLiteral("Cancel the countdown"));
    layout->addWidget(start);
    layout->addWidget(cancel);
    for (int width : {200, 300, 500}) {
        host->resize(width, 60);
        host->show();
        layout->activate();
        QVERIFY2(qAbs(start->width() - cancel->width()) <= 1,
                 qPrintable(QStringLiteral("%1 vs %2").arg(start->width()).arg(cancel->width())));
        QCOMPARE(start->height(), start->sizeHint().height());
    }
}

QTEST_MAIN(TestScaledButton)
#include "tst_scaledbutton.moc"
