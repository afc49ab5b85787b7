#include "ClockFace.h"

#include "AppModel.h"
#include "CancelButton.h"
#include "ClockText.h"
#include "Fonts.h"
#include "LongDateFormatter.h"
#include "SettingsStore.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QLocale>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kLineSpacing = 2;  // between the digits and the date; not scaled
// Antialiased glyphs reach a little past their cells.
constexpr qreal kBleed = 2;

QDateTime localTime(double epochSeconds)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(epochSeconds * 1000.0)));
}

} // namespace

ClockFace::ClockFace(AppModel &model, const SettingsStore &settings, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_settings(settings)
    , m_cancel(new CancelButton(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    connect(m_cancel, &CancelButton::clicked, this, [this] { m_model.setTimerEndsAt(std::nullopt); });
    connect(&m_model, &AppModel::nowChanged, this, &ClockFace::onTick);
    connect(&m_model, &AppModel::timerEndsAtChanged, this, &ClockFace::onRunningChanged);
    m_running = m_model.isRunning();
    m_cancel->setVisible(m_running);
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
    update();
}

void ClockFace::reloadSettings()
{
    m_h24 = m_settings.value(Keys::h24);
    m_showSeconds = m_settings.value(Keys::showSeconds);
    m_showDate = m_settings.value(Keys::showDate);
    const QDateTime local = localTime(m_model.now());
    m_shownSecond = shownSecond();
    m_digits = currentDigits(local);
    m_afternoon = ClockText::isAfternoon(local.time());
    refreshDate(local.date());
    updateFonts();
    update();
    emit heightChanged();
}

void ClockFace::updateFonts()
{
    m_digitsFont = clockDigitsFont(40 * m_scale);
    m_ampmFont = clockBoldFont(11 * m_scale);
    m_dateFont = systemFont(13 * m_scale);
}

bool ClockFace::ampmShown() const
{
    return !m_h24 && !m_running;
}

bool ClockFace::dateShown() const
{
    return m_showDate;
}

QString ClockFace::currentDigits(const QDateTime &local) const
{
    if (m_running)
        return ClockText::countdownString(m_model.remaining());
    return ClockText::timeString(local.time(), m_h24, m_showSeconds);
}

qint64 ClockFace::shownSecond() const
{
    return m_running ? qint64(std::ceil(m_model.remaining())) : qint64(std::floor(m_model.now()));
}

void ClockFace::refreshDate(const QDate &today)
{
    if (!m_showDate)
        return;
    if (today == m_date)
        return;
    if (!m_dateFormatter)
        m_dateFormatter = std::make_unique<LongDateFormatter>(QLocale().name());
    m_date = today;
    m_dateText = m_dateFormatter->format(today);
}

ClockFace::Line ClockFace::mainLine() const
{
    const QFontMetricsF digits(m_digitsFont);
    qreal above = digits.ascent();
    qreal below = digits.descent();
    if (ampmShown()) {
        // The column's lower label sits on the digits' baseline.
        const QFontMetricsF ampm(m_ampmFont);
        above = std::max(above, ampm.height() + ampm.ascent());
        below = std::max(below, ampm.descent());
    }
    return {above, above + below};
}

qreal ClockFace::ampmWidth() const
{
    const QFontMetricsF ampm(m_ampmFont);
    return std::max(ampm.horizontalAdvance(QStringLiteral("AM")), ampm.horizontalAdvance(QStringLiteral("PM")));
}

qreal ClockFace::mainLineLeft(const QString &digits) const
{
    qreal width = tabularTextWidth(digits, m_digitsFont);
    if (ampmShown())
        width += 8 * m_scale + ampmWidth();
    return (this->width() - width) / 2;
}

int ClockFace::faceHeight() const
{
    qreal height = 2 * padding() + mainLine().height;
    if (m_showDate)
        height += kLineSpacing + QFontMetricsF(m_dateFont).height();
    return int(std::ceil(height));
}

QRectF ClockFace::digitsRect() const
{
    const qreal left = mainLineLeft(m_digits);
    return {left, padding(), tabularTextWidth(m_digits, m_digitsFont), mainLine().height};
}

void ClockFace::onTick()
{
    // Everything the face shows changes only from one whole second to the next:
    // half the ticks end here.
    const qint64 second = shownSecond();
    if (second == m_shownSecond)
        return;
    m_shownSecond = second;
    const QDateTime local = localTime(m_model.now());
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
            const qreal x0 = after.left() + tabularTextWidth(digits.left(first), m_digitsFont);
            const qreal x1 = after.left() + tabularTextWidth(digits.left(last + 1), m_digitsFont);
            update(QRectF(x0, after.top(), x1 - x0, after.height()).adjusted(-kBleed, -kBleed, kBleed, kBleed).toAlignedRect());
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
}

void ClockFace::onRunningChanged()
{
    const bool running = m_model.isRunning();
    if (running != m_running) {
        m_running = running;
        m_cancel->setVisible(running);
        emit heightChanged();
    }
    m_shownSecond = shownSecond();
    m_digits = currentDigits(localTime(m_model.now()));
    update();
}

void ClockFace::resizeEvent(QResizeEvent *)
{
    placeCancelButton();
}

void ClockFace::placeCancelButton()
{
    m_cancel->move(width() - CancelButton::kPadding - CancelButton::kDiameter, CancelButton::kPadding);
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
        painter.setPen(m_running ? m_palette.accent : m_palette.digits);
        drawTabularText(painter, {left, baseline}, m_digits, m_digitsFont);
    }

    const qreal ampmLeft = left + tabularTextWidth(m_digits, m_digitsFont) + 8 * m_scale;
    if (ampmShown() && dirty.right() >= ampmLeft - kBleed) {
        const qreal x = ampmLeft;
        const QFontMetricsF ampm(m_ampmFont);
        painter.setFont(m_ampmFont);
        painter.setPen(m_afternoon ? m_palette.secondary : m_palette.accent);
        painter.drawText(QPointF(x, baseline - ampm.height()), QStringLiteral("AM"));
        painter.setPen(m_afternoon ? m_palette.accent : m_palette.secondary);
        painter.drawText(QPointF(x, baseline), QStringLiteral("PM"));
    }

    // While a countdown runs the date keeps its space but is not drawn.
    if (m_showDate && !m_running) {
        const QFontMetricsF date(m_dateFont);
        const qreal top = padding() + line.height + kLineSpacing;
        const QRectF box(0, top, width(), date.height());
        if (dirty.intersects(box.toAlignedRect())) {
            painter.setFont(m_dateFont);
            painter.setPen(m_palette.secondary);
            painter.drawText(QPointF((width() - date.horizontalAdvance(m_dateText)) / 2, top + date.ascent()), m_dateText);
        }
    }
}
