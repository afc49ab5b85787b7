#pragma once

#include <QFont>
#include <QPointF>
#include <QString>

class QFontMetricsF;
class QPainter;

// The clock's face is "Helvetica Neue" Light and Bold. That family is not on
// this desktop, so the name stands for Inter, and for the default sans-serif
// font where Inter is missing too.
void registerFontAliases();

QFont clockDigitsFont(qreal pixelSize);
QFont clockBoldFont(qreal pixelSize);
// The desktop's default font at a size in device-independent pixels.
QFont systemFont(qreal pixelSize);

// Digits drawn with these get equal-width cells, so a line of changing digits
// never changes width; other characters keep their own advance.
qreal tabularAdvance(const QFontMetricsF &metrics);
qreal tabularTextWidth(const QString &text, const QFont &font);
void drawTabularText(QPainter &painter, QPointF baselineLeft, const QString &text, const QFont &font);
