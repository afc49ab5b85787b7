#include "widget/FieldFrame.h"

#include "appearance/ContinuousCorners.h"
#include "appearance/FocusRing.h"
#include "widget/FieldCaret.h"
#include "widget/FieldHint.h"

#include <QBoxLayout>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <cmath>

FieldFrame::FieldFrame(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
    , m_placeholder(new FieldHint(m_edit))
    , m_caret(new FieldCaret(m_edit))
{
    m_edit->setFrame(false);
    m_edit->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_edit->setTextMargins(0, 0, 0, 0);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusProxy(m_edit);

    // The hint lies over the field but lets every click through to it.
    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    // WORKAROUND: a QLabel inside a QLineEdit paints with the edit's Text role, so the
    // hint would take the typed text's colour; it is pointed at WindowText instead.
    m_placeholder->setForegroundRole(QPalette::WindowText);
    auto *overlay = new QHBoxLayout(m_edit);
    overlay->setContentsMargins(0, 0, 0, 0);
    overlay->addWidget(m_placeholder);
    m_placeholder->hide();
    m_caret->raise();
    connect(m_edit, &QLineEdit::textChanged, this, &FieldFrame::refreshPlaceholder);
    m_edit->installEventFilter(this);
}

void FieldFrame::setPlaceholder(const QString &text, Qt::Alignment alignment)
{
    // WORKAROUND: a centred QLineEdit hides its own placeholder while it has the keyboard, so
    // the field draws the hint itself; the edit keeps the text for whoever asks for it.
    m_edit->setPlaceholderText(text);
    QPalette colors = m_edit->palette();
    colors.setColor(QPalette::PlaceholderText, Qt::transparent);
    m_edit->setPalette(colors);

    m_placeholder->setText(text);
    m_placeholder->setAlignment(alignment | Qt::AlignVCenter);
    // Where the edit starts its text: two pixels in from the leading edge.
    m_edit->layout()->setContentsMargins(alignment & Qt::AlignHCenter ? 0 : 2, 0, 0, 0);
    refreshPlaceholder();
}

void FieldFrame::refreshPlaceholder()
{
    m_placeholder->setVisible(!m_placeholder->text().isEmpty() && m_edit->text().isEmpty());
}

bool FieldFrame::showsFocusRing() const
{
    return m_focusRing && m_edit->hasFocus();
}

bool FieldFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        m_focusRing = event->type() == QEvent::FocusIn && focusRingWanted(static_cast<QFocusEvent *>(event)->reason());
        update();
    }
    return QWidget::eventFilter(watched, event);
}

void FieldFrame::setMetrics(qreal paddingX, qreal paddingY, qreal radius, const QFont &font)
{
    m_paddingX = paddingX;
    m_paddingY = paddingY;
    m_radius = radius;
    m_edit->setFont(font);
    m_placeholder->setFont(font);
    m_look = QPixmap();
    updateGeometry();
    update();
}

void FieldFrame::setColors(const Palette &palette)
{
    m_fill = palette.field;
    m_outline = palette.border;
    m_look = QPixmap();
    m_caret->setColor(palette.caret);
    QPalette colors = m_placeholder->palette();
    colors.setColor(QPalette::WindowText, palette.secondary);
    m_placeholder->setPalette(colors);
    update();
}

QSize FieldFrame::sizeHint() const
{
    const qreal line = QFontMetricsF(m_edit->font()).height();
    return {int(std::ceil(2 * m_paddingX + line)), int(std::ceil(line + 2 * m_paddingY))};
}

void FieldFrame::resizeEvent(QResizeEvent *)
{
    m_edit->setGeometry(QRectF(m_paddingX, m_paddingY, width() - 2 * m_paddingX, height() - 2 * m_paddingY).toRect());
}

void FieldFrame::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange)
        m_look = QPixmap();
    QWidget::changeEvent(event);
}

// Each blink of the caret repaints a sliver of the field, so the fill and outline are drawn
// once into a picture and each repaint copies its part of it.
void FieldFrame::paintEvent(QPaintEvent *)
{
    const bool ring = showsFocusRing();
    const qreal ratio = devicePixelRatioF();
    if (m_look.isNull() || m_lookRing != ring || m_look.devicePixelRatio() != ratio
        || m_look.deviceIndependentSize() != QSizeF(size())) {
        m_look = QPixmap(size() * ratio);
        m_look.setDevicePixelRatio(ratio);
        m_look.fill(Qt::transparent);
        m_lookRing = ring;
        QPainter painter(&m_look);
        paintLook(painter, ring);
    }
    QPainter(this).drawPixmap(0, 0, m_look);
}

void FieldFrame::paintLook(QPainter &painter, bool ring) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath shape = continuousRoundedRect(box, m_radius);
    // Disabled, the fill and outline fade; the hint keeps its colour, so it stays readable.
    if (!isEnabled())
        painter.setOpacity(kDisabledOpacity);
    painter.fillPath(shape, m_fill);
    if (ring) {
        const qreal inset = kFocusRingWidth / 2;
        paintFocusRing(painter, continuousRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), m_radius),
                       focusColor(this));
        return;
    }
    painter.setPen(QPen(m_outline, 1));
    painter.drawPath(shape);
}
