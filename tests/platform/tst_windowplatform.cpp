#include "platform/NullWindowPlatform.h"
#include "platform/WindowPlatform.h"
#include "platform/x11/X11WindowPlatform.h"

#include <QGuiApplication>
#include <QRegion>
#include <QTest>
#include <QWindow>

class TestWindowPlatform : public QObject
{
    Q_OBJECT

private slots:
    void offscreenAsksNothingOfX11();
    void blurRegion_data();
    void blurRegion();
};

void TestWindowPlatform::offscreenAsksNothingOfX11()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    const std::unique_ptr<WindowPlatform> platform = WindowPlatform::create();
    QVERIFY(dynamic_cast<NullWindowPlatform *>(platform.get()));

    // Every operation is safe on a window of a platform without X11.
    QWindow window;
    window.setFlags(Qt::Tool | Qt::FramelessWindowHint);
    platform->makeSticky(&window);
    window.show();
    platform->setBlurBehind(&window, true, QRegion(0, 0, 10, 10));
    platform->activate(&window);
    QVERIFY(platform->hasCompositor());
    // Without X11 the free area is Qt's own.
    QCOMPARE(platform->areaUnderPointer(), QGuiApplication::primaryScreen()->availableGeometry());
}

void TestWindowPlatform::blurRegion_data()
{
    QTest::addColumn<QRegion>("region");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QList<quint32>>("data");

    QTest::newRow("whole window") << QRegion() << 1.0 << QList<quint32>{};
    QTest::newRow("one rectangle") << QRegion(4, 6, 200, 100) << 1.0 << QList<quint32>{4, 6, 200, 100};
    QTest::newRow("doubled") << QRegion(4, 6, 200, 100) << 2.0 << QList<quint32>{8, 12, 400, 200};
    // A fractional scale rounds outward, so the blur covers every pixel the window draws.
    QTest::newRow("fractional") << QRegion(1, 1, 11, 11) << 1.5 << QList<quint32>{1, 1, 17, 17};
    QTest::newRow("two rectangles") << (QRegion(0, 0, 10, 10) + QRegion(0, 20, 10, 10)) << 1.0
                                    << QList<quint32>{0, 0, 10, 10, 0, 20, 10, 10};
}

void TestWindowPlatform::blurRegion()
{
    QFETCH(QRegion, region);
    QFETCH(qreal, ratio);
    QFETCH(QList<quint32>, data);

    QCOMPARE(X11WindowPlatform::blurRegionData(region, ratio), data);
}

QTEST_MAIN(TestWindowPlatform)
#include "tst_windowplatform.moc"
