#include "app/ApplicationIcon.h"

#include <QImageReader>
#include <QPixmap>

// The hicolor PNGs that the package installs, embedded so that the icon shows wherever the
// program runs from. Only the sizes a window manager draws: X11 takes every size of a
// window's icon decoded at once, and the 128 and 256 pixel ones were nine tenths of that
// work. Larger views (menus, docks, switchers) use the installed theme icon named by the
// desktop entry.
QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        // Read as PNG without probing: probing loads every image format plugin Qt has.
        QImageReader reader(QStringLiteral(":/icons/%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}
