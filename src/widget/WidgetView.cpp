#include "widget/WidgetView.h"

#include "appearance/ContinuousCorners.h"
#include "appearance/FocusRing.h"
#include "appearance/Fonts.h"
#include "appearance/Material.h"
#include "appearance/ScaledButton.h"
#include "appearance/Theme.h"
#include "core/AppModel.h"
#include "core/CardMetrics.h"
#include "core/CardRules.h"
#include "core/SaveThrottle.h"
#include "core/Scheduler.h"
#include "core/SettingsStore.h"
#include "widget/ClockFace.h"
#include "widget/DrawerContainer.h"
#include "widget/FieldFrame.h"
#include "widget/GripRow.h"
#include "widget/NotesPane.h"
#include "widget/ResizeEdge.h"
#include "widget/RoundButton.h"
#include "widget/SetAsideLine.h"
#include "widget/SymbolButton.h"
#include "widget/TimerPane.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <cmath>

WidgetView::WidgetView(AppModel &model, SettingsStore &settings, Scheduler &scheduler, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_settings(settings)
    , m_scheduler(scheduler)
    , m_face(new ClockFace(model, settings, CardRules::cardScale(cardWidth()), this))
    , m_drawer(new DrawerContainer(model, CardRules::cardScale(cardWidth()), this))
    , m_grip(new GripRow(this))
    , m_edge(new ResizeEdge(this))
    , m_widthSaves(new SaveThrottle(settings, scheduler, this))
    , m_saveWarning(new QLabel(tr("Notes can't be saved"), this))
    , m_setAsideLine(new SetAsideLine(settings, this))
    , m_saveProblemAction(new QAction(this))
    , m_saveProblemSeparator(new QAction(this))
    , m_drawerWasOpen(model.drawerOpen())
{
    setAttribute(Qt::WA_TranslucentBackground);
    m_settings.watch(Keys::theme, this, &WidgetView::applyPalette);
    m_settings.watch(Keys::accent, this, &WidgetView::applyPalette);
    m_settings.watch(Keys::highContrast, this, &WidgetView::applyPalette);
    m_settings.watch(Keys::cardWidth, this, &WidgetView::applyWidth);
    connect(&m_model, &AppModel::drawerOpenChanged, this, &WidgetView::onDrawerOpenChanged);
    connect(&m_model, &AppModel::flashingChanged, this, qOverload<>(&WidgetView::update));
    connect(m_face, &ClockFace::heightChanged, this, &WidgetView::relayout);
    connect(m_drawer, &DrawerContainer::drawerHeightChanged, this, &WidgetView::relayout);
    connect(m_grip, &GripRow::dragged, this, &WidgetView::onGripDragged);
    connect(m_grip, &GripRow::released, this, &WidgetView::onGripReleased);
    connect(m_edge, &ResizeEdge::dragged, this, &WidgetView::onEdgeDragged);
    connect(m_edge, &ResizeEdge::released, m_widthSaves, &SaveThrottle::finish);
    // Space or Return on the focused grip, or a reader's press, opens or closes the drawer.
    connect(m_grip, &GripRow::clicked, this, [this] { m_model.setDrawerOpen(!m_model.drawerOpen()); });
    connect(m_drawer->notesPane(), &NotesPane::focusOrphaned, this, &WidgetView::moveFocus);
    connect(m_face, &ClockFace::focusOrphaned, this, [this] { moveFocus(m_grip); });
    m_grip->setExpanded(m_model.drawerOpen());
    orderTabs();

    m_saveWarning->setAlignment(Qt::AlignCenter);
    m_saveWarning->setAccessibleName(m_saveWarning->text());
    m_saveWarning->hide();
    m_saveProblemAction->setEnabled(false);
    m_saveProblemSeparator->setSeparator(true);
    connect(&m_settings, &SettingsStore::saveProblemChanged, this, &WidgetView::onSaveProblemChanged);
    connect(m_setAsideLine, &SetAsideLine::wantedChanged, this, &WidgetView::relayout);

    applyPalette();
    applyWidth();
    onSaveProblemChanged();
}

// Reading order, but the grip comes before the drawer it opens.
void WidgetView::orderTabs()
{
    TimerPane *timer = m_drawer->timerPane();
    const QList<QWidget *> order{m_face->pauseButton(),
                                 m_face->cancelButton(),
                                 m_grip,
                                 timer->field(),
                                 timer->startButton(),
                                 timer->cancelButton(),
                                 m_drawer->notesPane()->field(),
                                 m_setAsideLine->dismissButton()};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
}

void WidgetView::moveFocus(QWidget *target)
{
    // The ring stays with the keyboard once it shows, and stays away after a click.
    QWidget *from = focusWidget();
    const auto *button = qobject_cast<KeyboardButton *>(from);
    const auto *field = from ? qobject_cast<FieldFrame *>(from->parentWidget()) : nullptr;
    const bool ring = (button && button->showsFocusRing()) || (field && field->showsFocusRing());
    target->setFocus(ring ? Qt::TabFocusReason : Qt::OtherFocusReason);
}

void WidgetView::setMenuActions(const QList<QAction *> &actions)
{
    m_menuActions = actions;
    // Added to the card as well, so their shortcuts work while it has the keyboard.
    addActions(actions);
}

QList<QAction *> WidgetView::contextMenuActions() const
{
    if (m_settings.saveProblem().isEmpty())
        return m_menuActions;
    return QList<QAction *>{m_saveProblemAction, m_saveProblemSeparator} + m_menuActions;
}

const Palette &WidgetView::cardPalette() const
{
    return m_colors;
}

QRegion WidgetView::outline() const
{
    return continuousRoundedRegion(rect(), CardRules::cornerRadius(cardWidth()));
}

double WidgetView::cardWidth() const
{
    return CardRules::usableWidth(m_settings.value(Keys::cardWidth));
}

int WidgetView::drawerHeight() const
{
    return m_drawer->drawerHeight();
}

int WidgetView::reveal() const
{
    if (m_dragReveal)
        return *m_dragReveal;
    return m_model.drawerOpen() ? drawerHeight() : 0;
}

void WidgetView::setHeightLimit(int limit)
{
    if (limit == m_heightLimit)
        return;
    m_heightLimit = limit;
    relayout();
}

void WidgetView::setSystemDark(bool dark)
{
    if (dark == m_systemDark)
        return;
    m_systemDark = dark;
    applyPalette();
}

void WidgetView::setDesktopHighContrast(bool high)
{
    if (high == m_desktopHighContrast)
        return;
    m_desktopHighContrast = high;
    applyPalette();
}

void WidgetView::setTranslucencyAvailable(bool available)
{
    m_translucent = available;
    update();
}

void WidgetView::applyPalette()
{
    // Resolved here, on a change, rather than at every repaint of the seconds.
    m_colors = resolvePalette(m_settings.value(Keys::theme), m_settings.value(Keys::accent), m_systemDark,
                              Theme::System, m_settings.value(Keys::highContrast) || m_desktopHighContrast);
    const Palette &colors = m_colors;
    // Text fields and other stock controls inside the card follow the theme, not the desktop.
    QPalette stock = palette();
    QColor clear(Qt::transparent);
    stock.setColor(QPalette::Window, colors.surface);
    stock.setColor(QPalette::Base, clear);
    stock.setColor(QPalette::WindowText, colors.digits);
    stock.setColor(QPalette::Text, colors.digits);
    stock.setColor(QPalette::ButtonText, colors.digits);
    stock.setColor(QPalette::PlaceholderText, colors.secondary);
    stock.setColor(QPalette::Highlight, colors.accent);
    stock.setColor(QPalette::HighlightedText, colors.isGlass ? QColor(Qt::black) : colors.surface);
    stock.setColor(kFocusRole, colors.focus);
    QColor disabled = colors.digits;
    disabled.setAlphaF(0.35f);
    stock.setColor(QPalette::Disabled, QPalette::Text, disabled);
    stock.setColor(QPalette::Disabled, QPalette::PlaceholderText, disabled);
    setPalette(stock);

    m_face->setCardPalette(colors);
    m_drawer->setCardPalette(colors);
    m_grip->setPillColor(colors.secondary);
    // The accent stands out from the surface in every theme (the countdown is drawn in it).
    QPalette warning = stock;
    warning.setColor(QPalette::WindowText, colors.accent);
    m_saveWarning->setPalette(warning);
    m_setAsideLine->setLook(CardRules::cardScale(cardWidth()), colors);
    update();
}

void WidgetView::applyWidth()
{
    const qreal scale = CardRules::cardScale(cardWidth());
    m_face->setScale(scale);
    m_drawer->setScale(scale);
    m_grip->setScale(scale);
    m_saveWarning->setFont(systemFont(CardMetrics::scaled(CardMetrics::kWarningText, scale)));
    m_setAsideLine->setLook(scale, cardPalette());
    relayout();
}

void WidgetView::relayout()
{
    const int width = qRound(cardWidth());
    const int faceHeight = m_face->faceHeight();
    const int gripHeight = int(CardRules::kGripRowHeight);
    const int row = CardMetrics::scaledPixels(CardMetrics::kWarningRow, CardRules::cardScale(cardWidth()));
    const int asideHeight = m_setAsideLine->wanted() ? 2 * row : 0;
    const int warningHeight = m_settings.saveProblem().isEmpty() ? 0 : row;
    m_drawer->setCardWidth(width, m_heightLimit - faceHeight - asideHeight - warningHeight - gripHeight);
    const int revealed = reveal();
    m_face->setGeometry(0, 0, width, faceHeight);
    m_drawer->setGeometry(0, faceHeight, width, revealed);
    // Closed, the drawer's controls are out of Tab's and assistive technology's way. The
    // keyboard leaves it first, for the card's first control.
    if (revealed == 0 && m_drawer->isAncestorOf(focusWidget())) {
        RoundButton *cancel = m_face->cancelButton();
        moveFocus(cancel->isVisibleTo(this) ? static_cast<QWidget *>(cancel) : m_grip);
    }
    m_drawer->setVisible(revealed > 0);
    // Dismissed with the keyboard: the keyboard goes on to the grip below.
    if (asideHeight == 0 && m_setAsideLine->isAncestorOf(focusWidget()))
        moveFocus(m_grip);
    m_setAsideLine->setVisible(asideHeight > 0);
    m_setAsideLine->setGeometry(0, faceHeight + revealed, width, asideHeight);
    m_saveWarning->setGeometry(0, faceHeight + revealed + asideHeight, width, warningHeight);
    const int gripTop = faceHeight + revealed + asideHeight + warningHeight;
    m_grip->setGeometry(0, gripTop, width, gripHeight);
    const QSize size(width, gripTop + gripHeight);
    m_edge->setGeometry(0, 0, int(CardRules::kResizeEdgeWidth), size.height());
    m_edge->raise();
    setFixedSize(size);
    if (size != m_reported) {
        m_reported = size;
        emit sizeChanged(size);
    }
    update();
}

void WidgetView::onDrawerOpenChanged()
{
    const bool open = m_model.drawerOpen();
    if (open && !m_drawerWasOpen) {
        emit activateRequested();
        m_scheduler.after(kFocusDelay, this, [this] { m_drawer->timerPane()->takeKeyboard(); });
    }
    m_drawerWasOpen = open;
    m_grip->setExpanded(open);
    relayout();
}

void WidgetView::onGripDragged(qreal translation)
{
    m_dragReveal = qRound(CardRules::dragReveal(m_model.drawerOpen(), drawerHeight(), translation));
    relayout();
}

void WidgetView::onGripReleased(qreal translation)
{
    const bool open = CardRules::releaseOpens(m_model.drawerOpen(), drawerHeight(), translation);
    m_dragReveal.reset();
    m_model.setDrawerOpen(open);
}

void WidgetView::onEdgeDragged(qreal delta)
{
    // The card follows at once; the file is written a few times a second and at the release.
    m_settings.setValue(Keys::cardWidth, CardRules::resizedWidth(cardWidth(), delta), SettingsStore::Save::Later);
    m_widthSaves->changed();
}

void WidgetView::onSaveProblemChanged()
{
    const QString problem = m_settings.saveProblem();
    m_saveWarning->setVisible(!problem.isEmpty());
    m_saveWarning->setToolTip(problem);
    m_saveWarning->setAccessibleDescription(problem);
    // A menu entry reads '&' as the mark of its shortcut key.
    m_saveProblemAction->setText(QString(problem).replace(u'&', QStringLiteral("&&")));
    relayout();
}

void WidgetView::mousePressEvent(QMouseEvent *event)
{
    // Empty parts of the card move the window; the grip and the edge keep their presses.
    if (event->button() == Qt::LeftButton && window()->windowHandle() && window()->windowHandle()->startSystemMove())
        emit moveStarted();
}

void WidgetView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && m_model.drawerOpen()) {
        m_model.setDrawerOpen(false);
        return;
    }
    QWidget::keyPressEvent(event);
}

void WidgetView::contextMenuEvent(QContextMenuEvent *event)
{
    const QList<QAction *> actions = contextMenuActions();
    if (actions.isEmpty())
        return;
    // Made on the first right click: the menu's code stays out of memory until someone asks.
    if (!m_menu)
        m_menu = new QMenu(this);
    m_menu->clear();
    m_menu->addActions(actions);
    m_menu->exec(event->globalPos());
}

void WidgetView::paintEvent(QPaintEvent *event)
{
    const Palette &colors = m_colors;
    const bool flashing = m_model.flashing();
    const qreal stroke = flashing ? 2 : 1;
    const qreal radius = CardRules::cornerRadius(cardWidth());
    QPainter painter(this);

    // A repaint that touches neither the corners nor the border (the digits of a
    // tick) is a plain rectangle fill, far cheaper than the rounded outline; the glass
    // tint covers the inside as evenly as a flat surface does.
    const QRectF dirty = event->rect();
    if (continuousRoundedRectCovers(QRectF(rect()), radius, stroke, dirty)) {
        painter.fillRect(dirty, colors.isGlass ? materialTint(Material::SmokedGlass, m_translucent) : colors.surface);
        return;
    }

    painter.setRenderHint(QPainter::Antialiasing);
    // Without a compositor a clear pixel shows black: the corners are painted too, and the
    // window's shape cuts them off.
    const QPainterPath outline = continuousRoundedRect(QRectF(rect()), radius);
    QPainterPath square;
    square.addRect(rect());
    const QPainterPath &shape = m_translucent ? outline : square;
    if (colors.isGlass)
        paintMaterial(painter, shape, Material::SmokedGlass, m_translucent);
    else
        painter.fillPath(shape, colors.surface);

    // The border lies wholly inside the outline: the ring between it and the outline drawn
    // its width further in. Filled, not stroked: Qt's stroker for a pen wider than a pixel
    // (the flash's) reads libm tables that then stay resident.
    QPainterPath border = outline;
    border.addPath(continuousRoundedRect(QRectF(rect()).adjusted(stroke, stroke, -stroke, -stroke), radius - stroke));
    border.setFillRule(Qt::OddEvenFill);
    painter.fillPath(border, flashing ? colors.accent : colors.border);
}
