#pragma once

#include <QColor>
#include <QWidget>

class QLineEdit;

// The caret of one of the card's text fields, in a colour of the palette. Qt's own caret
// inverts what lies under it, which on a coloured field is barely seen; the field's caret is
// made zero wide and this one lies over the field instead. It shows while the field has the
// keyboard, and CaretBlink turns it off and on while the caret blinks.
class FieldCaret : public QWidget
{
    Q_OBJECT

public:
    explicit FieldCaret(QLineEdit *field);

    void setColor(const QColor &color);
    // Whether it shows in the blink's current half; always, while the caret does not blink.
    bool isLit() const { return m_lit; }
    void setLit(bool lit);
    // Where it is drawn, in the field's coordinates; empty while the field has no caret.
    QRect caretRect() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLineEdit *field() const;

    QColor m_color;
    bool m_lit = true;
};
