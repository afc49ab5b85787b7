#pragma once

#include <QColor>
#include <QWidget>

class QLineEdit;

// A single-line text field on a rounded fill with a hairline outline, as the
// card's timer and note fields are drawn. The line edit itself has no frame.
class FieldFrame : public QWidget
{
    Q_OBJECT

public:
    explicit FieldFrame(QWidget *parent = nullptr);

    QLineEdit *lineEdit() const { return m_edit; }

    // Lengths are already scaled; the outline stays one point wide.
    void setMetrics(qreal paddingX, qreal paddingY, qreal radius, const QFont &font);
    void setColors(const QColor &fill, const QColor &outline);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QLineEdit *m_edit;
    qreal m_paddingX = 6;
    qreal m_paddingY = 6;
    qreal m_radius = 8;
    QColor m_fill;
    QColor m_outline;
};
