// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/lumbutton/lumbuttonproperties.h"

#include <optional>

namespace zelvora::lumpicture {

// How one picture is laid over the face.
struct Blend
{
    ColorRef maskColor = 0xE0E0E0; // a bitmap's transparent colour (icons always use #C0C0C0)
    bool useMaskColor = true;
    int opacity = 255; // L, 0 to 255
    int effect = lum::PictureEffectNone;
    bool grey = false;
    std::optional<ColorRef> silhouette; // every visible pixel painted in this colour instead
};

// About 15 % brighter and darker channel values.
quint8 brighten(int channel);
quint8 darken(int channel);

// Composites picture with its top-left corner at `at` onto surface; what falls outside is clipped.
void paintPicture(QImage& surface, const QPoint& at, const LumPicture& picture, const Blend& blend);
// Two offset silhouettes (a light one at +2, +2 and a darker one at +1, +1), then the picture.
void paintPictureShadow(QImage& surface, const QPoint& at, const LumPicture& picture, const Blend& blend,
                        ColorRef backColor, ColorRef grey808080);

} // namespace zelvora::lumpicture
