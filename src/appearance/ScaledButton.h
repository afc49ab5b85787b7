#pragma once

#include "appearance/KeyboardButton.h"

#include <QColor>

// The card's text button: a label on a faint rounded fill of the ink colour,
// every length a base value times the card scale. It takes all the width its
// row offers, so two of them side by side share the row equally.
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

    explicit ScaledButton(const QString &text, QWidget *parent = nullptr);

    qreal scale() const { return m_scale; }
    void setScale(qreal scale);
    QColor ink() const { return m_ink; }
    void setInk(const QColor &ink);

    // The widget's font at the scaled size.
    QFont labelFont() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_scale = 1.0;
    QColor m_ink = Qt::black;
};
