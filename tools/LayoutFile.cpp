#include "LayoutFile.h"

#include <QDebug>
#include <QSaveFile>
#include <QWidget>

void LayoutFile::add(const QString &name, const QWidget *widget)
{
    if (widget)
        add(name, widget, widget->rect());
}

void LayoutFile::add(const QString &name, const QWidget *widget, const QRectF &box)
{
    if (!widget)
        return;
    if (widget != &m_picture && !(m_picture.isAncestorOf(widget) && widget->isVisibleTo(&m_picture)))
        return;
    QRect shown = box.toAlignedRect() & widget->rect();
    for (const QWidget *w = widget; w != &m_picture; w = w->parentWidget())
        shown = shown.translated(w->pos()) & w->parentWidget()->rect();
    if (shown.isEmpty())
        return;
    m_lines.append(QStringLiteral("%1 %2 %3 %4 %5")
                       .arg(name)
                       .arg(shown.x())
                       .arg(shown.y())
                       .arg(shown.width())
                       .arg(shown.height()));
}

bool LayoutFile::save(const QString &path) const
{
    QSaveFile file(path);
    const QByteArray text = (m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    if (file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(text) == text.size() && file.commit())
        return true;
    qWarning().noquote() << "cannot write the layout to" << path << "-" << file.errorString();
    return false;
}
