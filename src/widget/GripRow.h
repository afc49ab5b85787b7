#pragma once

#include <QColor>
#include <QWidget>

// The row under the drawer with its pill-shaped handle. It turns the pointer's
// vertical movement since the press into translations (positive downward) and
// never lets a press here move the window.
class GripRow : public QWidget
{
    Q_OBJECT

public:
    explicit GripRow(QWidget *parent = nullptr);

    void setScale(qreal scale);
    void setPillColor(const QColor &color);
    QRectF pillRect() const;

signals:
    void dragged(qreal translation);
    void released(qreal translation);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    qreal m_scale = 1.0;
    QColor m_pill;
    qreal m_startY = 0;
};
