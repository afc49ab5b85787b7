#pragma once

#include <QWidget>

// The invisible strip along the card's left edge. Each drag event reports only
// its own horizontal movement, positive to the left (widening the card).
class ResizeEdge : public QWidget
{
    Q_OBJECT

public:
    explicit ResizeEdge(QWidget *parent = nullptr);

signals:
    void dragged(qreal delta);
    void released();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    qreal m_startX = 0;
};
