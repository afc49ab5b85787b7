#include "preferences/PreferencesWindow.h"

#include "appearance/ContinuousCorners.h"
#include "appearance/FocusRing.h"
#include "appearance/Material.h"
#include "appearance/Theme.h"
#include "appearance/ThinScrollBar.h"
#include "core/ClockText.h"
#include "core/LoginItemService.h"
#include "core/SettingsStore.h"
#include "preferences/CloseButton.h"
#include "preferences/FormGroup.h"
#include "preferences/SwatchButton.h"
#include "preferences/SwatchRow.h"
#include "preferences/SwitchControl.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr qreal kWindowRadius = 10;
// The middle of the close button, where the small round button of other title bars sits.
constexpr int kCloseButtonCentre = 15;
constexpr int kRowHeight = 26;
// Where the form starts below the close button, and the scroll bar over its right margin.
constexpr int kFormTop = 28;
constexpr int kBarWidth = 6;
constexpr int kBarInset = 7;

// Text sizes are in device-independent pixels; Qt's points are 1/72 inch at the logical resolution.
QFont sizedFont(const QWidget *widget, qreal pixels, QFont::Weight weight)
{
    QFont font = widget->font();
    font.setPointSizeF(pixels * 72.0 / widget->logicalDpiY());
    font.setWeight(weight);
    return font;
}

} // namespace

PreferencesWindow::PreferencesWindow(SettingsStore &settings, LoginItemService &loginItems, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_settings(settings)
    , m_loginItems(loginItems)
    , m_closeButton(new CloseButton(this))
{
    // Needs the alpha channel from the start: it cannot be added once the window exists.
    setAttribute(Qt::WA_TranslucentBackground);
    // Hidden on the window itself, but a taskbar or window switcher names it.
    setWindowTitle(tr("Orvanta Preferences"));
    setFixedSize(kSize);

    m_closeButton->move(kCloseButtonCentre - CloseButton::kSide / 2, kCloseButtonCentre - CloseButton::kSide / 2);
    connect(m_closeButton, &QAbstractButton::clicked, this, &QWidget::close);

    buildForm();
    // The application's own shortcuts (preferences, quit) are added by its owner.
    connect(new QShortcut(QKeySequence::Close, this), &QShortcut::activated, this, &QWidget::close);
    // As every dialog of the desktop.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    // Without an icon of the application's own, the icon theme's icon of the program's id.
    if (QApplication::windowIcon().isNull())
        setWindowIcon(QIcon::fromTheme(QGuiApplication::desktopFileName()));
    m_settings.watch(Keys::theme, this, &PreferencesWindow::showLook);
    m_settings.watch(Keys::accent, this, &PreferencesWindow::showLook);
    m_settings.watch(Keys::highContrast, this, &PreferencesWindow::showLook);
    refresh();
}

void PreferencesWindow::buildForm()
{
    // Below the close button the sections scroll: they are taller than the window, which keeps
    // its size. Tab brings every control into view; the thin bar over the right margin (not
    // Qt's own, which would narrow the sections) shows where the view is.
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, kFormTop, 0, 0);
    m_scroller = new QScrollArea;
    m_scroller->setFrameShape(QFrame::NoFrame);
    m_scroller->setWidgetResizable(true);
    m_scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroller->viewport()->setAutoFillBackground(false);
    window->addWidget(m_scroller);
    auto *form = new QWidget;
    auto *layout = new QVBoxLayout(form);
    layout->setContentsMargins(20, 0, 20, 12);
    layout->setSpacing(0);
    m_form = layout;

    const auto addSwitch
        = [this](FormGroup *group, const QString &label, const SettingKey<bool> &key, std::function<bool()> read = {}) {
              auto *control = new SwitchControl;
              if (!read)
                  read = [this, key] { return m_settings.value(key); };
              bindSwitch(key, control, std::move(read));
              group->addRow(makeSwitchRow(label, control));
          };
    auto *appearance = new FormGroup;
    appearance->addRow(makeSwatchRow());
    addSwitch(appearance, tr("High contrast"), Keys::highContrast);
    addSection(tr("Appearance"), appearance);

    auto *clock = new FormGroup;
    // Never set, the clock writes the time as the locale does, and the switch says so.
    addSwitch(clock, tr("24-hour clock"), Keys::h24, [this] { return ClockText::uses24Hours(m_settings); });
    addSwitch(clock, tr("Show seconds"), Keys::showSeconds);
    addSwitch(clock, tr("Show date"), Keys::showDate);
    addSwitch(clock, tr("Start with drawer open"), Keys::startOpen);
    addSection(tr("Clock"), clock);

    auto *general = new FormGroup;
    addSwitch(general, tr("Timer sound"), Keys::sound);
    m_launchAtLogin = new SwitchControl;
    general->addRow(makeSwitchRow(tr("Launch at login"), m_launchAtLogin));
    // The service keeps the state: show what it says, whether or not the change went through.
    connect(m_launchAtLogin, &QAbstractButton::clicked, this, [this](bool on) {
        m_loginItems.setEnabled(on);
        m_launchAtLogin->setChecked(m_loginItems.isEnabled());
    });
    addSection(tr("General"), general);

    auto *card = new FormGroup;
    addSwitch(card, tr("Notify when a countdown ends"), Keys::notifyCountdownEnd);
    addSwitch(card, tr("Stay on top"), Keys::stayOnTop);
    addSwitch(card, tr("Remember position"), Keys::rememberPosition);
    addSection(tr("Countdown and card"), card);

    layout->addStretch();
    m_scroller->setWidget(form);
    // The window paints the background; the area would fill its content with another.
    form->setAutoFillBackground(false);

    m_bar = new ThinScrollBar(this);
    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->setAccessibleName(tr("Scroll preferences"));
    QScrollBar *inner = m_scroller->verticalScrollBar();
    connect(inner, &QScrollBar::rangeChanged, this, [this](int minimum, int maximum) {
        m_bar->setRange(minimum, maximum);
        m_bar->setPageStep(m_scroller->viewport()->height());
        m_bar->setVisible(maximum > minimum);
    });
    connect(inner, &QScrollBar::valueChanged, m_bar, &QScrollBar::setValue);
    connect(m_bar, &QScrollBar::valueChanged, inner, &QScrollBar::setValue);
    m_bar->setGeometry(width() - kBarInset - kBarWidth, kFormTop, kBarWidth, height() - kFormTop - kBarInset);
    m_bar->hide();
}

void PreferencesWindow::addSection(const QString &title, FormGroup *group)
{
    QVBoxLayout *layout = m_form;
    if (!m_groups.isEmpty())
        layout->addSpacing(12);
    auto *label = new QLabel(title);
    label->setFont(sizedFont(this, 13, QFont::Bold));
    label->setContentsMargins(FormGroup::kRowInset - 2, 0, 0, 0);
    layout->addWidget(label);
    layout->addSpacing(5);
    layout->addWidget(group);
    m_groups.append(group);
}

QWidget *PreferencesWindow::makeSwatchRow()
{
    auto *row = new QWidget;
    auto *column = new QVBoxLayout(row);
    column->setContentsMargins(FormGroup::kRowInset, 8, FormGroup::kRowInset, 6);
    column->setSpacing(12);

    const QString title = tr("Timer colour");
    auto *heading = new QLabel(title);
    heading->setFont(sizedFont(this, 13, QFont::DemiBold));
    column->addWidget(heading);

    auto *group = new SwatchRow(title, row);
    auto *swatches = new QHBoxLayout(group);
    swatches->setContentsMargins(0, 0, 0, 0);
    swatches->setSpacing(16);
    for (const Swatch &swatch : Swatch::all()) {
        auto *button = new SwatchButton(swatch);
        connect(button, &QAbstractButton::clicked, this, [this, swatch] { swatch.apply(m_settings); });
        swatches->addWidget(button, 0, Qt::AlignVCenter);
        m_swatchButtons.append(button);
    }
    swatches->addStretch();
    column->addWidget(group);
    return row;
}

QWidget *PreferencesWindow::makeSwitchRow(const QString &label, SwitchControl *control)
{
    auto *row = new QWidget;
    row->setFixedHeight(kRowHeight);
    auto *line = new QHBoxLayout(row);
    line->setContentsMargins(FormGroup::kRowInset, 0, FormGroup::kRowInset - 4, 0);
    auto *text = new QLabel(label);
    text->setFont(sizedFont(this, 13, QFont::Normal));
    line->addWidget(text);
    line->addStretch();
    line->addWidget(control);
    control->setAccessibleName(label);
    return row;
}

void PreferencesWindow::bindSwitch(const SettingKey<bool> &key, SwitchControl *control, std::function<bool()> read)
{
    m_switches.append({key, control, std::move(read)});
    connect(control, &QAbstractButton::clicked, this, [this, key](bool on) { m_settings.setValue(key, on); });
    m_settings.watch(key, control, &SwitchControl::setChecked);
}

QAccessibleInterface *PreferencesWindow::accessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("PreferencesWindow"))
        return new QAccessibleWidget(static_cast<PreferencesWindow *>(object), QAccessible::Dialog);
    return nullptr;
}

SwitchControl *PreferencesWindow::switchFor(const QString &key) const
{
    for (const BoundSwitch &bound : m_switches) {
        if (QLatin1String(bound.key.name) == key)
            return bound.control;
    }
    return nullptr;
}

Palette PreferencesWindow::currentPalette() const
{
    return resolvePalette(m_settings.value(Keys::theme), m_settings.value(Keys::accent), m_systemDark, Theme::Dark,
                          m_settings.value(Keys::highContrast) || m_desktopHighContrast);
}

void PreferencesWindow::setSystemDark(bool dark)
{
    m_systemDark = dark;
    applyColors(currentPalette());
}

void PreferencesWindow::setDesktopHighContrast(bool high)
{
    m_desktopHighContrast = high;
    applyColors(currentPalette());
}

void PreferencesWindow::setTranslucencyAvailable(bool available)
{
    m_translucencyAvailable = available;
    // Composited, the window is cut to its rounded outline so that a compositor's shadow
    // follows the corners; without a compositor it is drawn square.
    if (available)
        setMask(continuousRoundedRegion(rect(), kWindowRadius));
    else
        clearMask();
    update();
}

void PreferencesWindow::refresh()
{
    for (const BoundSwitch &bound : m_switches)
        bound.control->setChecked(bound.read());
    m_launchAtLogin->setChecked(m_loginItems.isEnabled());
    showLook();
}

void PreferencesWindow::showLook()
{
    const QString themeRaw = m_settings.value(Keys::theme);
    const QString accentRaw = m_settings.value(Keys::accent);
    for (SwatchButton *button : std::as_const(m_swatchButtons))
        button->setSelected(button->swatch().matches(themeRaw, accentRaw));

    applyColors(currentPalette());
}

void PreferencesWindow::applyColors(const Palette &palette)
{
    QPalette text = this->palette();
    text.setColor(QPalette::WindowText, palette.digits);
    text.setColor(kFocusRole, palette.focus);
    setPalette(text);
    for (FormGroup *group : std::as_const(m_groups))
        group->setColors(palette.field, palette.border);
    for (const BoundSwitch &bound : std::as_const(m_switches))
        bound.control->setColors(palette);
    m_launchAtLogin->setColors(palette);
    m_closeButton->setColors(palette);
    for (SwatchButton *button : std::as_const(m_swatchButtons))
        button->setColors(palette);
    m_bar->setHandleColor(palette.secondary);
    update();
}

void PreferencesWindow::present(const QRect &area)
{
    if (!area.isEmpty()) {
        QRect frame({}, size());
        frame.moveCenter(area.center());
        move(frame.topLeft());
    }
    // Coming to the front, the keyboard starts on the chosen colour, so that Space or Return
    // there changes nothing; already in front, it stays where the user left it.
    m_focusSelectedSwatch = !isActiveWindow();
    show();
    raise();
    activateWindow();
}

SwatchButton *PreferencesWindow::selectedSwatch() const
{
    for (SwatchButton *button : m_swatchButtons) {
        if (button->isSelected())
            return button;
    }
    return m_swatchButtons.value(0);
}

void PreferencesWindow::focusSelectedSwatch()
{
    m_focusSelectedSwatch = false;
    SwatchButton *swatch = selectedSwatch();
    if (!swatch)
        return;
    // Focused as Tab focuses, so that its ring shows; a window coming to the front gives the
    // focus back without a ring, and a widget that has it already is not told again.
    if (swatch->hasFocus())
        swatch->clearFocus();
    swatch->setFocus(Qt::TabFocusReason);
}

void PreferencesWindow::showEvent(QShowEvent *event)
{
    // The login item can change behind the program's back; ask again whenever the window comes up.
    refresh();
    QWidget::showEvent(event);
}

void PreferencesWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && m_focusSelectedSwatch && isActiveWindow())
        focusSelectedSwatch();
    QWidget::changeEvent(event);
}

void PreferencesWindow::paintEvent(QPaintEvent *)
{
    const Palette palette = currentPalette();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // Without a compositor the corners could not be transparent, so the window stays square.
    const QRectF bounds = rect();
    QPainterPath shape;
    if (m_translucencyAvailable)
        shape = continuousRoundedRect(bounds, kWindowRadius);
    else
        shape.addRect(bounds);

    if (palette.isGlass)
        paintMaterial(painter, shape, Material::SmokedGlass, m_translucencyAvailable);
    else
        painter.fillPath(shape, palette.surface);

    // A frameless window gets no edge from the window manager: draw a hairline of our own.
    const QRectF edge = bounds.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(palette.border, 1));
    painter.setBrush(Qt::NoBrush);
    if (m_translucencyAvailable)
        painter.drawPath(continuousRoundedRect(edge, kWindowRadius - 0.5));
    else
        painter.drawRect(edge);
}

void PreferencesWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    // WORKAROUND: window managers without _NET_WM_MOVERESIZE support (and Qt's offscreen
    // platform) refuse a system move; the window then follows the pointer itself.
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void PreferencesWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragOffset) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    move(event->globalPosition().toPoint() - *m_dragOffset);
}

void PreferencesWindow::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}
