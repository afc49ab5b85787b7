#pragma once

#include <QColor>
#include <QString>

// The style sheet of a thin scroll bar drawn over content: a rounded handle of the given
// colour and width on nothing, without arrows.
QString thinScrollBarStyle(const QColor &handle, int width);
