#pragma once

#include <QFont>
#include <QString>

// The clock's face is "Helvetica Neue" Light and Bold. That family is not on
// this desktop, so the name stands for Inter, and for the default sans-serif
// font where Inter is missing too.
void registerFontAliases();

QFont clockDigitsFont(qreal pixelSize);
QFont clockBoldFont(qreal pixelSize);
// The desktop's default font at a size in device-independent pixels.
QFont systemFont(qreal pixelSize);
