#pragma once

#include "appearance/KeyboardButton.h"

#include <QColor>

// The card's text button: a label on a faint rounded fill of the ink colour,
// every length a base value times the card scale. It takes all the width its
// row offers, so two of them side by side share the row equally. A label too long
// for its share first eats into the side padding, down to kTightPadding, and is then
// cut short with an ellipsis; the whole of it is the tooltip then (and the accessible
// name always).
class ScaledButton : public KeyboardButton
{
    Q_OBJECT

public:
    struct Metrics
    {
        qreal fontSize; // in the card's points (one point is one device-independent pixel)
        qreal paddingX;
        qreal paddingY;
        qreal radius;

        friend bool operator==(const Metrics &, const Metrics &) = default;
    };

    static Metrics metricsFor(qreal scale);
    static constexpr qreal kRestingFill = 0.12;
    static constexpr qreal kPressedFill = 0.25;
    static constexpr qreal kTightPadding = 4; // times the scale

    explicit ScaledButton(const QString &text, QWidget *parent = nullptr);

    qreal scale() const { return m_scale; }
    void setScale(qreal scale);
    QColor ink() const { return m_ink; }
    // The label's colour, and the fill at rest: the ink at kRestingFill when none is given.
    void setInk(const QColor &ink, const QColor &restingFill = QColor());

    // The widget's font at the scaled size.
    QFont labelFont() const;
    // The label as it fits the button's width: whole, or cut short with an ellipsis.
    QString shownLabel() const;
    bool labelElided() const { return shownLabel() != text(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateTooltip();

    qreal m_scale = 1.0;
    QColor m_ink = Qt::black;
    QColor m_restingFill;
};
