// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/lumbutton/lumbuttonproperties.h"

#include <QImage>
#include <QRegion>

class QPalette;
class QStyle;

namespace zelvora {

// What the painters need to know of the button beyond its properties.
struct LumPaintState
{
    int state = lum::StateNormal;
    bool enabled = true;
    bool hasFocus = false;
    bool isDefault = false;
    bool parentActive = true;
    bool mouseOver = false;
    bool running = true;
};

// Draws a whole button into an image of the button's size, in any of the fourteen styles; no
// widget needed. Style 13 draws the given QStyle's push-button panel, or without one falls back
// to style 2 with scheme 0.
class LumButtonPainter final
{
public:
    static void paint(QImage& image, const LumButtonProperties& properties, const LumPaintState& state,
                      const QPalette& palette, const QStyle* themeStyle = nullptr);
    static QImage render(const QSize& size, const LumButtonProperties& properties, const LumPaintState& state,
                         const QPalette& palette, const QStyle* themeStyle = nullptr);

    // The window shape of a style at size W × H: rounded styles lose their corner pixels.
    static QRegion windowShape(int style, int width, int height);
    // The picture the button shows in a drawing state (PictureDown, PictureHot or PictureNormal).
    static const LumPicture& currentPicture(const LumButtonProperties& properties, int state);
};

} // namespace zelvora
