#include "appearance/Contrast.h"
#include "appearance/Fonts.h"
#include "appearance/KeyboardButtonAccessible.h"
#include "appearance/Material.h"
#include "appearance/ScaledButton.h"
#include "appearance/Theme.h"
#include "appearance/ThinScrollBar.h"
#include "core/AppModel.h"
#include "core/CardMetrics.h"
#include "core/CardRules.h"
#include "core/ClockText.h"
#include "core/LongDateFormatter.h"
#include "core/NotesCodec.h"
#include "core/SettingsStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSoundPlayer.h"
#include "fakes/ZoneGuard.h"
#include "widget/CardAccessibility.h"
#include "widget/ClockFace.h"
#include "widget/DrawerContainer.h"
#include "widget/FieldFrame.h"
#include "widget/GripRow.h"
#include "widget/NoteRow.h"
#include "widget/NoteText.h"
#include "widget/NotesPane.h"
#include "widget/NotesScroller.h"
#include "widget/ResizeEdge.h"
#include "widget/RoundButton.h"
#include "widget/SetAsideLine.h"
#include "widget/SymbolButton.h"
#include "widget/TimerPane.h"
#include "widget/WidgetView.h"
#include "widget/WrappedText.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>
#include <qtestspontaneevent.h>

#include <optional>

using Seconds = std::optional<double>;

namespace {

// The bounding box of what a widget draws on nothing: the pixels at least half as opaque as
// its ink (the symbols' colours are partly transparent).
QRect inkBox(QWidget *widget, qreal inkOpacity)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, {}, {}, QWidget::RenderFlags());
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) >= 255 * inkOpacity / 2)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

class TestWidgetView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void scaledMetrics_data();
    void scaledMetrics();
    void sizeReports();
    void borderWhileFlashing();
    void cornersWithoutCompositor_data();
    void tickRepaint_data() { cornersWithoutCompositor_data(); }
    void tickRepaint();
    void cornersWithoutCompositor();
    void paletteFallbacks();
    void drawerOpenObserver();
    void clockFaceFollowsCountdown();
    void clockFaceFollowsTicks_data();
    void clockFaceFollowsTicks();
    void reportedBoxes_data();
    void reportedBoxes();
    void gripByMouse_data();
    void gripByMouse();
    void widthByMouse();
    void timerFieldFilter();
    void startTimer_data();
    void startTimer();
    void cancelOnlyClosesDrawer();
    void openedDrawerReplacesDuration();
    void timerPlaceholder_data();
    void timerPlaceholder();
    void notesField();
    void rowsReachModel();
    void longNoteWraps();
    void notesWithinHeightLimit_data();
    void notesWithinHeightLimit();
    void noteLayoutFollowsWidth_data();
    void noteLayoutFollowsWidth();
    void longNoteKeepsShownLines_data();
    void longNoteKeepsShownLines();
    void notePasteLimit_data();
    void notePasteLimit();
    void highContrastTexts_data();
    void highContrastTexts();
    void saveWarning_data();
    void saveWarning();
    void noteShownAsStored_data();
    void noteShownAsStored();
    void symbolInk_data();
    void symbolInk();
    void accessibleCard();
    void tabOrder_data();
    void tabOrder();
    void keysDriveTheCard();
    void focusAfterNoteChange_data();
    void focusAfterNoteChange();

private:
    void makeCard();
    // A card in the theme, width and compositing of the test's row.
    void makeRowCard();
    QLineEdit *timerField() const { return m_card->drawer()->timerPane()->field(); }
    NotesPane *notesPane() const { return m_card->drawer()->notesPane(); }

    // The cache folder of the whole run.
    QTemporaryDir m_cache;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
    FakeClock m_clock;
    std::unique_ptr<FakeScheduler> m_scheduler;
    FakeSoundPlayer m_sound;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<WidgetView> m_card;
};

void TestWidgetView::initTestCase()
{
    QAccessible::installFactory(KeyboardButtonAccessible::create);
    QAccessible::installFactory(cardAccessible);
    // The long date in English, whatever the machine's locale.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // The date's pattern cache goes to a test folder, not the user's.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
}

void TestWidgetView::init()
{
    m_clock.set(1'765'000'000.0);
    m_scheduler = std::make_unique<FakeScheduler>(m_clock);
    m_sound.played.clear();
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<SettingsStore>(m_dir->path());
}

void TestWidgetView::cleanup()
{
    m_card.reset();
    m_model.reset();
    m_store.reset();
    m_dir.reset();
}

void TestWidgetView::makeCard()
{
    m_model = std::make_unique<AppModel>(AppModel::Services{m_clock, *m_scheduler, m_sound, *m_store});
    m_card = std::make_unique<WidgetView>(*m_model, *m_store, *m_scheduler);
    m_card->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_card.get()));
}

void TestWidgetView::makeRowCard()
{
    QFETCH(QString, theme);
    QFETCH(double, width);
    QFETCH(bool, translucent);
    m_store->setValue(Keys::theme, theme);
    m_store->setValue(Keys::cardWidth, width);
    makeCard();
    m_card->setTranslucencyAvailable(translucent);
}

void TestWidgetView::scaledMetrics_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("width");
    QTest::newRow("180") << 180.0 << 180.0;
    QTest::newRow("220") << 220.0 << 220.0;
    QTest::newRow("340") << 340.0 << 340.0;
    // Written into the file by hand: the card keeps to the limits and leaves the file alone.
    QTest::newRow("stored 0") << 0.0 << 180.0;
    QTest::newRow("stored -5") << -5.0 << 180.0;
    QTest::newRow("stored 100000") << 100'000.0 << 340.0;
    QTest::newRow("stored 1e10") << 1e10 << 340.0;
}

void TestWidgetView::scaledMetrics()
{
    QFETCH(double, stored);
    QFETCH(double, width);
    m_store->setValue(Keys::cardWidth, stored);
    // The 24-hour line fits at the digits' full size; the wider 12-hour one with seconds and
    // AM/PM has smaller digits to keep the face's padding (reportedBoxes).
    m_store->setValue(Keys::h24, true);
    QFile file(m_store->filePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    makeCard();
    QVERIFY(file.seek(0));
    QCOMPARE(file.readAll(), before);
    const double s = width / 220;
    ClockFace *face = m_card->clockFace();
    QCOMPARE(m_card->width(), qRound(width));
    QCOMPARE(face->digitsFont().pixelSize(), qRound(40 * s));
    QCOMPARE(face->ampmFont().pixelSize(), qRound(11 * s));
    QCOMPARE(face->dateFont().pixelSize(), qRound(13 * s));
    QCOMPARE(face->padding(), 16 * s);
    QCOMPARE(timerField()->font().pixelSize(), qRound(22 * s));
    QCOMPARE(notesPane()->field()->font().pixelSize(), qRound(13 * s));
    QCOMPARE(m_card->drawer()->timerPane()->startButton()->scale(), s);
    // Fixed sizes: the cancel button, the grip row and its pill's height.
    QCOMPARE(face->cancelButton()->size(), QSize(18, 18));
    QCOMPARE(m_card->gripRow()->height(), 20);
    QCOMPARE(m_card->gripRow()->pillRect().height(), 5.0);
    QCOMPARE(m_card->gripRow()->pillRect().width(), 34 * s);
    QCOMPARE(m_card->resizeEdge()->geometry(), QRect(0, 0, 8, m_card->height()));
}

void TestWidgetView::sizeReports()
{
    makeCard();
    QSignalSpy reports(m_card.get(), &WidgetView::sizeChanged);
    const int face = m_card->clockFace()->faceHeight();
    const int drawer = m_card->drawerHeight();
    QVERIFY(drawer > 1 && drawer != DrawerContainer::kUnmeasuredHeight);
    QCOMPARE(m_card->size(), QSize(220, face + drawer + 20));

    m_model->setDrawerOpen(false);
    QCOMPARE(reports.count(), 1);
    QCOMPARE(reports.last().at(0).toSize(), QSize(220, face + 20));

    m_store->setValue(Keys::cardWidth, 270.0);
    QCOMPARE(reports.last().at(0).toSize().width(), 270);

    // An unchanged size is not reported again.
    const int before = reports.count();
    m_model->setDrawerOpen(false);
    QCOMPARE(reports.count(), before);

    const int withDate = m_card->height();
    m_store->setValue(Keys::showDate, false);
    QVERIFY(reports.last().at(0).toSize().height() < withDate);
}

void TestWidgetView::borderWhileFlashing()
{
    makeCard();
    const int y = m_card->height() / 2;
    auto redAt = [&](int x) { return m_card->grab().toImage().pixelColor(x, y).red(); };
    QVERIFY(redAt(1) < 40); // the 1-point border leaves the second column to the surface
    m_model->setTimerEndsAt(m_clock.elapsed());
    m_model->tick();
    QVERIFY(m_model->flashing());
    QVERIFY(redAt(0) > 200);
    QVERIFY(redAt(1) > 200);
    QVERIFY(redAt(2) < 40);
    m_scheduler->advanceBy(AppModel::flashDuration);
    QVERIFY(redAt(1) < 40);
}

void TestWidgetView::cornersWithoutCompositor_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<double>("width");
    QTest::addColumn<bool>("translucent");
    for (const char *theme : {"dark", "light", "glass", "color"}) {
        for (double width : {180.0, 340.0}) {
            for (bool translucent : {true, false}) {
                QTest::addRow("%s at %g, %s", theme, width, translucent ? "composited" : "no compositor")
                    << QString::fromLatin1(theme) << width << translucent;
            }
        }
    }
}

// Without a compositor a transparent pixel shows black: the card then paints its corners
// opaque and the window's shape cuts them off. With one they stay clear.
void TestWidgetView::cornersWithoutCompositor()
{
    QFETCH(bool, translucent);
    makeRowCard();
    const Palette colors = m_card->cardPalette();
    const QColor fill = colors.isGlass ? materialTint(Material::SmokedGlass, false) : colors.surface;
    const QImage image = m_card->grab().toImage();
    const int w = image.width();
    const int h = image.height();
    for (const QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1), QPoint(2, 1)}) {
        const QColor pixel = image.pixelColor(corner);
        if (translucent)
            QCOMPARE(pixel.alpha(), 0);
        else
            QCOMPARE(pixel.name(QColor::HexArgb), fill.name(QColor::HexArgb));
    }
}

// A tick repaints the digits alone, inside the card, through a cheaper path than the whole
// card's where it can: the pixels must be the same as when the whole card is painted. The
// areas: the middle of the face, the last digit of a 24-hour face (beside the top right
// corner), and one hugging that corner's curve.
void TestWidgetView::tickRepaint()
{
    makeRowCard();
    ClockFace *face = m_card->clockFace();
    const int w = m_card->width();
    const QList<QRect> areas = {QRect(face->mapTo(m_card.get(), QPoint()), face->size()).adjusted(0, 8, 0, -8)
                                    & m_card->rect().adjusted(40, 40, -40, -40),
                                QRect(w * 169 / 220, 16, w * 30 / 220, 49), QRect(w - 30, 2, 28, 28)};
    QImage whole(m_card->size(), QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::transparent);
    m_card->render(&whole, {}, {}, QWidget::DrawChildren);
    for (const QRect &area : areas) {
        QVERIFY(!area.isEmpty());
        QImage tick(m_card->size(), QImage::Format_ARGB32_Premultiplied);
        tick.fill(Qt::transparent);
        m_card->render(&tick, area.topLeft(), QRegion(area), QWidget::DrawChildren);
        int differing = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                differing += tick.pixel(x, y) != whole.pixel(x, y);
        }
        QVERIFY2(differing == 0,
                 qPrintable(QStringLiteral("%1 pixels differ in the repaint of (%2, %3) %4x%5")
                                .arg(differing)
                                .arg(area.x())
                                .arg(area.y())
                                .arg(area.width())
                                .arg(area.height())));
    }
}

void TestWidgetView::paletteFallbacks()
{
    makeCard();
    m_store->setValue(Keys::theme, QStringLiteral("Dark"));
    m_card->setSystemDark(false);
    QCOMPARE(m_card->cardPalette(), palette(Theme::Light, Accent::Red, false));
    m_card->setSystemDark(true);
    QCOMPARE(m_card->cardPalette(), palette(Theme::Dark, Accent::Red, true));
    m_store->setValue(Keys::theme, QStringLiteral("color"));
    m_store->setValue(Keys::accent, QStringLiteral("Blue"));
    QCOMPARE(m_card->cardPalette(), palette(Theme::Color, Accent::Red, true));
    // The setting or the desktop asks for high contrast; without either the plain colours return.
    m_store->setValue(Keys::highContrast, true);
    QCOMPARE(m_card->cardPalette(), palette(Theme::Color, Accent::Red, true, true));
    m_card->setDesktopHighContrast(true);
    m_store->setValue(Keys::highContrast, false);
    QCOMPARE(m_card->cardPalette(), palette(Theme::Color, Accent::Red, true, true));
    m_card->setDesktopHighContrast(false);
    QCOMPARE(m_card->cardPalette(), palette(Theme::Color, Accent::Red, true));
}

void TestWidgetView::drawerOpenObserver()
{
    makeCard();
    m_card->activateWindow();
    notesPane()->field()->setFocus();
    QSignalSpy activate(m_card.get(), &WidgetView::activateRequested);
    QVERIFY(m_model->drawerOpen());
    m_model->setDrawerOpen(true); // already open: not a change
    m_model->setDrawerOpen(false);
    QCOMPARE(activate.count(), 0);
    QCOMPARE(m_scheduler->pendingCount(), 1); // only the ticker

    m_model->setDrawerOpen(true);
    QCOMPARE(activate.count(), 1);
    QVERIFY(m_card->focusWidget() != timerField());
    m_scheduler->advanceBy(0.049);
    QVERIFY(m_card->focusWidget() != timerField());
    m_scheduler->advanceBy(0.001);
    QCOMPARE(m_card->focusWidget(), timerField());
}

void TestWidgetView::clockFaceFollowsCountdown()
{
    m_store->setValue(Keys::h24, false);
    makeCard();
    ClockFace *face = m_card->clockFace();
    QVERIFY(face->ampmShown());
    QVERIFY(face->cancelButton()->isHidden());
    const int height = face->faceHeight();
    m_model->setTimerEndsAt(m_clock.elapsed() + 3599.2);
    QCOMPARE(face->digitsText(), QStringLiteral("1:00:00"));
    QVERIFY(!face->ampmShown());
    QVERIFY(face->cancelButton()->isVisible());
    QCOMPARE(face->faceHeight(), height); // the date keeps its space
    QTest::mouseClick(face->cancelButton(), Qt::LeftButton);
    QVERIFY(!m_model->isRunning());
    QVERIFY(face->ampmShown());
    QVERIFY(m_sound.played.isEmpty());
}

void TestWidgetView::clockFaceFollowsTicks_data()
{
    QTest::addColumn<bool>("seconds");
    // The zone (POSIX form) the user moves to before the last tick, which stays within the
    // minute; empty: no move.
    QTest::addColumn<QByteArray>("laterZone");
    QTest::newRow("with seconds") << true << QByteArray();
    QTest::newRow("without seconds") << false << QByteArray();
    QTest::newRow("with seconds, zone half an hour off") << true << QByteArray("XST-5:30");
    QTest::newRow("without seconds, zone half an hour off") << false << QByteArray("XST-5:30");
    QTest::newRow("without seconds, zone into the afternoon") << false << QByteArray("XST-7");
    QTest::newRow("without seconds, zone into the day before") << false << QByteArray("XST+10");
}

void TestWidgetView::clockFaceFollowsTicks()
{
    QFETCH(bool, seconds);
    QFETCH(QByteArray, laterZone);
    const ZoneGuard zone("UTC0");
    m_store->setValue(Keys::showSeconds, seconds);
    m_clock.set(1'765'000'000.0 - 60 + 0.2); // 0.2 s into a minute
    makeCard();
    ClockFace *face = m_card->clockFace();
    auto shown = [&] {
        const QTime time = QDateTime::fromMSecsSinceEpoch(qint64(m_model->now() * 1000)).time();
        return ClockText::timeString(time, false, seconds);
    };
    QSignalSpy spoken(face, &ClockFace::spokenTextChanged);
    for (double step : {0.5, 1.0, 20.0, 38.5, 0.5}) {
        m_scheduler->advanceBy(step);
        QCOMPARE(face->digitsText(), shown());
    }
    // A reader hears no seconds: one new name for the one minute that began.
    QCOMPARE(spoken.count(), 1);
    if (laterZone.isEmpty())
        return;
    ZoneGuard::set(laterZone);
    // What the clock watcher calls when the system's zone changes.
    m_model->refreshTime();
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(qint64(m_model->now() * 1000));
    QCOMPARE(face->digitsText(), shown());
    QCOMPARE(face->afternoon(), ClockText::isAfternoon(local.time()));
    QCOMPARE(face->dateText(), LongDateFormatter(QLocale().name()).format(local.date()));
    // The new local time is told at once too.
    QCOMPARE(spoken.count(), 2);
}

void TestWidgetView::reportedBoxes_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("hour");
    QTest::addColumn<bool>("highContrast");
    QTest::newRow("220, morning") << 220.0 << 9 << false;
    QTest::newRow("220, afternoon") << 220.0 << 13 << false;
    QTest::newRow("340, afternoon") << 340.0 << 21 << false;
    QTest::newRow("180, a two-digit hour") << 180.0 << 12 << false;
    QTest::newRow("220, a two-digit hour") << 220.0 << 12 << false;
    QTest::newRow("340, a two-digit hour") << 340.0 << 10 << false;
    QTest::newRow("220, morning, high contrast") << 220.0 << 9 << true;
    QTest::newRow("180, afternoon, high contrast") << 180.0 << 13 << true;
}

// Tests find the card's parts in its pictures by the boxes it reports: what it paints must
// lie there, the face's accent only on the lit AM or PM label.
void TestWidgetView::reportedBoxes()
{
    QFETCH(double, width);
    QFETCH(int, hour);
    QFETCH(bool, highContrast);
    m_store->setValue(Keys::cardWidth, width);
    m_store->setValue(Keys::highContrast, highContrast);
    m_clock.set(QDateTime(QDate(2026, 12, 8), QTime(hour, 5, 7)).toSecsSinceEpoch());
    makeCard();
    const QImage picture = m_card->grab().toImage();
    const Palette colors = m_card->cardPalette();
    const auto near = [](QColor a, QColor b) {
        return qAbs(a.red() - b.red()) <= 40 && qAbs(a.green() - b.green()) <= 40 && qAbs(a.blue() - b.blue()) <= 40;
    };
    ClockFace *face = m_card->clockFace();
    QVERIFY(face->ampmRect(false).bottom() <= face->ampmRect(true).top());
    const QRect digits = face->digitsRect().toAlignedRect();
    const QRect lit = face->ampmRect(hour >= 12).toAlignedRect();
    const QRect date = face->dateRect().toAlignedRect();
    // The widest line keeps the face's padding on both sides.
    QVERIFY2(face->digitsRect().left() >= face->padding() - 0.5,
             qPrintable(QString::number(face->digitsRect().left())));
    QVERIFY2(face->ampmRect(true).right() <= face->width() - face->padding() + 0.5,
             qPrintable(QString::number(face->width() - face->ampmRect(true).right())));
    int litAccent = 0;
    for (int y = 0; y < face->height(); ++y) {
        for (int x = 0; x < face->width(); ++x) {
            const QColor pixel = picture.pixelColor(x, y);
            if (near(pixel, colors.digits))
                QVERIFY2(digits.contains(x, y), qPrintable(QStringLiteral("digits at %1,%2").arg(x).arg(y)));
            if (near(pixel, colors.accent)) {
                QVERIFY2(lit.contains(x, y), qPrintable(QStringLiteral("accent at %1,%2").arg(x).arg(y)));
                ++litAccent;
            }
            // Below the digits' line only the date is drawn.
            if (y >= date.top() && y <= date.bottom() && x > 1 && x < face->width() - 2
                && pixel.rgb() != colors.surface.rgb())
                QVERIFY2(date.contains(x, y), qPrintable(QStringLiteral("date ink at %1,%2").arg(x).arg(y)));
        }
    }
    QVERIFY(litAccent > 15);
    // With high contrast the unlit label is left out; otherwise it shows.
    const QRect unlit = face->ampmRect(hour < 12).toAlignedRect().adjusted(0, 1, 0, -1);
    int unlitInk = 0;
    for (int y = unlit.top(); y <= unlit.bottom(); ++y) {
        for (int x = unlit.left(); x <= unlit.right(); ++x)
            unlitInk += picture.pixel(x, y) != colors.surface.rgb();
    }
    QVERIFY2(highContrast ? unlitInk == 0 : unlitInk > 15, qPrintable(QString::number(unlitInk)));

    const QPoint drawer = m_card->drawer()->pos();
    for (const QRect &divider : m_card->drawer()->dividers()) {
        const int y = drawer.y() + divider.y();
        QCOMPARE(divider.width(), m_card->width());
        QVERIFY(picture.pixel(m_card->width() / 2, y) != colors.surface.rgb());
        QCOMPARE(picture.pixel(m_card->width() / 2, y - 1), colors.surface.rgb());
    }
}

void TestWidgetView::gripByMouse_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<double>("fraction"); // of the drawer's height; positive is down
    QTest::addColumn<bool>("opensAfter");
    QTest::newRow("closed, a fifth down stays closed") << false << 0.2 << false;
    QTest::newRow("closed, 0.6 down opens") << false << 0.6 << true;
    QTest::newRow("open, 0.6 up closes") << true << -0.6 << false;
    QTest::newRow("open, 0.4 up stays open") << true << -0.4 << true;
}

void TestWidgetView::gripByMouse()
{
    QFETCH(bool, open);
    QFETCH(double, fraction);
    QFETCH(bool, opensAfter);
    makeCard();
    m_model->setDrawerOpen(open);
    const int height = m_card->drawerHeight();
    GripRow *grip = m_card->gripRow();
    // Global positions, since the grip moves down as the drawer follows the pointer.
    const QPoint start = grip->mapToGlobal(grip->rect().center());
    QTest::mousePress(grip, Qt::LeftButton, {}, grip->mapFromGlobal(start));
    const QPoint end = start + QPoint(0, qRound(fraction * height));
    QTest::mouseMove(grip, grip->mapFromGlobal(end));
    QCOMPARE(m_card->reveal(), qRound(CardRules::dragReveal(open, height, qRound(fraction * height))));
    QTest::mouseRelease(grip, Qt::LeftButton, {}, grip->mapFromGlobal(end));
    QCOMPARE(m_model->drawerOpen(), opensAfter);
    QVERIFY(!m_card->dragReveal());
    QCOMPARE(m_card->reveal(), opensAfter ? height : 0);
}

void TestWidgetView::widthByMouse()
{
    makeCard();
    // Read from the file itself: a second store would clean up the temporary that a
    // background write may be filling at that moment.
    const auto storedWidth = [this] {
        QFile file(m_store->filePath());
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll())["cardWidth"].toDouble(-1)
                                              : -1.0;
    };
    const double before = storedWidth();
    ResizeEdge *edge = m_card->resizeEdge();
    const QPoint start = edge->mapToGlobal(QPoint(4, 40));
    QTest::mousePress(edge, Qt::LeftButton, {}, edge->mapFromGlobal(start));
    auto moveTo = [&](QPoint global) { QTest::mouseMove(edge, edge->mapFromGlobal(global)); };
    moveTo(start + QPoint(-50, 0));
    QCOMPARE(m_store->value(Keys::cardWidth), 270.0);
    QCOMPARE(m_card->width(), 270);
    // Followed at once, written later: not at every move.
    QCOMPARE(storedWidth(), before);
    moveTo(start + QPoint(-250, 0));
    QCOMPARE(m_store->value(Keys::cardWidth), 340.0);
    moveTo(start + QPoint(-250, 30)); // vertical movement changes nothing
    QCOMPARE(m_store->value(Keys::cardWidth), 340.0);
    moveTo(start + QPoint(-240, 30)); // back at once after the clamp
    QCOMPARE(m_store->value(Keys::cardWidth), 330.0);
    QTest::mouseRelease(edge, Qt::LeftButton, {}, edge->mapFromGlobal(start + QPoint(-240, 30)));
    QCOMPARE(m_card->width(), 330);
    // The release writes it, beside the GUI thread.
    QTRY_COMPARE(storedWidth(), 330.0);
}

void TestWidgetView::timerFieldFilter()
{
    makeCard();
    QLineEdit *field = timerField();
    QCOMPARE(field->text(), QStringLiteral("25:00"));
    QCOMPARE(field->placeholderText(), QStringLiteral("25:00"));
    field->clear();
    QTest::keyClicks(field, QStringLiteral("1a:3b0"));
    QCOMPARE(field->text(), QStringLiteral("1:30"));
    field->clear();
    field->insert(QStringLiteral("5 min")); // as a paste arrives
    QCOMPARE(field->text(), QStringLiteral("5"));
    field->clear();
    field->insert(QStringLiteral("-1.5\u00BD"));
    QCOMPARE(field->text(), QStringLiteral("15\u00BD"));
}

void TestWidgetView::startTimer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Seconds>("seconds");
    QTest::newRow("a duration") << "1:30" << Seconds(90);
    QTest::newRow("not a duration") << "1:2:3:4" << Seconds();
}

// The field's side of a start; the rule itself is the model's.
void TestWidgetView::startTimer()
{
    QFETCH(QString, text);
    QFETCH(Seconds, seconds);
    makeCard();
    timerField()->setText(text);
    QTest::keyClick(timerField(), Qt::Key_Return);
    if (seconds) {
        QCOMPARE(*m_model->timerEndsAt() - m_clock.elapsed(), *seconds);
        QVERIFY(!m_model->drawerOpen());
        QCOMPARE(timerField()->text(), text);
    } else {
        QVERIFY(!m_model->isRunning());
        QVERIFY(m_model->drawerOpen());
        QVERIFY(timerField()->text().isEmpty());
    }
}

void TestWidgetView::cancelOnlyClosesDrawer()
{
    makeCard();
    m_model->setTimerEndsAt(m_clock.elapsed() + 100);
    timerField()->setText(QStringLiteral("7"));
    QTest::mouseClick(m_card->drawer()->timerPane()->cancelButton(), Qt::LeftButton);
    QVERIFY(!m_model->drawerOpen());
    QCOMPARE(*m_model->timerEndsAt(), m_clock.elapsed() + 100);
    QCOMPARE(timerField()->text(), QStringLiteral("7"));
}

void TestWidgetView::openedDrawerReplacesDuration()
{
    makeCard();
    m_card->activateWindow();
    m_model->setDrawerOpen(false);
    m_model->setDrawerOpen(true);
    m_scheduler->advanceBy(WidgetView::kFocusDelay);
    QCOMPARE(m_card->focusWidget(), timerField());
    QCOMPARE(timerField()->selectedText(), QStringLiteral("25:00"));
    QTest::keyClicks(timerField(), QStringLiteral("10"));
    QTest::keyClick(timerField(), Qt::Key_Return);
    QCOMPARE(*m_model->timerEndsAt() - m_clock.elapsed(), 600.0);
    // Time passed since the model last woke; the face still shows what was typed.
    QCOMPARE(m_card->clockFace()->digitsText(), QStringLiteral("10:00"));
}

void TestWidgetView::timerPlaceholder_data()
{
    QTest::addColumn<bool>("focused");
    QTest::addColumn<QString>("rejected"); // started and refused, or nothing: emptied by hand
    QTest::newRow("emptied, no keyboard") << false << QString();
    QTest::newRow("emptied, with the keyboard") << true << QString();
    QTest::newRow("after a rejected start") << true << QStringLiteral("0:00");
}

// The hint "25:00" shows in the secondary colour whenever the field is empty.
void TestWidgetView::timerPlaceholder()
{
    QFETCH(bool, focused);
    QFETCH(QString, rejected);
    makeCard();
    m_card->activateWindow();
    QLineEdit *field = timerField();
    auto *frame = field->parentWidget();
    QVERIFY(qobject_cast<FieldFrame *>(frame));
    if (focused)
        field->setFocus();
    else
        notesPane()->field()->setFocus();
    if (rejected.isEmpty()) {
        field->clear();
    } else {
        field->setText(rejected);
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(!m_model->isRunning());
    }
    QVERIFY(field->text().isEmpty());
    QCOMPARE(field->hasFocus(), focused);

    // The hint's pixels: far from the field's fill, in the secondary colour's direction.
    const Palette colors = m_card->cardPalette();
    const QImage image = m_card->grab(QRect(frame->mapTo(m_card.get(), QPoint()), frame->size())).toImage();
    const QColor ground = image.pixelColor(image.width() / 2, 3);
    QRect hint;
    for (int y = 4; y < image.height() - 4; ++y) {
        for (int x = 4; x < image.width() - 4; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.lightness() - ground.lightness()) > 40
                && std::abs(c.lightness() - colors.digits.lightness()) > 40)
                hint |= QRect(x, y, 1, 1);
        }
    }
    const int textWidth = QFontMetrics(field->font()).horizontalAdvance(QStringLiteral("25:00"));
    QVERIFY2(hint.width() > textWidth * 3 / 4 && hint.width() <= textWidth,
             qPrintable(QStringLiteral("hint %1 px wide, the text %2").arg(hint.width()).arg(textWidth)));
    // Centred like the text it stands for.
    QVERIFY(std::abs(hint.center().x() - image.width() / 2) <= 2);
}

void TestWidgetView::notesField()
{
    makeCard();
    QLineEdit *field = notesPane()->field();
    QVERIFY(notesPane()->placeholder()->isVisible());
    QTest::keyClicks(field, QStringLiteral("x"));
    QVERIFY(notesPane()->placeholder()->isHidden());
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(m_model->notes().size(), 1);
    QVERIFY(field->text().isEmpty());
    QVERIFY(notesPane()->placeholder()->isVisible());

    QTest::keyClicks(field, QStringLiteral("   "));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(m_model->notes().size(), 1);
    QVERIFY(field->text().isEmpty());

    for (int i = 0; i < 4; ++i) {
        QVERIFY(field->isEnabled());
        QTest::keyClicks(field, QString::number(i));
        QTest::keyClick(field, Qt::Key_Return);
    }
    QCOMPARE(m_model->notes().size(), 5);
    QVERIFY(!field->isEnabled());
    // Drawn disabled: the fill and outline fade, the hint stays as readable as before.
    auto *frame = qobject_cast<FieldFrame *>(field->parentWidget());
    QVERIFY(frame);
    const QImage disabled = frame->grab().toImage();
    const QImage disabledHint = notesPane()->placeholder()->grab().toImage();
    frame->setEnabled(true);
    const QImage enabled = frame->grab().toImage();
    QCOMPARE(notesPane()->placeholder()->grab().toImage(), disabledHint);
    frame->setEnabled(false);
    const QPoint inFill(frame->width() - 4, frame->height() / 2);
    QVERIFY(disabled.pixelColor(inFill) != enabled.pixelColor(inFill));
    QTest::mouseClick(notesPane()->rows().first()->deleteButton(), Qt::LeftButton);
    QCOMPARE(m_model->notes().size(), 4);
    QVERIFY(field->isEnabled());
}

void TestWidgetView::rowsReachModel()
{
    makeCard();
    m_model->addNote(QStringLiteral("a"));
    m_model->addNote(QStringLiteral("b"));
    NoteRow *second = notesPane()->rows().at(1);
    QTest::mouseClick(second->checkMark(), Qt::LeftButton);
    QVERIFY(m_model->notes().at(1).done);
    // Rows are kept by id across changes.
    QCOMPARE(notesPane()->rows().at(1), second);
    QCOMPARE(second->checkMark()->symbol(), Symbol::CheckmarkCircleFill);
    QCOMPARE(second->checkMark()->color(), m_card->cardPalette().accent);
    QVERIFY(second->textView()->done());
    QTest::mouseClick(second->checkMark(), Qt::LeftButton);
    QCOMPARE(second->checkMark()->symbol(), Symbol::Circle);
    QTest::mouseClick(notesPane()->rows().at(0)->deleteButton(), Qt::LeftButton);
    QCOMPARE(m_model->notes().size(), 1);
    QCOMPARE(notesPane()->rows(), QList<NoteRow *>{second});
}

void TestWidgetView::longNoteWraps()
{
    makeCard();
    m_model->addNote(QStringLiteral("short"));
    const int oneLine = m_card->drawerHeight();
    const int cardHeight = m_card->height();
    m_model->addNote(QStringLiteral("A note long enough to need several lines on a card this narrow, never cut"));
    NoteText *text = notesPane()->rows().last()->textView();
    const int lineHeight = text->heightForWidth(100'000);
    QVERIFY(text->height() >= 2 * lineHeight);
    QVERIFY(m_card->drawerHeight() - oneLine >= 2 * lineHeight);
    QCOMPARE(m_card->height() - cardHeight, m_card->drawerHeight() - oneLine);

    // Closed, the card keeps its height when a note arrives.
    m_model->setDrawerOpen(false);
    const int closed = m_card->height();
    m_model->deleteNote(m_model->notes().first().id);
    QCOMPARE(m_card->height(), closed);
}

void TestWidgetView::notesWithinHeightLimit_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("notes");
    QTest::addColumn<int>("length"); // of each note, without a space
    QTest::addColumn<bool>("scrolls");
    QTest::newRow("short notes, room to spare") << 752 << 3 << 10 << false;
    QTest::newRow("every row just fits") << 0 << 5 << 40 << false;
    QTest::newRow("a pasted 2,000-character address, 800 px screen") << 752 << 1 << 2000 << true;
    QTest::newRow("five long notes") << 752 << 5 << 20'000 << true;
    QTest::newRow("little room: the field still shows") << 60 << 2 << 600 << true;
}

// However long the notes, the card keeps to the room it is given: the face, the timer
// pane and the grip stay in it, the notes scroll, and every note's controls can be reached.
void TestWidgetView::notesWithinHeightLimit()
{
    QFETCH(int, limit);
    QFETCH(int, notes);
    QFETCH(int, length);
    QFETCH(bool, scrolls);
    makeCard();
    for (int i = 0; i < notes; ++i)
        m_model->addNote(QStringLiteral("https://example.org/%1/").arg(i) + QString(length, u'a'));
    const int natural = m_card->height();
    const QImage unlimited = m_card->grab().toImage();
    // Each row's check mark and cross sit by its first line, however long the note.
    for (NoteRow *row : notesPane()->rows()) {
        QVERIFY(row->checkMark()->y() < row->checkMark()->height());
        QVERIFY(row->deleteButton()->y() < row->checkMark()->height());
    }
    if (limit == 0)
        limit = natural;
    m_card->setHeightLimit(limit);
    NotesScroller *scroller = m_card->drawer()->notesScroller();
    QCOMPARE(scroller->scrollBar()->isVisibleTo(m_card.get()), scrolls);
    if (!scrolls) {
        // Nothing changes while everything fits.
        QCOMPARE(m_card->height(), natural);
        QCOMPARE(m_card->grab().toImage(), unlimited);
        return;
    }
    const int least = m_card->clockFace()->faceHeight() + m_card->drawer()->timerPane()->height() + 2
        + notesPane()->shortestView() + m_card->gripRow()->height();
    QCOMPARE(m_card->height(), std::max(limit, least));
    QCOMPARE(m_card->gripRow()->geometry().bottom(), m_card->height() - 1);
    QVERIFY(!scroller->scrollBar()->accessibleName().isEmpty());
    // The handle is as long as the page is of the whole, never under its minimum, follows the
    // pointer to the end, and a click above it goes back a page.
    ThinScrollBar *bar = scroller->scrollBar();
    const int whole = bar->maximum() - bar->minimum() + bar->pageStep();
    QCOMPARE(bar->handleRect().height(),
             std::clamp(bar->height() * bar->pageStep() / whole, ThinScrollBar::kMinimumHandle, bar->height()));
    const QPoint held = bar->handleRect().center();
    QTest::mousePress(bar, Qt::LeftButton, {}, held);
    QTest::mouseMove(bar, held + QPoint(0, bar->height()));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, held + QPoint(0, bar->height()));
    QCOMPARE(bar->value(), bar->maximum());
    QCOMPARE(bar->handleRect().bottom(), bar->height() - 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 0));
    QCOMPARE(bar->value(), std::max(bar->maximum() - bar->pageStep(), bar->minimum()));
    bar->setValue(0);

    m_card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_card.get()));
    // Five notes fill the list, and the field takes no more: Tab starts at the first note then.
    QWidget *top = notesPane()->field();
    int steps = 2 * notes;
    if (!top->isEnabled()) {
        top = notesPane()->rows().first()->checkMark();
        --steps;
    }
    top->setFocus(Qt::TabFocusReason);
    const auto inView = [scroller](QWidget *control) {
        const QRect shown(control->mapTo(scroller, QPoint()), control->size());
        return scroller->rect().contains(shown);
    };
    QVERIFY(inView(top));

    // The wheel over a note scrolls the list.
    NoteText *first = notesPane()->rows().first()->textView();
    const QPointF inside(4, 4);
    QWheelEvent wheel(inside, first->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    // As from the window system (sendEvent would clear the mark): only then does a wheel
    // that a control leaves go on to its parents.
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    qApp->notify(first, &wheel);
    QVERIFY(scroller->offset() > 0);

    // Tab from there reaches the last note's cross, and brings it into view.
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(m_card->windowHandle(), Qt::Key_Tab);
    SymbolButton *cross = notesPane()->rows().last()->deleteButton();
    QCOMPARE(QApplication::focusWidget(), cross);
    QVERIFY(inView(cross));
    // And back up.
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(m_card->windowHandle(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), top);
    QVERIFY(inView(top));
}

void TestWidgetView::noteLayoutFollowsWidth_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("narrow, then wide") << 150 << 300;
    QTest::newRow("wide, then narrow") << 300 << 150;
    QTest::newRow("a few pixels") << 150 << 140;
}

// A note's lines are kept for its width, and made again for a new one.
void TestWidgetView::noteLayoutFollowsWidth()
{
    QFETCH(int, first);
    QFETCH(int, second);
    const QString note = QStringLiteral("A few words, then https://example.org/") + QString(400, u'q');
    const QFont font = systemFont(CardMetrics::kBodyText);
    const auto laidOutAfresh = [&](int width) {
        NoteText fresh;
        fresh.setLook(font, Qt::black);
        fresh.setNote(note, false);
        return fresh.heightForWidth(width);
    };
    NoteText text;
    text.setLook(font, Qt::black);
    text.setNote(note, false);
    const int firstHeight = text.heightForWidth(first);
    QCOMPARE(firstHeight, laidOutAfresh(first));
    QCOMPARE(text.heightForWidth(second), laidOutAfresh(second));
    QVERIFY(text.heightForWidth(second) != firstHeight);
    // Painted at the new width, and asked about the old one again.
    text.resize(second, text.heightForWidth(second));
    text.grab();
    QCOMPARE(text.heightForWidth(first), firstHeight);

    // On the card: a new card width gives the note the height of its new lines.
    makeCard();
    m_model->addNote(note);
    NoteText *shown = notesPane()->rows().first()->textView();
    const int before = shown->height();
    m_store->setValue(Keys::cardWidth, 340.0);
    NoteText fresh;
    fresh.setLook(systemFont(CardMetrics::scaled(CardMetrics::kBodyText, CardRules::cardScale(340))), Qt::black);
    fresh.setNote(note, false);
    QCOMPARE(shown->height(), fresh.heightForWidth(shown->width()));
    QVERIFY(shown->height() != before);
}

void TestWidgetView::longNoteKeepsShownLines_data()
{
    QTest::addColumn<QString>("note");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("part");      // where the part drawn starts, in per cent of the note's height
    QTest::addColumn<bool>("unbroken"); // holds a word too long to wrap at word boundaries
    QString words;
    for (int i = 0; words.size() < AppModel::maxNoteLength - 12; ++i)
        words += QStringLiteral("lorem ipsum dolor sit amet consectetur ").section(u' ', i % 6, i % 6) + u' ';
    QString lines;
    for (int i = 0; lines.size() < 60'000; ++i)
        lines += QStringLiteral("line %1 of a list pasted whole\n").arg(i);
    QTest::newRow("a short note") << QStringLiteral("milk, eggs") << 170 << 0 << false;
    QTest::newRow("just past one stretch") << QString(WrappedText::stretchChars + 300, u'w') << 170 << 50 << true;
    QTest::newRow("100,000 characters of words, middle") << words << 170 << 45 << false;
    QTest::newRow("100,000 characters of words, wide card") << words << 290 << 21 << false;
    QTest::newRow("an address without a space, near the end")
        << QStringLiteral("https://example.org/") + QString(AppModel::maxNoteLength - 20, u'a') << 170 << 97 << true;
    QTest::newRow("stored line breaks") << lines << 170 << 60 << false;
    // Past 500 characters without a space a word is broken anywhere, from the start of its line.
    QTest::newRow("a word of 500 characters")
        << QStringLiteral("start %1 end").arg(QString(500, u'k')) << 170 << 0 << false;
    QTest::newRow("a word of 501 characters")
        << QStringLiteral("start %1 end").arg(QString(501, u'k')) << 170 << 0 << true;
}

// A long note lays out only the stretch of lines drawn, and draws and measures them as one
// layout of the whole text would.
void TestWidgetView::longNoteKeepsShownLines()
{
    QFETCH(QString, note);
    QFETCH(int, width);
    QFETCH(int, part);
    QFETCH(bool, unbroken);
    const QFont font = systemFont(CardMetrics::kBodyText);
    NoteText text;
    text.setLook(font, Qt::black);
    text.setNote(note, false);

    // The whole text in one layout, as it would be drawn without stretches.
    QFont whole = font;
    if (unbroken)
        whole.setStyleStrategy(QFont::PreferNoShaping);
    QTextLayout layout(QString(note).replace(u'\n', QChar::LineSeparator), whole);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(unbroken ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(4 * QFontMetricsF(whole).horizontalAdvance(u' '));
    layout.setTextOption(option);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    const int height = int(std::ceil(y));
    const int scrolledTo = height * part / 100;

    text.resize(width, text.heightForWidth(width));
    while (text.measureMore()) { }
    QCOMPARE(text.heightForWidth(width), height);
    text.resize(width, height);

    const QRect shown(0, scrolledTo, width, 300);
    QImage drawn(shown.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::white);
    text.render(&drawn, QPoint(), QRegion(shown), QWidget::DrawChildren);
    QImage expected(drawn.size(), drawn.format());
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.setPen(Qt::black);
        painter.setClipRect(QRect(QPoint(), shown.size()));
        layout.draw(&painter, QPointF(0, -scrolledTo));
    }
    QCOMPARE(drawn, expected);
    // The lines kept are those of the few stretches drawn last, not the note's thousands.
    if (note.size() > 10 * WrappedText::stretchChars)
        QVERIFY2(text.keptLines() * 10 < layout.lineCount(),
                 qPrintable(QStringLiteral("%1 of %2 lines kept").arg(text.keptLines()).arg(layout.lineCount())));

    // On the card the row starts with an estimate, gets its exact height once the pane has
    // counted its lines between events, and keeps its controls by the first line.
    makeCard();
    m_card->setHeightLimit(752);
    m_model->addNote(note);
    NoteRow *row = notesPane()->rows().first();
    const QString stored = m_model->notes().first().text;
    QTRY_VERIFY(row->textView()->measured());
    NoteText fresh;
    fresh.setLook(font, Qt::black);
    fresh.setNote(stored, false);
    fresh.heightForWidth(row->textView()->width());
    while (fresh.measureMore()) { }
    QTRY_COMPARE(row->textView()->height(), fresh.heightForWidth(row->textView()->width()));
    QVERIFY(row->checkMark()->y() < row->checkMark()->height());
    QVERIFY(row->deleteButton()->y() < row->checkMark()->height());
    // Named by the whole note; the cross by its start, not by a copy of a long note.
    QCOMPARE(row->checkMark()->accessibleName(), stored);
    const QString deleteName = row->deleteButton()->accessibleName();
    QVERIFY(deleteName.startsWith(QStringLiteral("Delete note: ") + stored.left(100)));
    QVERIFY(deleteName.size() < 200);
}

void TestWidgetView::notePasteLimit_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("pasted"); // characters
    QTest::addColumn<bool>("taken");
    QTest::newRow("the longest note") << QString() << AppModel::maxNoteLength << true;
    QTest::newRow("one over") << QString() << AppModel::maxNoteLength + 1 << false;
    QTest::newRow("far over") << QStringLiteral("kept") << 3 * AppModel::maxNoteLength << false;
    QTest::newRow("over with what was typed") << QStringLiteral("abc") << AppModel::maxNoteLength - 2 << false;
}

// A paste is taken whole or not at all; refused, the field keeps its text and says so.
void TestWidgetView::notePasteLimit()
{
    QFETCH(QString, typed);
    QFETCH(int, pasted);
    QFETCH(bool, taken);
    makeCard();
    QLineEdit *field = notesPane()->field();
    QTest::keyClicks(field, typed);
    const QString clip(pasted, u'x');
    QApplication::clipboard()->setText(clip);
    QToolTip::hideText();
    field->paste();
    QCOMPARE(field->text(), taken ? typed + clip : typed);
    QCOMPARE(QToolTip::isVisible(), !taken);
    QToolTip::hideText();
    QTest::keyClick(field, Qt::Key_Return);
    if (taken)
        QCOMPARE(m_model->notes().last().text.size(), pasted);
    else
        QCOMPARE(m_model->notes().size(), typed.isEmpty() ? 0 : 1);
}

void TestWidgetView::highContrastTexts_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("accent");
    QTest::newRow("black") << "dark"
                           << "red";
    QTest::newRow("white") << "light"
                           << "red";
    QTest::newRow("blue") << "color"
                          << "blue";
    QTest::newRow("red") << "color"
                         << "red";
    QTest::newRow("glass") << "glass"
                           << "red";
}

// With high contrast the texts reach 4.5:1 against what they are drawn on, read from the
// card's pixels: each box's commonest colour against the colour that stands out most in it.
void TestWidgetView::highContrastTexts()
{
    QFETCH(QString, theme);
    QFETCH(QString, accent);
    m_store->setValue(Keys::theme, theme);
    m_store->setValue(Keys::accent, accent);
    m_store->setValue(Keys::highContrast, true);
    makeCard();
    // The glass tint opaque, so that the picture holds what the eye would see.
    m_card->setTranslucencyAvailable(false);
    const QImage picture = m_card->grab().toImage();
    const auto boxOf = [this](QWidget *widget, QRect box = {}) {
        return QRect(widget->mapTo(m_card.get(), QPoint()), widget->size())
            .intersected(box.isNull() ? QRect(QPoint(), m_card->size())
                                      : box.translated(widget->mapTo(m_card.get(), QPoint())));
    };
    ClockFace *face = m_card->clockFace();
    TimerPane *timer = m_card->drawer()->timerPane();
    const struct
    {
        const char *text;
        QRect box;
    } texts[] = {{"date", boxOf(face, face->dateRect().toAlignedRect())},
                 {"Start", boxOf(timer->startButton()).adjusted(4, 2, -4, -2)},
                 {"Cancel", boxOf(timer->cancelButton()).adjusted(4, 2, -4, -2)}};
    for (const auto &text : texts) {
        QHash<QRgb, int> counts;
        for (int y = text.box.top(); y <= text.box.bottom(); ++y) {
            for (int x = text.box.left(); x <= text.box.right(); ++x)
                ++counts[picture.pixel(x, y)];
        }
        QRgb background = 0;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            if (it.value() > counts.value(background))
                background = it.key();
        }
        double best = 1;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            best = std::max(best, Contrast::ratio(QColor(it.key()), QColor(background)));
        QVERIFY2(best >= Contrast::kText, qPrintable(QStringLiteral("%1: %2").arg(text.text).arg(best)));
    }
}

void TestWidgetView::saveWarning_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<double>("width");
    QTest::addColumn<QString>("accent");
    QTest::addColumn<bool>("highContrast");
    QTest::newRow("dark") << "dark" << 220.0 << "red" << false;
    QTest::newRow("light, narrow") << "light" << 180.0 << "red" << false;
    QTest::newRow("glass, wide") << "glass" << 340.0 << "red" << false;
    QTest::newRow("red") << "color" << 220.0 << "red" << false;
    QTest::newRow("blue") << "color" << 220.0 << "blue" << false;
    QTest::newRow("light, high contrast") << "light" << 220.0 << "red" << true;
    QTest::newRow("glass, high contrast") << "glass" << 220.0 << "red" << true;
}

void TestWidgetView::saveWarning()
{
    QFETCH(QString, theme);
    QFETCH(QString, accent);
    QFETCH(double, width);
    QFETCH(bool, highContrast);
    const QString folder = m_dir->filePath(QStringLiteral("orvanta"));
    m_store = std::make_unique<SettingsStore>(folder);
    m_store->setValue(Keys::theme, theme);
    m_store->setValue(Keys::accent, accent);
    m_store->setValue(Keys::cardWidth, width);
    m_store->setValue(Keys::highContrast, highContrast);
    makeCard();
    m_model->addNote(QStringLiteral("kept in memory"));
    auto *quit = new QAction(QStringLiteral("Quit"), m_card.get());
    m_card->setMenuActions({quit});
    QLabel *warning = m_card->saveWarning();
    const QSize normal = m_card->size();
    const QRect grip = m_card->gripRow()->geometry();
    QVERIFY(warning->isHidden());
    QCOMPARE(m_card->contextMenuActions(), QList<QAction *>{quit});

    // A file where the folder was: nothing can be written any more.
    QVERIFY(QDir(folder).removeRecursively());
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("orvanta: Not a directory$")));
    const QUuid id = m_model->notes().first().id;
    m_model->toggleNote(id);
    m_model->toggleNote(id);
    m_model->toggleNote(id);
    QVERIFY(m_model->notes().first().done);

    const double s = width / 220;
    const int row = qRound(16 * s);
    QVERIFY(warning->isVisible());
    QCOMPARE(warning->text(), QStringLiteral("Notes can't be saved"));
    QCOMPARE(warning->accessibleName(), QStringLiteral("Notes can't be saved"));
    QVERIFY(warning->toolTip().contains(folder));
    QCOMPARE(warning->accessibleDescription(), warning->toolTip());
    QCOMPARE(warning->font().pixelSize(), qRound(11 * s));
    // Between the drawer and the grip, which moves down by the line's height.
    QCOMPARE(warning->geometry(), QRect(0, grip.top(), normal.width(), row));
    QCOMPARE(m_card->gripRow()->geometry(), grip.translated(0, row));
    QCOMPARE(m_card->size(), normal + QSize(0, row));
    const QList<QAction *> actions = m_card->contextMenuActions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions.at(0)->text(), warning->toolTip());
    QVERIFY(!actions.at(0)->isEnabled());
    QVERIFY(actions.at(1)->isSeparator());
    QCOMPARE(actions.at(2), quit);

    // Drawn in the accent, which stands out from the surface in every theme.
    QCOMPARE(m_card->cardPalette().highContrast, highContrast);
    const QColor ink = m_card->cardPalette().accent;
    const QImage image = m_card->grab(warning->geometry()).toImage();
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            inked += qAbs(c.red() - ink.red()) + qAbs(c.green() - ink.green()) + qAbs(c.blue() - ink.blue()) < 60;
        }
    }
    QVERIFY2(inked > 10, qPrintable(QStringLiteral("%1 pixels in the accent").arg(inked)));

    // Saving works again: the line goes and the card is as before.
    QVERIFY(QFile::remove(folder));
    m_model->toggleNote(id);
    QVERIFY(warning->isHidden());
    QCOMPARE(m_card->size(), normal);
    QCOMPARE(m_card->gripRow()->geometry(), grip);
    QCOMPARE(m_card->contextMenuActions(), QList<QAction *>{quit});
    SettingsStore saved(folder);
    QCOMPARE(NotesCodec::decode(*saved.dataValue(QLatin1String(Keys::notes))), std::optional(m_model->notes()));
}

void TestWidgetView::noteShownAsStored_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("lines");
    // The same text without the character in question: what is drawn must be wider.
    QTest::addColumn<QString>("without");

    QTest::newRow("line break") << QStringLiteral("line one\nline two") << 2 << QString();
    QTest::newRow("CR LF") << QStringLiteral("line one\r\nline two") << 2 << QString();
    QTest::newRow("two breaks") << QStringLiteral("a\n\nb") << 3 << QString();
    QTest::newRow("tab") << QStringLiteral("tab\there") << 1 << QStringLiteral("tabhere");
    QTest::newRow("bell") << QStringLiteral("bell\aend") << 1 << QStringLiteral("bellend");
    QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << 1 << QStringLiteral("ab");
}

void TestWidgetView::noteShownAsStored()
{
    QFETCH(QString, stored);
    QFETCH(int, lines);
    QFETCH(QString, without);
    makeCard();
    m_model->addNote(QStringLiteral("x"));
    m_model->addNote(stored);
    const NoteText *one = notesPane()->rows().at(0)->textView();
    NoteText *text = notesPane()->rows().at(1)->textView();
    QCOMPARE(text->text(), stored);
    QCOMPARE(text->height(), lines * one->height());
    if (without.isEmpty())
        return;

    // Drawn alone on a wide strip, so that nothing wraps.
    auto inkWidth = [](const QString &note) {
        NoteText view;
        view.setLook(QFont(), Qt::black);
        view.setNote(note, false);
        view.resize(600, 40);
        return inkBox(&view, 1.0).width();
    };
    QVERIFY2(inkWidth(stored) > inkWidth(without) + 2,
             qPrintable(QStringLiteral("%1 px against %2 px").arg(inkWidth(stored)).arg(inkWidth(without))));
}

enum class DrawnSymbol { CancelCross, DeleteCross, OpenCheck, DoneCheck };
Q_DECLARE_METATYPE(DrawnSymbol)

void TestWidgetView::symbolInk_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<DrawnSymbol>("symbol");
    QTest::addColumn<double>("points"); // the designed size: a symbol at P points spans P points

    for (double width : {180.0, 220.0, 340.0}) {
        const double k = width / 220;
        const QByteArray at = QByteArray::number(width);
        QTest::newRow("cancel cross, 10-point bold, at " + at) << width << DrawnSymbol::CancelCross << 10.0;
        QTest::newRow("delete cross, 10k, at " + at) << width << DrawnSymbol::DeleteCross << 10 * k;
        QTest::newRow("open check, 13k, at " + at) << width << DrawnSymbol::OpenCheck << 13 * k;
        QTest::newRow("done check, 13k, at " + at) << width << DrawnSymbol::DoneCheck << 13 * k;
    }
}

void TestWidgetView::symbolInk()
{
    QFETCH(double, width);
    QFETCH(DrawnSymbol, symbol);
    QFETCH(double, points);
    m_store->setValue(Keys::cardWidth, width);
    makeCard();
    m_model->addNote(QStringLiteral("open"));
    m_model->addNote(QStringLiteral("done"));
    m_model->toggleNote(m_model->notes().at(1).id);
    m_model->setTimerEndsAt(m_clock.elapsed() + 60);
    const Palette colors = m_card->cardPalette();
    QVERIFY(colors.field.alphaF() < 0.2);

    QRect box;
    switch (symbol) {
    case DrawnSymbol::CancelCross:
        // The cross lies on a faint disc: only the cross reaches half its opacity.
        box = inkBox(m_card->clockFace()->cancelButton(), colors.digits.alphaF() * 0.85);
        break;
    case DrawnSymbol::DeleteCross:
        box = inkBox(notesPane()->rows().at(0)->deleteButton(), colors.secondary.alphaF());
        break;
    case DrawnSymbol::OpenCheck: box = inkBox(notesPane()->rows().at(0)->checkMark(), colors.secondary.alphaF()); break;
    case DrawnSymbol::DoneCheck: box = inkBox(notesPane()->rows().at(1)->checkMark(), colors.accent.alphaF()); break;
    }
    const QString measured = QStringLiteral("ink %1 x %2, designed %3").arg(box.width()).arg(box.height()).arg(points);
    QVERIFY2(std::abs(box.width() - points) <= 1 && std::abs(box.height() - points) <= 1, qPrintable(measured));
}

// Every control says what it is, what it is called and what state it is in, and a
// reader's action does what a click does.
void TestWidgetView::accessibleCard()
{
    m_clock.set(QDateTime(QDate(2026, 12, 8), QTime(21, 5, 7)).toSecsSinceEpoch());
    makeCard();
    m_model->addNote(QStringLiteral("Groceries"));
    m_model->addNote(QStringLiteral("Laundry"));
    m_model->toggleNote(m_model->notes().at(1).id);
    const auto accessible = [](QWidget *widget) { return QAccessible::queryAccessibleInterface(widget); };
    const auto act = [&](QWidget *widget, const QString &action) {
        QVERIFY(accessible(widget)->actionInterface()->actionNames().contains(action));
        accessible(widget)->actionInterface()->doAction(action);
    };

    QAccessibleInterface *face = accessible(m_card->clockFace());
    QCOMPARE(face->role(), QAccessible::StaticText);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("9:05 PM, Tuesday, December 8"));

    GripRow *grip = m_card->gripRow();
    QCOMPARE(accessible(grip)->role(), QAccessible::Button);
    QCOMPARE(accessible(grip)->text(QAccessible::Name), QStringLiteral("Hide drawer"));
    QVERIFY(accessible(grip)->state().expandable && accessible(grip)->state().expanded);

    QAccessibleInterface *field = accessible(timerField());
    QCOMPARE(field->role(), QAccessible::EditableText);
    QCOMPARE(field->text(QAccessible::Name), QStringLiteral("Countdown duration"));
    QVERIFY(field->text(QAccessible::Description).contains(QStringLiteral("h:mm:ss")));
    QCOMPARE(accessible(notesPane()->field())->text(QAccessible::Description), QStringLiteral("Add a note…"));

    const QList<NoteRow *> rows = notesPane()->rows();
    for (int i = 0; i < 2; ++i) {
        QAccessibleInterface *check = accessible(rows.at(i)->checkMark());
        const QString text = m_model->notes().at(i).text;
        QCOMPARE(check->role(), QAccessible::CheckBox);
        QCOMPARE(check->text(QAccessible::Name), text);
        QCOMPARE(check->state().checked, i == 1);
        // The text beside the check box is its name again: the row leaves it out.
        QAccessibleInterface *row = accessible(rows.at(i));
        QCOMPARE(row->childCount(), 2);
        QCOMPARE(row->child(0)->object(), rows.at(i)->checkMark());
        QCOMPARE(row->child(1)->object(), rows.at(i)->deleteButton());
        QCOMPARE(row->indexOfChild(check), 0);
        QCOMPARE(accessible(rows.at(i)->deleteButton())->role(), QAccessible::Button);
        QCOMPARE(accessible(rows.at(i)->deleteButton())->text(QAccessible::Name),
                 QStringLiteral("Delete note: ") + text);
    }
    act(rows.at(0)->checkMark(), QAccessibleActionInterface::toggleAction());
    QVERIFY(m_model->notes().at(0).done);
    QVERIFY(accessible(rows.at(0)->checkMark())->state().checked);
    act(rows.at(1)->deleteButton(), QAccessibleActionInterface::pressAction());
    QCOMPARE(m_model->notes().size(), 1);

    m_model->setTimerEndsAt(m_clock.elapsed() + 1499.2);
    QCOMPARE(face->text(QAccessible::Name), ClockText::spokenCountdown(1499.2));
    // Its tooltip only says its name: no description to hear twice.
    QCOMPARE(accessible(m_card->clockFace()->cancelButton())->text(QAccessible::Description), QString());
    act(m_card->clockFace()->cancelButton(), QAccessibleActionInterface::pressAction());
    QVERIFY(!m_model->isRunning());

    act(grip, QAccessibleActionInterface::pressAction());
    QVERIFY(!m_model->drawerOpen());
    QCOMPARE(accessible(grip)->text(QAccessible::Name), QStringLiteral("Show drawer"));
    QVERIFY(!accessible(grip)->state().expanded);
    // Closed, the drawer's controls are gone from the reader's view.
    QVERIFY(accessible(timerField())->state().invisible);
}

void TestWidgetView::tabOrder_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("setAside");
    QTest::newRow("open, counting down") << true << true << false;
    QTest::newRow("open") << true << false << false;
    QTest::newRow("closed, counting down") << false << true << false;
    QTest::newRow("open, unreadable settings set aside") << true << false << true;
    QTest::newRow("closed, unreadable settings set aside") << false << false << true;
}

// Tab and Shift+Tab go round the card's controls in reading order, the grip before the
// drawer it opens, each with its ring.
void TestWidgetView::tabOrder()
{
    QFETCH(bool, open);
    QFETCH(bool, running);
    QFETCH(bool, setAside);
    if (setAside) {
        QFile broken(m_store->filePath());
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("{\"theme\": \"gl") > 0);
        broken.close();
        m_store = std::make_unique<SettingsStore>(m_dir->path());
    }
    makeCard();
    m_model->addNote(QStringLiteral("a"));
    m_model->addNote(QStringLiteral("b"));
    m_model->setDrawerOpen(open);
    if (running)
        m_model->setTimerEndsAt(m_clock.elapsed() + 100);
    m_card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_card.get()));

    QList<QWidget *> expected;
    if (running)
        expected << m_card->clockFace()->pauseButton() << m_card->clockFace()->cancelButton();
    expected << m_card->gripRow();
    if (open) {
        TimerPane *timer = m_card->drawer()->timerPane();
        expected << timerField() << timer->startButton() << timer->cancelButton() << notesPane()->field();
        for (NoteRow *row : notesPane()->rows())
            expected << row->checkMark() << row->deleteButton();
    }
    SetAsideLine *aside = m_card->setAsideLine();
    QCOMPARE(aside->isVisible(), setAside);
    if (setAside)
        expected << aside->dismissButton();
    expected.first()->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i <= expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), expected.at(i % expected.size()));
        if (auto *button = qobject_cast<KeyboardButton *>(QApplication::focusWidget()))
            QVERIFY(button->showsFocusRing());
        else
            QVERIFY(static_cast<FieldFrame *>(QApplication::focusWidget()->parentWidget())->showsFocusRing());
    }
    for (qsizetype i = expected.size() - 1; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), expected.at(i));
    }
    if (!setAside)
        return;
    // The line names the file, read in full by assistive technology; Space on the cross
    // dismisses it, and the keyboard goes on to the grip.
    const QString name = m_store->setAside();
    QVERIFY(name.startsWith(QStringLiteral("settings.json-")));
    QVERIFY(aside->label()->accessibleName().contains(name));
    QVERIFY(aside->label()->toolTip().contains(name));
    QCOMPARE(aside->dismissButton()->accessibleName(), QStringLiteral("Dismiss"));
    const int height = m_card->height();
    aside->dismissButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(aside->dismissButton(), Qt::Key_Space);
    QVERIFY(m_store->setAside().isEmpty());
    QVERIFY(aside->isHidden());
    QCOMPARE(QApplication::focusWidget(), m_card->gripRow());
    QCOMPARE(m_card->height(), height - 2 * qRound(16 * m_card->cardWidth() / 220));
}

// Space and Return press the focused button; Escape closes the drawer; the keyboard
// follows what the card shows.
void TestWidgetView::keysDriveTheCard()
{
    makeCard();
    m_card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_card.get()));
    QWindow *window = m_card->windowHandle();
    TimerPane *timer = m_card->drawer()->timerPane();
    timer->startButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window, Qt::Key_Return);
    QCOMPARE(*m_model->timerEndsAt() - m_clock.elapsed(), 1500.0);
    // The drawer closed around the keyboard: it went to the countdown's cancel button.
    RoundButton *cancel = m_card->clockFace()->cancelButton();
    QCOMPARE(QApplication::focusWidget(), cancel);
    QVERIFY(cancel->showsFocusRing());
    // Shift+Tab reaches the pause button beside it; Space pauses and resumes, and the button
    // says which it will do.
    RoundButton *pause = m_card->clockFace()->pauseButton();
    QTest::keyClick(window, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), pause);
    QTest::keyClick(window, Qt::Key_Space);
    QVERIFY(m_model->isPaused());
    QCOMPARE(pause->accessibleName(), QStringLiteral("Resume countdown"));
    QTest::keyClick(window, Qt::Key_Space);
    QVERIFY(!m_model->isPaused());
    QCOMPARE(pause->accessibleName(), QStringLiteral("Pause countdown"));
    QTest::keyClick(window, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), cancel);
    QTest::keyClick(window, Qt::Key_Space);
    QVERIFY(!m_model->isRunning());
    QCOMPARE(QApplication::focusWidget(), m_card->gripRow());
    QVERIFY(m_card->gripRow()->showsFocusRing());

    QTest::keyClick(window, Qt::Key_Return);
    QVERIFY(m_model->drawerOpen());
    m_scheduler->advanceBy(WidgetView::kFocusDelay);
    QCOMPARE(QApplication::focusWidget(), timerField());
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!m_model->drawerOpen());
    QCOMPARE(QApplication::focusWidget(), m_card->gripRow());
    // The field had the keyboard without a ring (the drawer gave it), so the grip shows none.
    QVERIFY(!m_card->gripRow()->showsFocusRing());
    QTest::keyClick(window, Qt::Key_Escape); // closed already: nothing more happens
    QVERIFY(!m_model->drawerOpen());
}

void TestWidgetView::focusAfterNoteChange_data()
{
    QTest::addColumn<int>("notes");
    QTest::addColumn<int>("deleted");    // -1: a note added from the field with Return
    QTest::addColumn<int>("focusedRow"); // afterwards; -1 for the notes field
    QTest::newRow("first of three: the next row") << 3 << 0 << 0;
    QTest::newRow("middle: the next row") << 3 << 1 << 1;
    QTest::newRow("last: the previous row") << 3 << 2 << 1;
    QTest::newRow("the only one: the field") << 1 << 0 << -1;
    QTest::newRow("a note added: the field stays") << 3 << -1 << -1;
    QTest::newRow("the fifth added: its check mark") << 4 << -1 << 4;
}

void TestWidgetView::focusAfterNoteChange()
{
    QFETCH(int, notes);
    QFETCH(int, deleted);
    QFETCH(int, focusedRow);
    makeCard();
    for (int i = 0; i < notes; ++i)
        m_model->addNote(QString::number(i));
    m_card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_card.get()));
    if (deleted < 0) {
        notesPane()->field()->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("new"));
        QTest::keyClick(m_card->windowHandle(), Qt::Key_Return);
        QCOMPARE(m_model->notes().size(), notes + 1);
    } else {
        notesPane()->rows().at(deleted)->deleteButton()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(m_card->windowHandle(), Qt::Key_Space);
        QCOMPARE(m_model->notes().size(), notes - 1);
    }
    QWidget *expected = focusedRow < 0 ? static_cast<QWidget *>(notesPane()->field())
                                       : notesPane()->rows().at(focusedRow)->checkMark();
    QCOMPARE(QApplication::focusWidget(), expected);
    // Where the keyboard shows its ring, it goes on showing it.
    if (const auto *button = qobject_cast<KeyboardButton *>(expected))
        QVERIFY(button->showsFocusRing());
}

QTEST_MAIN(TestWidgetView)
#include "tst_widgetview.moc"
