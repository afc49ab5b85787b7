#pragma once

#include <QColor>
#include <QScrollBar>

#include <optional>

// Where a handle lies along its track: its first pixel and its length.
struct HandleSpan
{
    int start;
    int length;

    bool operator==(const HandleSpan &) const = default;
};

// The handle of a bar over a track of the given length: as long as the page is of the whole
// (range plus page), never shorter than minLength nor longer than the track, and placed by the
// value within the range.
HandleSpan thinHandleSpan(int track, int minimum, int maximum, int pageStep, int value, int minLength);

// A thin vertical scroll bar drawn over content: a rounded handle of one colour on nothing,
// without arrows. It paints and follows the pointer itself; a style sheet would do the same
// but bring the style sheet engine, a few hundred KiB, into the program for one handle.
class ThinScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    // The handle is never shorter than this, in pixels.
    static constexpr int kMinimumHandle = 24;

    explicit ThinScrollBar(QWidget *parent = nullptr);

    void setHandleColor(const QColor &color);
    QRect handleRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QColor m_handle;
    // While the handle is dragged: where in it the pointer holds it.
    std::optional<int> m_grab;
};
