#pragma once

#include <QAbstractButton>

// The close button of a window that draws its own title bar: a small red
// circle that shows its cross while the pointer is over it.
class CloseButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int kDiameter = 12;

    explicit CloseButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool m_hovered = false;
};
