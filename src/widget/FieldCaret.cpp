#include "widget/FieldCaret.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>

namespace {

// The field's own caret, zero wide: it draws nothing, while the field still says where it is.
class CaretlessStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TextCursorWidth)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

constexpr int kCaretWidth = 1;
// WORKAROUND: QLineEdit's cursor rectangle starts 5 pixels before the caret's position.
constexpr int kCursorRectLead = 5;

} // namespace

FieldCaret::FieldCaret(QLineEdit *field)
    : QWidget(field)
{
    static CaretlessStyle *const style = new CaretlessStyle;
    field->setStyle(style);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(field->rect());
    field->installEventFilter(this);
    const auto follow = [this] { update(); };
    connect(field, &QLineEdit::cursorPositionChanged, this, follow);
    connect(field, &QLineEdit::textChanged, this, follow);
}

QLineEdit *FieldCaret::field() const
{
    return static_cast<QLineEdit *>(parentWidget());
}

void FieldCaret::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void FieldCaret::setLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    update(caretRect());
}

QRect FieldCaret::caretRect() const
{
    const QLineEdit *edit = field();
    if (!edit->hasFocus() || edit->isReadOnly())
        return {};
    const QRect cursor = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    return {cursor.left() + kCursorRectLead, cursor.top(), kCaretWidth, cursor.height() - 1};
}

bool FieldCaret::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize: setGeometry(field()->rect()); break;
    case QEvent::FocusIn:
    case QEvent::FocusOut: update(); break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void FieldCaret::paintEvent(QPaintEvent *)
{
    const QRect caret = caretRect();
    if (m_lit && !caret.isEmpty())
        QPainter(this).fillRect(caret, m_color);
}
