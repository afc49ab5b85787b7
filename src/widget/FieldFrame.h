#pragma once

#include "appearance/Palette.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>

class FieldCaret;
class QLabel;
class QLineEdit;
class QPainter;

// A single-line text field on a rounded fill with a hairline outline, as the
// card's timer and note fields are drawn. The line edit itself has no frame.
// Its hint shows whenever the field is empty, also while it has the keyboard.
class FieldFrame : public QWidget
{
    Q_OBJECT

public:
    // How much of the fill and outline a disabled field keeps.
    static constexpr qreal kDisabledOpacity = 0.4;

    explicit FieldFrame(QWidget *parent = nullptr);

    QLineEdit *lineEdit() const { return m_edit; }
    QLabel *placeholder() const { return m_placeholder; }
    FieldCaret *caret() const { return m_caret; }

    // The hint, placed as the field places its text (leading or centred).
    void setPlaceholder(const QString &text, Qt::Alignment alignment);
    // Lengths are already scaled; the outline stays one point wide.
    void setMetrics(qreal paddingX, qreal paddingY, qreal radius, const QFont &font);
    // The palette's field fill, border, secondary text for the hint, and caret colour.
    void setColors(const Palette &palette);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Whether the keyboard brought the focus into the field: its outline is a focus ring then.
    bool showsFocusRing() const;

protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refreshPlaceholder();
    void paintLook(QPainter &painter, bool ring) const;

    QLineEdit *m_edit;
    QLabel *m_placeholder;
    FieldCaret *m_caret;
    qreal m_paddingX = 6;
    qreal m_paddingY = 6;
    qreal m_radius = 8;
    QColor m_fill;
    QColor m_outline;
    bool m_focusRing = false;
    // The fill and outline as last drawn, and whether with the focus ring.
    QPixmap m_look;
    bool m_lookRing = false;
};
