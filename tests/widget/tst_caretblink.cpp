#include "core/AppModel.h"
#include "core/SettingsStore.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeScheduler.h"
#include "fakes/FakeSoundPlayer.h"
#include "widget/CaretBlink.h"
#include "widget/DrawerContainer.h"
#include "widget/FieldCaret.h"
#include "widget/NotesPane.h"
#include "widget/TimerPane.h"
#include "widget/WidgetView.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Whether the line edit, or anything of its own, has a timer running: the caret's blink
// is one.
bool hasTimer(QLineEdit *field)
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher->registeredTimers(field).isEmpty())
        return true;
    const QList<QObject *> parts = field->findChildren<QObject *>();
    return std::any_of(parts.cbegin(), parts.cend(),
                       [dispatcher](QObject *part) { return !dispatcher->registeredTimers(part).isEmpty(); });
}

} // namespace

class TestCaretBlink : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void blinks_data();
    void blinks();
    void desktopFlashTimeComesBack();

private:
    void makeCard();
    QLineEdit *timerField() const { return m_card->drawer()->timerPane()->field(); }
    QLineEdit *notesField() const { return m_card->drawer()->notesPane()->field(); }

    int m_desktopFlashTime = 0;
    FakeClock m_clock;
    // The card's own delayed calls, apart from the caret's, so each is moved on its own.
    std::unique_ptr<FakeScheduler> m_cardScheduler;
    std::unique_ptr<FakeScheduler> m_caretScheduler;
    FakeSoundPlayer m_sound;
    // The cache folder of the whole run.
    QTemporaryDir m_cache;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<AppModel> m_model;
    std::unique_ptr<WidgetView> m_card;
    std::unique_ptr<CaretBlink> m_caret;
};

void TestCaretBlink::initTestCase()
{
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
    m_desktopFlashTime = QGuiApplication::styleHints()->cursorFlashTime();
    QVERIFY(m_desktopFlashTime > 0);
}

void TestCaretBlink::init()
{
    m_clock.set(1'765'000'000.0);
    m_cardScheduler = std::make_unique<FakeScheduler>(m_clock);
    m_caretScheduler = std::make_unique<FakeScheduler>(m_clock);
    m_dir = std::make_unique<QTemporaryDir>();
    m_store = std::make_unique<SettingsStore>(m_dir->path());
}

void TestCaretBlink::cleanup()
{
    m_caret.reset();
    m_card.reset();
    m_model.reset();
    m_store.reset();
    m_dir.reset();
}

void TestCaretBlink::makeCard()
{
    m_model = std::make_unique<AppModel>(AppModel::Services{m_clock, *m_cardScheduler, m_sound, *m_store});
    m_card = std::make_unique<WidgetView>(*m_model, *m_store, *m_cardScheduler);
    m_caret = std::make_unique<CaretBlink>(*m_caretScheduler);
    m_caret->watch(timerField());
    m_caret->watch(notesField());
    m_card->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_card.get()));
    m_card->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_card.get()));
}

void TestCaretBlink::blinks_data()
{
    // Each step is "action=state": after the action the focused field's caret blinks (and is
    // in its lit or dark half: "on", "off"), is still (shown, nothing scheduled), or no field
    // has the keyboard ("none").
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("focus blinks") << QStringList{"focus notes=blink"};
    QTest::newRow("stops after ten seconds") << QStringList{"focus notes=blink", "wait 9.9=blink", "wait 0.2=still"};
    QTest::newRow("a key wakes it for ten more")
        << QStringList{"focus notes=blink", "wait 12=still", "type=blink", "wait 9.9=blink", "wait 0.2=still"};
    QTest::newRow("typing keeps it awake")
        << QStringList{"focus timer=blink", "wait 8=blink",   "type=blink",    "wait 8=blink",
                       "type=blink",        "wait 9.9=blink", "wait 0.2=still"};
    QTest::newRow("a click wakes it") << QStringList{"focus notes=blink", "wait 11=still", "click=blink",
                                                     "wait 10.1=still"};
    QTest::newRow("closed drawer") << QStringList{"focus notes=blink", "close=none", "wait 11=none"};
    QTest::newRow("closed then opened within the time")
        << QStringList{"focus timer=blink", "close=none", "open=blink", "wait 10.1=still"};
    QTest::newRow("another field") << QStringList{"focus notes=blink", "wait 11=still", "focus timer=blink"};
    QTest::newRow("countdown started with Return")
        << QStringList{"focus timer=blink", "type=blink", "return=none", "wait 11=none", "open=blink"};
    QTest::newRow("window left") << QStringList{"focus notes=blink", "deactivate=none"};
    QTest::newRow("halves of the flash time")
        << QStringList{"focus timer=on", "wait 0.49=on", "wait 0.02=off", "wait 0.5=on", "wait 0.5=off"};
    QTest::newRow("a key lights it and starts the halves over")
        << QStringList{"focus notes=on", "wait 0.7=off", "type=on", "wait 0.49=on", "wait 0.02=off"};
    QTest::newRow("still is lit") << QStringList{"focus notes=on", "wait 10.6=still"};
}

void TestCaretBlink::blinks()
{
    QFETCH(QStringList, steps);
    makeCard();
    QVERIFY(m_model->drawerOpen());
    for (const QString &step : std::as_const(steps)) {
        const QString action = step.section(u'=', 0, 0);
        const QString state = step.section(u'=', 1);
        if (action == QLatin1String("focus notes")) {
            notesField()->setFocus(Qt::MouseFocusReason);
        } else if (action == QLatin1String("focus timer")) {
            timerField()->setFocus(Qt::TabFocusReason);
        } else if (action.startsWith(QLatin1String("wait "))) {
            m_caretScheduler->advanceBy(action.mid(5).toDouble());
        } else if (action == QLatin1String("type")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_5);
        } else if (action == QLatin1String("click")) {
            QTest::mouseClick(QApplication::focusWidget(), Qt::LeftButton);
        } else if (action == QLatin1String("return")) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY2(m_model->isRunning(), qPrintable(step));
        } else if (action == QLatin1String("close")) {
            m_model->setDrawerOpen(false);
        } else if (action == QLatin1String("open")) {
            m_model->setDrawerOpen(true);
            m_cardScheduler->advanceBy(1);
        } else if (action == QLatin1String("deactivate")) {
            auto *other = new QWidget;
            other->setAttribute(Qt::WA_DeleteOnClose);
            other->show();
            other->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(other));
            other->close();
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }

        QLineEdit *focused = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        const bool visibleField = focused && focused->isVisible();
        QVERIFY2(visibleField == (state != QLatin1String("none")), qPrintable(step));
        const bool lit = state == QLatin1String("on");
        const bool dark = state == QLatin1String("off");
        const bool blink = lit || dark || state == QLatin1String("blink");
        QVERIFY2(m_caret->blinking() == blink, qPrintable(step));
        if (focused && (lit || dark || state == QLatin1String("still")))
            QVERIFY2(focused->findChild<FieldCaret *>()->isLit() == !dark, qPrintable(step));
        // The line edits never blink on their own: their caret is drawn by FieldCaret.
        QVERIFY2(QGuiApplication::styleHints()->cursorFlashTime() == 0, qPrintable(step));
        QVERIFY2(!hasTimer(timerField()) && !hasTimer(notesField()), qPrintable(step));
    }
}

// The flash time belongs to the desktop: it is the desktop's again once the card has gone.
void TestCaretBlink::desktopFlashTimeComesBack()
{
    makeCard();
    QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), 0);
    m_caret.reset();
    QCOMPARE(QGuiApplication::styleHints()->cursorFlashTime(), m_desktopFlashTime);
}

QTEST_MAIN(TestCaretBlink)
#include "tst_caretblink.moc"
