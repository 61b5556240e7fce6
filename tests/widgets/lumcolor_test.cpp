// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbuttonpicture.h"
#include "widgets/lumbutton/lumcolor.h"

#include <QPalette>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::lumcolor;

namespace {

QImage surface(int w, int h, ColorRef fill = 0x000000)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(toRgb(fill)));
    return image;
}

} // namespace

TEST(LumColor, ShiftAndAverageRoundHalvesToEvenAndClamp)
{
    struct Case
    {
        ColorRef c;
        float amount;
        ColorRef expected;
    };
    const Case shifts[] = {
        {0xD4D4D4, 0.06f, 0xE3E3E3}, // the silver scheme's glass face
        {colorRef(178, 179, 255), 0.3f, colorRef(254, 255, 255)},
        {colorRef(101, 102, 103), -0.4f, colorRef(0, 0, 1)},
        {colorRef(0, 0, 0), -0.1f, colorRef(0, 0, 0)},
        {0xBA9EA0, 0.15f, colorRef(198, 196, 224)},
        {colorRef(10, 20, 30), 0.0f, colorRef(10, 20, 30)},
    };
    for (const Case& c : shifts) {
        SCOPED_TRACE(c.c);
        EXPECT_EQ(shiftColor(c.c, c.amount), c.expected);
    }
    EXPECT_EQ(averageColors(colorRef(0, 1, 3), colorRef(1, 2, 4)), colorRef(0, 2, 4));
    EXPECT_EQ(averageColors(0xFFFFFF, 0xFFFFFF), ColorRef(0xFFFFFF));
    EXPECT_EQ(roundEven(2.5), 2);
    EXPECT_EQ(roundEven(3.5), 4);
}

TEST(LumColor, TranslatesSystemColoursFromThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(0x11, 0x22, 0x33));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x81, 0x82));
    EXPECT_EQ(translateColor(0x8000000F, palette), colorRef(0x11, 0x22, 0x33));
    EXPECT_EQ(translateColor(0x80000011, palette), colorRef(0x80, 0x81, 0x82));
    EXPECT_EQ(translateColor(0x123456, palette), ColorRef(0x123456));
    EXPECT_EQ(translateColor(0x80000063, palette), ColorRef(0xFFFFFFFF));
    EXPECT_EQ(translateColor(0x81000001, palette), ColorRef(0xFFFFFFFF));
}

TEST(LumColor, SchemeFaceColours)
{
    struct Case
    {
        int style;
        int scheme;
        std::optional<ColorRef> face;
    };
    const Case cases[] = {
        {3, 2, 0xE3E3E3},     {5, 0, 0xFCE1CA},    {5, 2, colorRef(198, 196, 224)},
        {2, 0, 0xE7EBEC},     {9, 2, 0xE1D6D5},    {10, 1, 0xBAD6D4},
        {0, 1, 0x8000000F},   {12, 2, 0x8000000F}, {13, 0, std::nullopt},
        {3, 3, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style * 10 + c.scheme);
        EXPECT_EQ(schemeBackColor(c.style, c.scheme), c.face);
    }
}

TEST(LumColor, GradientsInEveryDirection)
{
    QImage image = surface(5, 3);
    gradientFill(image, 0, 0, 5, 3, colorRef(0, 0, 0), colorRef(255, 40, 8), 0);
    const int reds[] = {0, 63, 127, 191, 255};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(red(pixel(image, x, 2)), reds[x]) << x;
    EXPECT_EQ(green(pixel(image, 1, 0)), 10);

    gradientFill(image, 0, 0, 5, 3, colorRef(0, 0, 0), colorRef(200, 0, 0), 1);
    EXPECT_EQ(red(pixel(image, 4, 1)), 100);
    gradientFill(image, 0, 0, 5, 3, colorRef(0, 0, 0), colorRef(60, 0, 0), 2);
    EXPECT_EQ(red(pixel(image, 0, 0)), 0);
    EXPECT_EQ(red(pixel(image, 4, 2)), 60);
    EXPECT_EQ(red(pixel(image, 1, 1)), 20);
    gradientFill(image, 0, 0, 5, 3, colorRef(0, 0, 0), colorRef(60, 0, 0), 3);
    EXPECT_EQ(red(pixel(image, 0, 2)), 0);
    EXPECT_EQ(red(pixel(image, 4, 0)), 60);

    // A one-pixel strip takes the sum of both halves: 255 and 255 give 254.
    gradientFill(image, 2, 1, 1, 1, 0xFFFFFF, 0xFFFFFF, 0);
    EXPECT_EQ(pixel(image, 2, 1), ColorRef(0xFEFEFE));
    // Nothing for an empty size, and a block reaching past the image is clipped.
    const QImage before = image;
    gradientFill(image, 0, 0, 0, 3, 0xFFFFFF, 0xFFFFFF, 1);
    gradientFill(image, 0, 0, 5, -1, 0xFFFFFF, 0xFFFFFF, 1);
    EXPECT_EQ(image, before);
    gradientFill(image, -100, -100, 1000, 1000, 0x0000FF, 0x0000FF, 2);
    EXPECT_EQ(pixel(image, 0, 0), ColorRef(0x0000FF));
    EXPECT_EQ(pixel(image, 4, 2), ColorRef(0x0000FF));
}

TEST(LumColor, BoxesLinesDotsAndFocus)
{
    QImage image = surface(8, 6);
    frameBox(image, 1, 1, 4, 3, 0x0000FF);
    EXPECT_EQ(pixel(image, 1, 1), ColorRef(0x0000FF));
    EXPECT_EQ(pixel(image, 4, 3), ColorRef(0x0000FF));
    EXPECT_EQ(pixel(image, 2, 2), ColorRef(0));
    EXPECT_EQ(pixel(image, 5, 1), ColorRef(0));

    image = surface(8, 6);
    drawLine(image, 1, 2, 5, 2, 0x00FF00);
    EXPECT_EQ(pixel(image, 1, 2), ColorRef(0x00FF00));
    EXPECT_EQ(pixel(image, 4, 2), ColorRef(0x00FF00));
    EXPECT_EQ(pixel(image, 5, 2), ColorRef(0)) << "the end point is not drawn";
    drawLine(image, 3, 3, 3, 3, 0x00FF00);
    EXPECT_EQ(pixel(image, 3, 3), ColorRef(0));
    drawLine(image, -50, 0, 50, 0, 0x00FF00); // clipped, no stray write
    EXPECT_EQ(pixel(image, 7, 0), ColorRef(0x00FF00));

    image = surface(8, 6);
    cornerDots(image, 0xFFFFFF);
    for (const QPoint p : {QPoint(1, 1), QPoint(1, 4), QPoint(6, 1), QPoint(6, 4)})
        EXPECT_EQ(pixel(image, p.x(), p.y()), ColorRef(0xFFFFFF));
    EXPECT_EQ(pixel(image, 0, 0), ColorRef(0));

    image = surface(8, 6, 0x202020);
    focusBox(image, QRect(1, 1, 6, 4));
    EXPECT_EQ(pixel(image, 1, 1), ColorRef(0xDFDFDF)) << "inverted";
    EXPECT_EQ(pixel(image, 2, 1), ColorRef(0x202020)) << "dotted";
    EXPECT_EQ(pixel(image, 3, 3), ColorRef(0x202020)) << "inside untouched";

    QImage empty;
    fillBox(empty, QRect(0, 0, 5, 5), 0);
    cornerDots(empty, 0);
    focusBox(empty, QRect(0, 0, 5, 5));
}

TEST(LumPicture, EffectTablesClamp)
{
    EXPECT_EQ(lumpicture::brighten(200), 229);
    EXPECT_EQ(lumpicture::brighten(230), 255);
    EXPECT_EQ(lumpicture::brighten(255), 255);
    EXPECT_EQ(lumpicture::darken(200), 170);
    EXPECT_EQ(lumpicture::darken(0), 0);
}

namespace {

// A 4 × 4 bitmap: mask-coloured border ring, a 2 × 2 centre of `centre`.
LumPicture ringPicture(QRgb centre, QRgb mask = qRgb(0xE0, 0xE0, 0xE0))
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(mask);
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 3; ++x)
            image.setPixel(x, y, centre);
    return {image, false};
}

} // namespace

TEST(LumPicture, MaskOpacityEffectsAndGrey)
{
    const LumPicture picture = ringPicture(qRgb(200, 100, 230));
    struct Case
    {
        const char* name;
        lumpicture::Blend blend;
        ColorRef border; // at (0, 0) of the picture
        ColorRef centre;
    };
    lumpicture::Blend plain;
    lumpicture::Blend noMask;
    noMask.useMaskColor = false;
    lumpicture::Blend brighter;
    brighter.effect = lum::PictureEffectBrighter;
    lumpicture::Blend darker;
    darker.effect = lum::PictureEffectDarker;
    lumpicture::Blend half;
    half.opacity = 128;
    lumpicture::Blend hidden;
    hidden.opacity = 0;
    lumpicture::Blend grey;
    grey.grey = true;
    lumpicture::Blend silhouette;
    silhouette.silhouette = colorRef(1, 2, 3);
    const int g = roundEven(roundEven(200 * 0.3) + 100 * 0.59 + 230 * 0.11);
    const Case cases[] = {
        {"mask shows the face", plain, 0x101010, colorRef(200, 100, 230)},
        {"mask off", noMask, 0xE0E0E0, colorRef(200, 100, 230)},
        {"brighter", brighter, 0x101010, colorRef(229, 114, 255)},
        {"darker", darker, 0x101010, colorRef(170, 85, 195)},
        {"half", half, 0x101010,
         colorRef((200 * 128 + 16 * 127) / 256, (100 * 128 + 16 * 127) / 256, (230 * 128 + 16 * 127) / 256)},
        {"invisible", hidden, 0x101010, 0x101010},
        {"grey", grey, 0x101010, colorRef(g, g, g)},
        {"silhouette", silhouette, 0x101010, colorRef(1, 2, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QImage image = surface(6, 6, 0x101010);
        lumpicture::paintPicture(image, QPoint(1, 1), picture, c.blend);
        EXPECT_EQ(pixel(image, 1, 1), c.border);
        EXPECT_EQ(pixel(image, 2, 2), c.centre);
    }
}

TEST(LumPicture, AlphaIconsAndShadow)
{
    QImage alpha(2, 1, QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(255, 0, 0, 128));
    alpha.setPixel(1, 0, qRgba(255, 0, 0, 0));
    QImage image = surface(3, 1, 0x000000);
    lumpicture::paintPicture(image, QPoint(0, 0), {alpha, false}, {});
    EXPECT_EQ(red(pixel(image, 0, 0)), 255 * 128 / 256);
    EXPECT_EQ(pixel(image, 1, 0), ColorRef(0));

    // An icon is laid on #C0C0C0, which is transparent only while the mask colour is used.
    QImage icon(2, 1, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixel(0, 0, qRgba(0, 0, 255, 255));
    image = surface(2, 1, 0x000000);
    lumpicture::paintPicture(image, QPoint(0, 0), {icon, true}, {});
    EXPECT_EQ(pixel(image, 0, 0), colorRef(0, 0, 255));
    EXPECT_EQ(pixel(image, 1, 0), ColorRef(0));
    lumpicture::Blend noMask;
    noMask.useMaskColor = false;
    lumpicture::paintPicture(image, QPoint(0, 0), {icon, true}, noMask);
    EXPECT_EQ(pixel(image, 1, 0), ColorRef(0xC0C0C0));

    image = surface(8, 8, 0xFFFFFF);
    const LumPicture dot = ringPicture(qRgb(0, 0, 0));
    lumpicture::paintPictureShadow(image, QPoint(1, 1), dot, {}, 0xFFFFFF, 0x808080);
    const ColorRef a = averageColors(0x808080, 0xFFFFFF);
    EXPECT_EQ(pixel(image, 2, 2), ColorRef(0)) << "the picture itself";
    EXPECT_EQ(pixel(image, 4, 3), shiftColor(a, -0.1f)) << "darker silhouette at +1, +1";
    EXPECT_EQ(pixel(image, 5, 5), shiftColor(a, 0.05f)) << "lighter silhouette at +2, +2";
}

TEST(LumPicture, LargerThanTheSurfaceIsClipped)
{
    QImage huge(400, 300, QImage::Format_RGB32);
    huge.fill(Qt::red);
    QImage image = surface(20, 10);
    for (const QPoint at : {QPoint(-200, -100), QPoint(15, 8), QPoint(-1000, 0), QPoint(0, 5000)})
        lumpicture::paintPicture(image, at, {huge, false}, {});
    EXPECT_EQ(pixel(image, 19, 9), ColorRef(0x0000FF));
}
