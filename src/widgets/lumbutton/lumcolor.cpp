// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumcolor.h"

#include <QPalette>
#include <algorithm>
#include <cmath>
#include <vector>

namespace zelvora::lumcolor {

namespace {

int clampChannel(int v)
{
    return std::clamp(v, 0, 255);
}

inline void put(QImage& image, int x, int y, QRgb rgb)
{
    reinterpret_cast<QRgb*>(image.scanLine(y))[x] = rgb;
}

bool usable(const QImage& image)
{
    return !image.isNull() && image.depth() == 32;
}

} // namespace

int roundEven(double value)
{
    return int(std::nearbyint(value));
}

ColorRef translateColor(ColorRef c, const QPalette& palette)
{
    if ((c & 0x80000000u) == 0)
        return c & 0xFFFFFF;
    if ((c & 0x7FFFFF00u) != 0)
        return 0xFFFFFFFF;
    const auto from = [&](QPalette::ColorGroup group, QPalette::ColorRole role) {
        return fromRgb(palette.color(group, role).rgb());
    };
    switch (c & 0xFF) {
    case 0: // scroll bar
    case 15: // button face
        return from(QPalette::Active, QPalette::Button);
    case 1: // desktop
    case 12: // application workspace
        return from(QPalette::Active, QPalette::Mid);
    case 2: // active caption
    case 13: // highlight
        return from(QPalette::Active, QPalette::Highlight);
    case 3: // inactive caption
    case 16: // button shadow
        return from(QPalette::Active, QPalette::Dark);
    case 4: // menu
    case 5: // window
        return from(QPalette::Active, QPalette::Base);
    case 6: // window frame
    case 21: // dark shadow
        return from(QPalette::Active, QPalette::Shadow);
    case 7: // menu text
    case 8: // window text
    case 9: // caption text
        return from(QPalette::Active, QPalette::WindowText);
    case 10: // active border
    case 11: // inactive border
    case 22: // light
        return from(QPalette::Active, QPalette::Midlight);
    case 14: // highlight text
        return from(QPalette::Active, QPalette::HighlightedText);
    case 17: // grey text
        return from(QPalette::Disabled, QPalette::ButtonText);
    case 18: // button text
        return from(QPalette::Active, QPalette::ButtonText);
    case 19: // inactive caption text
        return from(QPalette::Inactive, QPalette::WindowText);
    case 20: // button highlight
        return from(QPalette::Active, QPalette::Light);
    case 23: // tooltip text
        return from(QPalette::Active, QPalette::ToolTipText);
    case 24: // tooltip background
        return from(QPalette::Active, QPalette::ToolTipBase);
    case 26: // hot-tracked item
        return from(QPalette::Active, QPalette::Link);
    case 27: // gradient captions
    case 28:
        return from(QPalette::Active, QPalette::Highlight);
    case 29: // menu highlight
        return from(QPalette::Active, QPalette::Highlight);
    case 30: // menu bar
        return from(QPalette::Active, QPalette::Window);
    default:
        return 0xFFFFFFFF;
    }
}

ColorRef shiftColor(ColorRef c, float amount)
{
    // Single precision as the amount is given: +0.3 moves 178 to 254.5, which rounds to 254.
    const float delta = amount * 255.0f;
    const auto shift = [&](int v) { return clampChannel(roundEven(double(float(v) + delta))); };
    return colorRef(shift(red(c)), shift(green(c)), shift(blue(c)));
}

ColorRef averageColors(ColorRef c1, ColorRef c2)
{
    const auto mean = [](int p, int q) { return clampChannel(roundEven((p + q) / 2.0)); };
    return colorRef(mean(red(c1), red(c2)), mean(green(c1), green(c2)), mean(blue(c1), blue(c2)));
}

std::optional<ColorRef> schemeBackColor(int style, int scheme)
{
    if (scheme < lum::SchemeBlue || scheme > lum::SchemeSilver)
        return std::nullopt;
    switch (style) {
    case lum::StyleStandard:
    case lum::StyleThinEdge:
    case lum::StyleHotTrack:
    case lum::StyleSilver:
    case lum::StyleLightHover:
    case lum::StyleFlat3D:
    case lum::StyleFlatThin:
        return lum::SysButtonFace;
    case lum::StyleFramedGradient: {
        constexpr ColorRef faces[] = {0xE7EBEC, 0xDBEEF3, 0xFCF1F0};
        return faces[scheme];
    }
    case lum::StyleGlass: {
        const ColorRef faces[] = {0xFDECE0, 0xDEEDE8, shiftColor(0xD4D4D4, 0.06f)};
        return faces[scheme];
    }
    case lum::StyleWarmToolbar: {
        const ColorRef faces[] = {0xFCE1CA, 0xBAD6D4, shiftColor(0xBA9EA0, 0.15f)};
        return faces[scheme];
    }
    case lum::StyleGel:
    case lum::StyleSoftGloss: {
        constexpr ColorRef faces[] = {0xFFD1AD, 0xBAD6D4, 0xE3DFE0};
        return faces[scheme];
    }
    case lum::StyleWhiteGloss: {
        constexpr ColorRef faces[] = {0xFFD1AD, 0xBAD6D4, 0xE1D6D5};
        return faces[scheme];
    }
    default:
        return std::nullopt;
    }
}

void gradientFill(QImage& image, int x, int y, int w, int h, ColorRef c1, ColorRef c2, int direction)
{
    if (w <= 0 || h <= 0 || !usable(image) || direction < 0 || direction > 3)
        return;
    const int n = direction == 0 ? w - 1 : (direction == 1 ? h - 1 : w + h - 2);
    std::vector<QRgb> colours(size_t(n) + 1);
    if (n == 0) {
        colours[0]
            = toRgb(colorRef(red(c1) / 2 + red(c2) / 2, green(c1) / 2 + green(c2) / 2, blue(c1) / 2 + blue(c2) / 2));
    } else {
        const int r1 = red(c1), g1 = green(c1), b1 = blue(c1);
        const int dr = red(c2) - r1, dg = green(c2) - g1, db = blue(c2) - b1;
        for (int i = 0; i <= n; ++i)
            colours[size_t(i)] = qRgb(r1 + dr * i / n, g1 + dg * i / n, b1 + db * i / n);
    }
    const int left = std::max(x, 0), right = std::min(x + w, image.width());
    const int top = std::max(y, 0), bottom = std::min(y + h, image.height());
    for (int py = top; py < bottom; ++py) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(py));
        const int ly = py - y;
        if (direction == 1) {
            std::fill(line + left, line + right, colours[size_t(ly)]);
            continue;
        }
        for (int px = left; px < right; ++px) {
            const int lx = px - x;
            const int i = direction == 0 ? lx : (direction == 2 ? lx + ly : lx + (h - 1 - ly));
            line[px] = colours[size_t(i)];
        }
    }
}

void fillBox(QImage& image, const QRect& rect, ColorRef c)
{
    if (!usable(image))
        return;
    const QRect r = rect.intersected(image.rect());
    const QRgb rgb = toRgb(c);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + r.left(), line + r.left() + r.width(), rgb);
    }
}

void frameBox(QImage& image, int x, int y, int w, int h, ColorRef c)
{
    if (w <= 0 || h <= 0)
        return;
    fillBox(image, QRect(x, y, w, 1), c);
    fillBox(image, QRect(x, y + h - 1, w, 1), c);
    fillBox(image, QRect(x, y, 1, h), c);
    fillBox(image, QRect(x + w - 1, y, 1, h), c);
}

void setPixel(QImage& image, int x, int y, ColorRef c)
{
    if (usable(image) && x >= 0 && y >= 0 && x < image.width() && y < image.height())
        put(image, x, y, toRgb(c));
}

ColorRef pixel(const QImage& image, int x, int y)
{
    if (!usable(image) || x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return 0;
    return fromRgb(reinterpret_cast<const QRgb*>(image.constScanLine(y))[x]);
}

void drawLine(QImage& image, int x1, int y1, int x2, int y2, ColorRef c)
{
    int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    // Bounded by the line's length, so a far-away end point cannot make it run long.
    for (int steps = std::max(dx, -dy); steps > 0; --steps) {
        setPixel(image, x, y, c);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void cornerDots(QImage& image, ColorRef c)
{
    const int w = image.width(), h = image.height();
    setPixel(image, 1, 1, c);
    setPixel(image, 1, h - 2, c);
    setPixel(image, w - 2, 1, c);
    setPixel(image, w - 2, h - 2, c);
}

void focusBox(QImage& image, const QRect& rect)
{
    if (!usable(image) || rect.width() <= 0 || rect.height() <= 0)
        return;
    const auto invert = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
            return;
        auto* p = reinterpret_cast<QRgb*>(image.scanLine(y)) + x;
        *p = (*p & 0xFF000000) | (~*p & 0x00FFFFFF);
    };
    // Pixels of the outline with an even coordinate sum: a steady dot pattern on every side.
    const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
    for (int x = l; x <= r; ++x) {
        if ((x + t) % 2 == 0)
            invert(x, t);
        if (b != t && (x + b) % 2 == 0)
            invert(x, b);
    }
    for (int y = t + 1; y < b; ++y) {
        if ((l + y) % 2 == 0)
            invert(l, y);
        if (r != l && (r + y) % 2 == 0)
            invert(r, y);
    }
}

} // namespace zelvora::lumcolor
