#include "appearance/Contrast.h"

#include <algorithm>
#include <cmath>

namespace Contrast {

namespace {

double linear(float channel)
{
    return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

} // namespace

double luminance(const QColor &color)
{
    const QColor c = color.toRgb();
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor over(const QColor &color, const QColor &background)
{
    const QColor top = color.toRgb();
    const QColor bottom = background.toRgb();
    const float a = top.alphaF();
    const auto mix = [a](float t, float b) { return t * a + b * (1 - a); };
    return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                            mix(top.blueF(), bottom.blueF()));
}

double worstRatio(const QColor &color, const QList<QColor> &backgrounds)
{
    double worst = 21;
    for (const QColor &background : backgrounds)
        worst = std::min(worst, ratio(over(color, background), background));
    return worst;
}

QColor firstLegible(const QList<QColor> &candidates, const QList<QColor> &backgrounds, double minimum)
{
    QColor best;
    double bestRatio = 0;
    for (const QColor &candidate : candidates) {
        const double r = worstRatio(candidate, backgrounds);
        if (r >= minimum)
            return candidate;
        if (r > bestRatio) {
            best = candidate;
            bestRatio = r;
        }
    }
    return best;
}

QColor legible(const QColor &color, const QList<QColor> &backgrounds, double minimum)
{
    constexpr int kSteps = 100;
    QColor lifted = color.toRgb();
    for (int step = qRound(lifted.alphaF() * kSteps); step <= kSteps; ++step) {
        lifted.setAlphaF(std::max(lifted.alphaF(), float(step) / kSteps));
        if (worstRatio(lifted, backgrounds) >= minimum)
            return lifted;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor target = worstRatio(black, backgrounds) >= worstRatio(white, backgrounds) ? black : white;
    for (int step = 1; step < kSteps; ++step) {
        QColor mixed = target;
        mixed.setAlphaF(float(step) / kSteps);
        mixed = over(mixed, lifted);
        if (worstRatio(mixed, backgrounds) >= minimum)
            return mixed;
    }
    return target;
}

} // namespace Contrast
