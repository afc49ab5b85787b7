#pragma once

#include "platform/WindowPlatform.h"

// For platforms without extra window hints (offscreen, Wayland): only what Qt does anyway.
class NullWindowPlatform final : public WindowPlatform
{
public:
    void makeSticky(QWindow *window) override;
    void setBlurBehind(QWindow *window, bool on, const QRegion &region) override;
    // Wayland always composites and offscreen windows render into images with alpha.
    bool hasCompositor() const override;
    void activate(QWindow *window, const QByteArray &activationToken = {}) override;
    QRect availableGeometry(const QScreen *screen) const override;
    bool pointerButtonHeld() const override;
};
