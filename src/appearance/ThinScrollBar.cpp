#include "appearance/ThinScrollBar.h"

QString thinScrollBarStyle(const QColor &handle, int width)
{
    return QStringLiteral("QScrollBar:vertical { background: transparent; border: none; margin: 0; }"
                          "QScrollBar::handle:vertical { background: %1; border-radius: %2px; min-height: 24px; }"
                          "QScrollBar::add-line, QScrollBar::sub-line { height: 0; border: none; }"
                          "QScrollBar::add-page, QScrollBar::sub-page { background: none; }")
        .arg(handle.name(QColor::HexArgb))
        .arg(width / 2);
}
