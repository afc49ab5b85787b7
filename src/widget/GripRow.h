#pragma once

#include "appearance/KeyboardButton.h"

#include <QColor>

// The row under the drawer with its pill-shaped handle. It turns the pointer's
// vertical movement since the press into translations (positive downward) and
// never lets a press here move the window. To the keyboard and to assistive
// technology it is the drawer's push button: clicked() opens or closes it.
class GripRow : public KeyboardButton
{
    Q_OBJECT

public:
    explicit GripRow(QWidget *parent = nullptr);

    void setScale(qreal scale);
    void setPillColor(const QColor &color);
    QRectF pillRect() const;

    // Whether the drawer it opens is open: its name and expanded state follow.
    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded);
    void addAccessibleState(QAccessible::State &state) const override;

signals:
    void dragged(qreal translation);
    // For a reader: Qt's bridge does not pass the expanded state on (see ExpandedStateNotifier).
    void expandedChanged(bool expanded);
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
    bool m_expanded = false;
};
