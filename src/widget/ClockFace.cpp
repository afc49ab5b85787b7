#include "widget/ClockFace.h"

#include "appearance/Fonts.h"
#include "core/AppModel.h"
#include "core/CardMetrics.h"
#include "core/CardRules.h"
#include "core/ClockText.h"
#include "core/LongDateFormatter.h"
#include "core/SettingsStore.h"
#include "widget/RoundButton.h"

#include <QAccessible>
#include <QDateTime>
#include <QFontMetricsF>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace CardMetrics;

namespace {

constexpr qreal kLineSpacing = 2; // between the digits and the date; not scaled
// Antialiased glyphs reach a little past their cells.
constexpr qreal kBleed = 2;
// Between the pause and the cancel buttons; not scaled, as they are not.
constexpr int kButtonGap = 6;

// What a reader hears changes with the local minute (seconds are not read out), or while
// counting down with the second shown.
qint64 spokenKey(bool running, qint64 shownSecond, const QDateTime &local)
{
    if (running)
        return shownSecond;
    return local.date().toJulianDay() * 24 * 60 + local.time().hour() * 60 + local.time().minute();
}

} // namespace

ClockFace::ClockFace(AppModel &model, const SettingsStore &settings, qreal scale, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_settings(settings)
    , m_cancel(new RoundButton(Symbol::XMark, tr("Cancel countdown"), this))
    , m_pause(new RoundButton(Symbol::Pause, tr("Pause countdown"), this))
    , m_scale(scale)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    connect(m_cancel, &RoundButton::clicked, this, [this] { m_model.cancelCountdown(); });
    connect(m_pause, &RoundButton::clicked, this, [this] { m_model.togglePause(); });
    // Reading order: the pause button stands left of the cancel button.
    setTabOrder(m_pause, m_cancel);
    // A set clock or a new zone can change the local time within one shown second.
    connect(&m_model, &AppModel::timeRefreshed, this, [this] { m_shownSecond = std::numeric_limits<qint64>::min(); });
    connect(&m_model, &AppModel::nowChanged, this, &ClockFace::onTick);
    connect(&m_model, &AppModel::timerEndsAtChanged, this, &ClockFace::onRunningChanged);
    m_running = m_model.isRunning();
    m_cancel->setVisible(m_running);
    m_pause->setVisible(m_running);
    showPauseState();
    for (const auto &key : {Keys::h24, Keys::showSeconds, Keys::showDate})
        m_settings.watch(key, this, &ClockFace::reloadSettings);
    reloadSettings();
}

ClockFace::~ClockFace() = default;

void ClockFace::setScale(qreal scale)
{
    if (scale == m_scale)
        return;
    m_scale = scale;
    updateFonts();
    update();
    emit heightChanged();
}

void ClockFace::setCardPalette(const Palette &palette)
{
    m_palette = palette;
    m_cancel->setColors(palette.digits, palette.field);
    m_pause->setColors(palette.digits, palette.field);
    update();
}

void ClockFace::reloadSettings()
{
    m_h24 = ClockText::uses24Hours(m_settings);
    m_showSeconds = m_settings.value(Keys::showSeconds);
    m_showDate = m_settings.value(Keys::showDate);
    const QDateTime local = m_model.localNow();
    m_shownSecond = shownSecond();
    m_digits = currentDigits(local);
    m_afternoon = ClockText::isAfternoon(local.time());
    // Fonts first: the date is measured in its own font.
    updateFonts();
    refreshDate(local.date());
    update();
    emit heightChanged();
    announceSpokenText(local);
}

void ClockFace::updateFonts()
{
    m_ampmFont = clockBoldFont(scaled(kAmPm, m_scale));
    m_am = ClockText::dayHalf(false);
    m_pm = ClockText::dayHalf(true);
    m_dateFont = systemFont(scaled(kBodyText, m_scale));
    const QFontMetricsF date(m_dateFont);
    // A 24-hour clock shows no AM/PM: its font is not even loaded then.
    Metrics ampm;
    if (!m_h24) {
        const QFontMetricsF metrics(m_ampmFont);
        ampm.ampmHeight = metrics.height();
        ampm.ampmAscent = metrics.ascent();
        ampm.ampmDescent = metrics.descent();
        ampm.ampmWidth = std::max(metrics.horizontalAdvance(m_am), metrics.horizontalAdvance(m_pm));
    }
    const qreal ampmWidth = ampm.ampmWidth;

    // The widest line the face can show keeps the padding on both sides: a two-digit hour
    // (every digit as wide as the font's widest, see TabularText) with the AM/PM column, or
    // the longest countdown. The digits take their full size where that fits and shrink by
    // as much as the line would overrun (again, should hinting leave a pixel over).
    const qreal room = CardRules::kBaseWidth * m_scale - 2 * padding();
    const auto widestLine = [&](const TabularText &digits) {
        qreal time = digits.width(ClockText::timeString(QTime(10, 0, 0), m_h24, m_showSeconds));
        if (!m_h24)
            time += scaled(kAmPmGap, m_scale) + ampmWidth;
        return std::max(time, digits.width(ClockText::countdownString(AppModel::maxCountdown)));
    };
    qreal digitsSize = scaled(kDigits, m_scale);
    m_digitsText = TabularText(clockDigitsFont(digitsSize));
    for (int attempt = 0; attempt < 3; ++attempt) {
        const qreal widest = widestLine(m_digitsText);
        if (widest <= room)
            break;
        digitsSize *= std::min(room / widest, 0.995);
        m_digitsText = TabularText(clockDigitsFont(digitsSize));
    }

    const QFontMetricsF digits(m_digitsText.font());
    m_metrics = {digits.ascent(),  digits.descent(), ampm.ampmHeight, ampm.ampmAscent,
                 ampm.ampmDescent, ampm.ampmWidth,   date.height(),   date.ascent()};
    m_dateWidth = date.horizontalAdvance(m_dateText);
}

qreal ClockFace::padding() const
{
    return scaled(kFacePadding, m_scale);
}

bool ClockFace::ampmShown() const
{
    return !m_h24 && !m_running;
}

// While a countdown runs the date keeps its space but is not drawn.
bool ClockFace::dateShown() const
{
    return m_showDate && !m_running;
}

QString ClockFace::currentDigits(const QDateTime &local) const
{
    if (m_running)
        return ClockText::countdownString(m_model.remaining());
    return ClockText::timeString(local.time(), m_h24, m_showSeconds);
}

// What the face shows changes only when this does. Without seconds too every wake looks at
// the local time: a change of zone moves the local minute, the date and AM/PM while the
// UTC minute stays the same.
qint64 ClockFace::shownSecond() const
{
    if (m_running)
        return qint64(std::ceil(m_model.remaining()));
    return qint64(std::floor(m_model.now()));
}

void ClockFace::refreshDate(const QDate &today)
{
    if (!m_showDate)
        return;
    if (today == m_date)
        return;
    if (!m_dateFormatter)
        m_dateFormatter
            = std::make_unique<LongDateFormatter>(QLocale().name(), LongDateFormatter::defaultCacheFolder());
    m_date = today;
    m_dateText = m_dateFormatter->format(today);
    m_dateWidth = QFontMetricsF(m_dateFont).horizontalAdvance(m_dateText);
}

ClockFace::Line ClockFace::mainLine() const
{
    qreal above = m_metrics.digitsAscent;
    qreal below = m_metrics.digitsDescent;
    if (ampmShown()) {
        // The column's lower label sits on the digits' baseline.
        above = std::max(above, m_metrics.ampmHeight + m_metrics.ampmAscent);
        below = std::max(below, m_metrics.ampmDescent);
    }
    return {above, above + below};
}

qreal ClockFace::mainLineLeft(const QString &digits) const
{
    qreal width = m_digitsText.width(digits);
    if (ampmShown())
        width += scaled(kAmPmGap, m_scale) + m_metrics.ampmWidth;
    return (this->width() - width) / 2;
}

int ClockFace::faceHeight() const
{
    qreal height = 2 * padding() + mainLine().height;
    if (m_showDate)
        height += kLineSpacing + m_metrics.dateHeight;
    return int(std::ceil(height));
}

QRectF ClockFace::digitsRect() const
{
    const qreal left = mainLineLeft(m_digits);
    return {left, padding(), m_digitsText.width(m_digits), mainLine().height};
}

// The column right of the digits: AM above, PM on the digits' baseline.
QRectF ClockFace::ampmRect(bool pm) const
{
    const qreal baseline = padding() + mainLine().ascent;
    const qreal top = baseline - m_metrics.ampmAscent - (pm ? 0 : m_metrics.ampmHeight);
    return {digitsRect().right() + scaled(kAmPmGap, m_scale), top, m_metrics.ampmWidth, m_metrics.ampmHeight};
}

QRectF ClockFace::dateRect() const
{
    const qreal top = padding() + mainLine().height + kLineSpacing;
    return {(width() - m_dateWidth) / 2, top, m_dateWidth, m_metrics.dateHeight};
}

void ClockFace::onTick()
{
    // A wake for a setting that moved nothing shown ends here.
    const qint64 second = shownSecond();
    if (second == m_shownSecond)
        return;
    m_shownSecond = second;
    const QDateTime local = m_model.localNow();
    const QString digits = currentDigits(local);
    if (digits != m_digits) {
        const QRectF before = digitsRect();
        const QString old = m_digits;
        m_digits = digits;
        const QRectF after = digitsRect();
        if (before == after) {
            // Same layout: only the characters from the first to the last change move.
            qsizetype first = 0;
            while (old[first] == digits[first])
                ++first;
            qsizetype last = digits.size() - 1;
            while (old[last] == digits[last])
                --last;
            const qreal x0 = after.left() + m_digitsText.width(QStringView(digits).left(first));
            const qreal x1 = after.left() + m_digitsText.width(QStringView(digits).left(last + 1));
            // Painted now rather than on a posted update: the tick is the only work of this
            // wake, and posting would wake the event loop a second time to do it.
            repaint(QRectF(x0, after.top(), x1 - x0, after.height()).adjusted(-kBleed, 0, kBleed, 0).toAlignedRect());
        } else {
            update(QRectF(0, after.top(), width(), after.height()).adjusted(0, -kBleed, 0, kBleed).toAlignedRect());
        }
    }
    const bool afternoon = ClockText::isAfternoon(local.time());
    const QDate shownDate = m_date;
    refreshDate(local.date());
    if (afternoon != m_afternoon || shownDate != m_date) {
        m_afternoon = afternoon;
        update();
    }
    if (spokenKey(m_running, second, local) != m_spokenKey)
        announceSpokenText(local);
}

QString ClockFace::spokenText() const
{
    if (m_running)
        return ClockText::spokenCountdown(m_model.remaining());
    return ClockText::spokenTime(m_model.localNow().time(), m_h24, m_showDate ? m_dateText : QString());
}

void ClockFace::announceSpokenText(const QDateTime &local)
{
    m_spokenKey = spokenKey(m_running, m_shownSecond, local);
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
    emit spokenTextChanged();
}

void ClockFace::onRunningChanged()
{
    const bool running = m_model.isRunning();
    if (running != m_running) {
        m_running = running;
        if (!running && (window()->focusWidget() == m_cancel || window()->focusWidget() == m_pause))
            emit focusOrphaned();
        m_cancel->setVisible(running);
        m_pause->setVisible(running);
        emit heightChanged();
    }
    showPauseState();
    // The model took the time: with seconds off the last wake may be most of a minute old.
    m_shownSecond = shownSecond();
    const QDateTime local = m_model.localNow();
    m_digits = currentDigits(local);
    m_afternoon = ClockText::isAfternoon(local.time());
    refreshDate(local.date());
    update();
    announceSpokenText(local);
}

void ClockFace::resizeEvent(QResizeEvent *)
{
    placeButtons();
}

void ClockFace::placeButtons()
{
    const int x = width() - RoundButton::kPadding - RoundButton::kDiameter;
    m_cancel->move(x, RoundButton::kPadding);
    m_pause->move(x - RoundButton::kDiameter - kButtonGap, RoundButton::kPadding);
}

void ClockFace::showPauseState()
{
    m_paused = m_model.isPaused();
    if (m_paused)
        m_pause->setSymbol(Symbol::Play, tr("Resume countdown"));
    else
        m_pause->setSymbol(Symbol::Pause, tr("Pause countdown"));
}

void ClockFace::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const Line line = mainLine();
    const qreal baseline = padding() + line.ascent;
    const qreal left = mainLineLeft(m_digits);
    const QRect dirty = event->rect();

    const QRectF digits = digitsRect().adjusted(-kBleed, -kBleed, kBleed, kBleed);
    if (dirty.intersects(digits.toAlignedRect())) {
        // A paused countdown shows its frozen time dimmed.
        painter.setPen(m_running ? (m_paused ? m_palette.secondary : m_palette.accent) : m_palette.digits);
        m_digitsText.draw(painter, {left, baseline}, m_digits, dirty.left() - kBleed, dirty.right() + 1 + kBleed);
    }

    if (ampmShown() && dirty.right() >= ampmRect(false).left() - kBleed) {
        painter.setFont(m_ampmFont);
        for (const bool pm : {false, true}) {
            // With high contrast the unlit one would differ from the lit one by little more than
            // its colour (in the coloured themes, by nothing): only the lit one shows.
            if (pm != m_afternoon && m_palette.highContrast)
                continue;
            const QRectF label = ampmRect(pm);
            painter.setPen(pm == m_afternoon ? m_palette.accent : m_palette.secondary);
            painter.drawText(QPointF(label.left(), label.top() + m_metrics.ampmAscent), pm ? m_pm : m_am);
        }
    }

    if (dateShown()) {
        const QRectF date = dateRect();
        if (QRectF(dirty).intersects(QRectF(0, date.top(), width(), date.height()))) {
            painter.setFont(m_dateFont);
            painter.setPen(m_palette.secondary);
            painter.drawText(QPointF(date.left(), date.top() + m_metrics.dateAscent), m_dateText);
        }
    }
}
