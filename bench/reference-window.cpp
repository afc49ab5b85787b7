// What the toolkit costs for a ticking desktop clock written the plain way: a bare frameless,
// translucent, always-on-top Qt window that repaints all of itself from a precise half-second
// timer. A busy program, not a floor: Orvanta's figures are read against this window's,
// measured in the same run, and against xclock's beside them.

#include <QApplication>
#include <QPainter>
#include <QTime>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int kWidth = 220;
constexpr int kHeight = 120;
constexpr int kTickMs = 500;

} // namespace

class ReferenceWindow : public QWidget
{
public:
    ReferenceWindow()
        : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    {
        setWindowTitle(QStringLiteral("Reference clock"));
        setAttribute(Qt::WA_TranslucentBackground);
        setFixedSize(kWidth, kHeight);
        m_font.setPixelSize(40);
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kTickMs);
        connect(&m_timer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
        m_timer.start();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(246, 246, 246, 235));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 16, 16);
        painter.setPen(QColor(29, 29, 31));
        painter.setFont(m_font);
        painter.drawText(rect(), Qt::AlignCenter, QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
    }

private:
    QFont m_font;
    QTimer m_timer;
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("reference-window"));
    ReferenceWindow window;
    window.move(40, 40);
    window.show();
    return app.exec();
}
