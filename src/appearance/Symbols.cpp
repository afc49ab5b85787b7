#include "appearance/Symbols.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace {

// Symbols are designed on a 24 × 24 grid and scaled to the box.
constexpr qreal Grid = 24.0;
// The stopwatch's face.
constexpr QPointF FaceCentre(12, 13.5);
constexpr qreal FaceRadius = 8.25;

QPainterPath stroked(const QPainterPath &centreLine, qreal width)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(centreLine).simplified();
}

QPainterPath line(QPointF from, QPointF to)
{
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

QPainterPath ring(QPointF centre, qreal radius, qreal width)
{
    QPainterPath path;
    path.addEllipse(centre, radius + width / 2, radius + width / 2);
    QPainterPath hole;
    hole.addEllipse(centre, radius - width / 2, radius - width / 2);
    return path.subtracted(hole);
}

QPainterPath timer()
{
    QPainterPath path = ring(FaceCentre, FaceRadius, 2);
    QPainterPath crown;
    crown.addRoundedRect(QRectF(9, 1, 6, 2.5), 1, 1);
    crown.addRect(QRectF(11, 3, 2, 2.5));
    path = path.united(crown.simplified());
    // The side button sits at 45 degrees, just off the face.
    path = path.united(stroked(line(QPointF(18.0, 7.5), QPointF(19.4, 6.1)), 2));
    // The hand leans right of twelve, so it never lines up with the crown.
    const qreal angle = 40.0 * std::numbers::pi / 180.0;
    const QPointF tip = FaceCentre + QPointF(std::sin(angle), -std::cos(angle)) * 5.0;
    path = path.united(stroked(line(FaceCentre, tip), 2));
    QPainterPath hub;
    hub.addEllipse(FaceCentre, 1.6, 1.6);
    return path.united(hub);
}

// The card's symbols fill their grid edge to edge: a symbol drawn at P points spans P points.
constexpr qreal Stroke = 2.6;
constexpr qreal BoldStroke = 3.6;

qreal strokeWidth(SymbolWeight weight)
{
    return weight == SymbolWeight::Bold ? BoldStroke : Stroke;
}

QPainterPath xmark(qreal width)
{
    // Round caps reach half the stroke past each end, so the arms end that far inside the grid.
    const qreal near = width / 2;
    const qreal far = Grid - width / 2;
    return stroked(line(QPointF(near, near), QPointF(far, far)), width)
        .united(stroked(line(QPointF(far, near), QPointF(near, far)), width));
}

QPainterPath circle(qreal width)
{
    return ring(QPointF(12, 12), 12 - width / 2, width);
}

QPainterPath checkmarkCircleFill(qreal width)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(12, 12), 12, 12);
    QPainterPath check(QPointF(6.8, 12.4));
    check.lineTo(10.4, 16);
    check.lineTo(17.2, 8.6);
    return disc.subtracted(stroked(check, width));
}

// Two upright bars.
QPainterPath pause(qreal width)
{
    const qreal top = width / 2;
    const qreal bottom = Grid - width / 2;
    return stroked(line(QPointF(7, top), QPointF(7, bottom)), width)
        .united(stroked(line(QPointF(17, top), QPointF(17, bottom)), width));
}

// A triangle pointing right, its weight centred in the grid.
QPainterPath play()
{
    QPainterPath path(QPointF(5, 1));
    path.lineTo(22, 12);
    path.lineTo(5, 23);
    path.closeSubpath();
    return path;
}

QPainterPath gridPath(Symbol symbol, SymbolWeight weight)
{
    switch (symbol) {
    case Symbol::Timer: return timer();
    case Symbol::XMark: return xmark(strokeWidth(weight));
    case Symbol::CheckmarkCircleFill: return checkmarkCircleFill(strokeWidth(weight));
    case Symbol::Circle: return circle(strokeWidth(weight));
    case Symbol::Pause: return pause(strokeWidth(weight));
    case Symbol::Play: return play();
    }
    return {};
}

QPixmap transparentPixmap(int logicalSize, qreal devicePixelRatio)
{
    const int side = qMax(1, qRound(logicalSize * devicePixelRatio));
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QTransform gridToBox(const QRectF &box)
{
    const qreal side = qMin(box.width(), box.height());
    const QPointF origin = box.center() - QPointF(side, side) / 2;
    return QTransform::fromTranslate(origin.x(), origin.y()).scale(side / Grid, side / Grid);
}

} // namespace

QPainterPath symbolPath(Symbol symbol, const QRectF &box, SymbolWeight weight)
{
    if (box.width() <= 0 || box.height() <= 0)
        return {};
    return gridToBox(box).map(gridPath(symbol, weight));
}

void paintSymbol(QPainter &painter, Symbol symbol, const QRectF &box, const QColor &color, SymbolWeight weight)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(symbolPath(symbol, box, weight), color);
    painter.restore();
}

QPixmap symbolPixmap(Symbol symbol, int logicalSize, const QColor &color, qreal devicePixelRatio)
{
    QPixmap pixmap = transparentPixmap(logicalSize, devicePixelRatio);
    QPainter painter(&pixmap);
    paintSymbol(painter, symbol, QRectF(0, 0, logicalSize, logicalSize), color);
    return pixmap;
}

namespace {

// Draws the tray icon's stopwatch at whatever size the tray asks for, when it
// asks: nothing is rendered ahead at start-up.
class TrayIconEngine final : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        const QColor glyph(0xF4, 0xF4, 0xF4);
        const QColor outline(0x1C, 0x1C, 0x1C);
        const qreal side = std::min(rect.width(), rect.height());
        const qreal outlineWidth = qMax<qreal>(1.5, side / 12.0);
        const qreal inset = outlineWidth / 2;
        const QRectF box = QRectF(rect).adjusted(inset, inset, -inset, -inset);
        const QPainterPath path = symbolPath(Symbol::Timer, box);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->strokePath(path, QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath face;
        face.addEllipse(FaceCentre, FaceRadius, FaceRadius);
        painter->fillPath(gridToBox(box).map(face), outline);
        painter->fillPath(path, glyph);
        painter->restore();
    }

    QIconEngine *clone() const override { return new TrayIconEngine; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}};
    }
};

} // namespace

QIcon trayIcon()
{
    return QIcon(new TrayIconEngine);
}
