#pragma once

#include <QLabel>
#include <QPixmap>

// A text field's hint. Each blink of the caret above it repaints a sliver of it, so the text
// is laid out and drawn once into a picture, and each repaint copies its part of that.
class FieldHint : public QLabel
{
    Q_OBJECT

public:
    explicit FieldHint(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // What the picture was drawn from: when any of it changes it is drawn again.
    struct Look
    {
        QString text;
        QSize size;
        qreal ratio = 0;
        QFont font;
        QColor color;
        Qt::Alignment alignment;
        bool enabled = true;

        friend bool operator==(const Look &, const Look &) = default;
    };

    Look currentLook() const;

    QPixmap m_picture;
    Look m_look;
};
