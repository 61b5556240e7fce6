// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbuttonpicture.h"

#include "widgets/lumbutton/lumcolor.h"

#include <QPainter>
#include <array>

namespace zelvora::lumpicture {

namespace {

constexpr std::array<quint8, 256> makeTable(int factor, bool clampTop)
{
    std::array<quint8, 256> table {};
    for (int i = 0; i < 256; ++i) {
        const int v = i * factor / 255;
        table[size_t(i)] = quint8(clampTop && v > 255 ? 255 : v);
    }
    return table;
}

constexpr auto brightenTable = makeTable(293, true);
constexpr auto darkenTable = makeTable(217, false);

inline int blendChannel(int source, int destination, int level)
{
    return level >= 255 ? source : (source * level + destination * (255 - level)) / 256;
}

// The picture as the pixels to lay down: icons over the icon mask colour, bitmaps as they are.
QImage sourcePixels(const LumPicture& picture, bool& alphaPath)
{
    alphaPath = false;
    if (picture.icon) {
        QImage over(picture.size(), QImage::Format_RGB32);
        over.fill(QColor(0xC0, 0xC0, 0xC0));
        QPainter painter(&over);
        painter.drawImage(0, 0, picture.image);
        return over;
    }
    if (picture.image.hasAlphaChannel()) {
        alphaPath = true;
        return picture.image.format() == QImage::Format_ARGB32 ? picture.image
                                                               : picture.image.convertToFormat(QImage::Format_ARGB32);
    }
    return picture.image.format() == QImage::Format_RGB32 ? picture.image
                                                          : picture.image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

quint8 brighten(int channel)
{
    return brightenTable[size_t(std::clamp(channel, 0, 255))];
}

quint8 darken(int channel)
{
    return darkenTable[size_t(std::clamp(channel, 0, 255))];
}

void paintPicture(QImage& surface, const QPoint& at, const LumPicture& picture, const Blend& blend)
{
    if (picture.isNull() || picture.size().isEmpty() || surface.isNull() || surface.depth() != 32)
        return;
    const int level = std::clamp(blend.opacity, 0, 255);
    if (level == 0)
        return;
    bool alphaPath = false;
    const QImage source = sourcePixels(picture, alphaPath);
    const QRgb mask = lumcolor::toRgb(picture.icon ? ColorRef(0xC0C0C0) : blend.maskColor) & 0xFFFFFF;
    const QRect area = QRect(at, source.size()).intersected(surface.rect());
    const quint8* effectTable = blend.effect == lum::PictureEffectBrighter
        ? brightenTable.data()
        : (blend.effect == lum::PictureEffectDarker ? darkenTable.data() : nullptr);
    const QRgb silhouette = blend.silhouette ? lumcolor::toRgb(*blend.silhouette) : 0;

    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y - at.y()));
        auto* out = reinterpret_cast<QRgb*>(surface.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb s = in[x - at.x()];
            int l = level;
            if (alphaPath) {
                l = qAlpha(s) * level / 255;
                if (l == 0)
                    continue;
            } else if (blend.useMaskColor && (s & 0xFFFFFF) == mask) {
                continue;
            }
            const QRgb d = out[x];
            int r, g, b;
            if (blend.silhouette) {
                r = blendChannel(qRed(silhouette), qRed(d), l);
                g = blendChannel(qGreen(silhouette), qGreen(d), l);
                b = blendChannel(qBlue(silhouette), qBlue(d), l);
            } else if (blend.grey) {
                const int grey = std::clamp(
                    lumcolor::roundEven(lumcolor::roundEven(qRed(s) * 0.3) + qGreen(s) * 0.59 + qBlue(s) * 0.11), 0,
                    255);
                r = blendChannel(grey, qRed(d), l);
                g = blendChannel(grey, qGreen(d), l);
                b = blendChannel(grey, qBlue(d), l);
            } else {
                const auto e = [&](int v) { return effectTable ? int(effectTable[v]) : v; };
                r = blendChannel(e(qRed(s)), qRed(d), l);
                g = blendChannel(e(qGreen(s)), qGreen(d), l);
                b = blendChannel(e(qBlue(s)), qBlue(d), l);
            }
            out[x] = qRgba(r, g, b, qAlpha(d));
        }
    }
}

void paintPictureShadow(QImage& surface, const QPoint& at, const LumPicture& picture, const Blend& blend,
                        ColorRef backColor, ColorRef grey808080)
{
    const ColorRef a = lumcolor::averageColors(grey808080, backColor);
    Blend shadow = blend;
    shadow.silhouette = lumcolor::shiftColor(a, 0.05f);
    paintPicture(surface, at + QPoint(2, 2), picture, shadow);
    shadow.silhouette = lumcolor::shiftColor(a, -0.1f);
    paintPicture(surface, at + QPoint(1, 1), picture, shadow);
    paintPicture(surface, at, picture, blend);
}

} // namespace zelvora::lumpicture
