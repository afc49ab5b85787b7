#pragma once

#include <QColor>
#include <QIcon>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>

class QPainter;

// The symbol images the program draws itself, as vector shapes at any size and
// in any colour: the stopwatch of the tray icon, the cancel and delete cross,
// the two check marks of a note, and the countdown's pause and play.
enum class Symbol { Timer, XMark, CheckmarkCircleFill, Circle, Pause, Play };
// The weight of the strokes, as a font's regular and bold faces.
enum class SymbolWeight { Regular, Bold };

// The symbol's filled outline, centred in the largest square that fits in box.
// Everything lies inside that square; holes (the check knocked out of its disc,
// the inside of a ring) are really empty. The card's symbols (the cross and the two
// check marks) reach all four sides of the square, so a symbol drawn at P points in
// a P-point square is P points of ink; the stopwatch keeps a margin.
QPainterPath symbolPath(Symbol symbol, const QRectF &box, SymbolWeight weight = SymbolWeight::Regular);

void paintSymbol(QPainter &painter, Symbol symbol, const QRectF &box, const QColor &color,
                 SymbolWeight weight = SymbolWeight::Regular);

// A transparent square pixmap of logicalSize device-independent pixels.
QPixmap symbolPixmap(Symbol symbol, int logicalSize, const QColor &color, qreal devicePixelRatio);

// The stopwatch for the tray icon, two-tone so it reads on light and dark
// panels alike: a light glyph with a dark outline, over a dark face.
QIcon trayIcon();
