#pragma once

#include <QColor>
#include <QWidget>

class QVBoxLayout;

// The rounded box that holds the rows of one section of a grouped form, with
// a hairline between neighbouring rows.
class FormGroup : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal kRadius = 8;
    static constexpr int kRowInset = 12; // rows' side padding; dividers start here too

    explicit FormGroup(QWidget *parent = nullptr);

    // Takes ownership of row.
    void addRow(QWidget *row);
    void setColors(const QColor &fill, const QColor &border);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *m_rows;
    QColor m_fill;
    QColor m_border;
};
