#pragma once

#include <QRectF>
#include <QStringList>

class QWidget;

// The boxes a renderer drew, for tests that look for things in its pictures: one
// "name x y w h" line each, in the picture's pixels. A box is what shows of it, cut by
// the widgets it lies in; a hidden widget or a box that nothing shows of is left out.
class LayoutFile
{
public:
    explicit LayoutFile(const QWidget &picture)
        : m_picture(picture)
    {
    }

    void add(const QString &name, const QWidget *widget);
    // A box given in the widget's coordinates.
    void add(const QString &name, const QWidget *widget, const QRectF &box);

    bool save(const QString &path) const;

private:
    const QWidget &m_picture;
    QStringList m_lines;
};
