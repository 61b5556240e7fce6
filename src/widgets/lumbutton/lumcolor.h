// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/lumbutton/lumbuttontypes.h"

#include <QImage>
#include <QRect>
#include <optional>

class QPalette;

namespace zelvora::lumcolor {

// Colour arithmetic and drawing primitives of the button control. Every function works on a plain
// QImage (32 bits per pixel) and clips to it, so nothing is read or written outside the image.

constexpr QRgb toRgb(ColorRef c)
{
    return qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
constexpr ColorRef fromRgb(QRgb rgb)
{
    return ColorRef(qRed(rgb)) | (ColorRef(qGreen(rgb)) << 8) | (ColorRef(qBlue(rgb)) << 16);
}
constexpr int red(ColorRef c)
{
    return int(c & 0xFF);
}
constexpr int green(ColorRef c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int blue(ColorRef c)
{
    return int((c >> 16) & 0xFF);
}
constexpr ColorRef colorRef(int r, int g, int b)
{
    return ColorRef(r) | (ColorRef(g) << 8) | (ColorRef(b) << 16);
}

// Nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
int roundEven(double value);

// The actual colour of c: system colours (&H800000nn) come from the palette; -1 (0xFFFFFFFF) when
// the number names no colour.
ColorRef translateColor(ColorRef c, const QPalette& palette);
ColorRef shiftColor(ColorRef c, float amount);
ColorRef averageColors(ColorRef c1, ColorRef c2);

// The face colour a scheme gives a style; nothing for style 13 and the custom scheme.
std::optional<ColorRef> schemeBackColor(int style, int scheme);

// direction: 0 left to right, 1 top to bottom, 2 top-left to bottom-right, 3 bottom-left to top-right.
void gradientFill(QImage& image, int x, int y, int w, int h, ColorRef c1, ColorRef c2, int direction);
void fillBox(QImage& image, const QRect& rect, ColorRef c);
void frameBox(QImage& image, int x, int y, int w, int h, ColorRef c);
// A one-pixel line from (x1, y1) towards (x2, y2); the end point itself is not drawn.
void drawLine(QImage& image, int x1, int y1, int x2, int y2, ColorRef c);
void cornerDots(QImage& image, ColorRef c);
// A dotted rectangle drawn by inverting every other pixel of the outline of rect.
void focusBox(QImage& image, const QRect& rect);
void setPixel(QImage& image, int x, int y, ColorRef c);
ColorRef pixel(const QImage& image, int x, int y);

} // namespace zelvora::lumcolor
