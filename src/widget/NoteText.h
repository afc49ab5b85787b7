#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include "widget/WrappedText.h"

// A note's text, wrapped onto as many lines as it needs (inside long words too)
// and never cut; struck through and dimmed when the note is done. Every stored
// character shows: line breaks break the line, tabs reach the next of the tab stops
// four spaces apart, other control characters show as the replacement character.
class NoteText : public QWidget
{
    Q_OBJECT

public:
    explicit NoteText(QWidget *parent = nullptr);
    ~NoteText() override;

    void setNote(const QString &text, bool done);
    void setLook(const QFont &font, const QColor &color);

    QString text() const { return m_text; }
    bool done() const { return m_done; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Counts the lines of one more stretch of the text, at the width last asked about or else
    // the width shown; false once all are counted.
    bool measureMore();
    bool measured() const { return m_linesReady && m_lines.measured(); }
    // Lines laid out and kept for drawing: those on screen and a few around them.
    int keptLines() const { return m_lines.keptLines(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont effectiveFont() const;
    // The lines at width, counted until the width, the text or the look changes.
    WrappedText &linesAt(int width) const;
    void forgetLayout();

    QString m_text;
    bool m_done = false;
    // Holds a word too long to wrap at word boundaries.
    bool m_blob = false;
    QFont m_font;
    QColor m_color;
    mutable WrappedText m_lines;
    mutable bool m_linesReady = false;
};
