// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbuttonpainter.h"
#include "widgets/lumbutton/lumcolor.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::lumcolor;

namespace {

LumButtonProperties button(int style, int scheme, const QString& caption = QStringLiteral("Kaydet"))
{
    LumButtonProperties p = LumButtonProperties::newControl(caption);
    p.font = QFont(QStringLiteral("DejaVu Sans"), 9);
    p.buttonStyle = style;
    p.colorScheme = scheme;
    p.applySchemeColors();
    return p;
}

QImage draw(const LumButtonProperties& p, LumPaintState s = {}, QSize size = QSize(120, 32))
{
    return LumButtonPainter::render(size, p, s, QApplication::palette(), QApplication::style());
}

ColorRef at(const QImage& image, int x, int y)
{
    return fromRgb(image.pixel(x, y));
}

LumPaintState inState(int state, bool enabled = true)
{
    LumPaintState s;
    s.state = state;
    s.enabled = enabled;
    return s;
}

} // namespace

TEST(LumButtonPainter, GlassSilverFacesFramesAndCorners)
{
    const LumButtonProperties p = button(lum::StyleGlass, lum::SchemeSilver);
    const QImage normal = draw(p);
    EXPECT_EQ(qAlpha(normal.pixel(0, 0)), 0) << "the window shape cuts the corner";
    EXPECT_EQ(at(normal, 10, 0), ColorRef(0x707070));
    EXPECT_EQ(at(normal, 10, 1), ColorRef(0xFFFFFF));
    EXPECT_EQ(at(normal, 1, 1), ColorRef(0xBE965F)) << "corner dot";
    // Upper gradient runs from E = face + 0.05 at the top towards the face #E3E3E3.
    EXPECT_EQ(at(normal, 8, 2), shiftColor(0xE3E3E3, 0.05f));
    EXPECT_EQ(at(normal, 8, 16), shiftColor(0xE3E3E3, -0.02f)) << "lower half starts at face - 0.02";

    const struct
    {
        int state;
        ColorRef frame;
    } frames[] = {{lum::StateHot, 0xA77532}, {lum::StateDown, 0x5C411D}};
    for (const auto& f : frames)
        EXPECT_EQ(at(draw(p, inState(f.state)), 10, 0), f.frame) << f.state;

    const QImage disabled = draw(p, inState(lum::StateNormal, false));
    EXPECT_EQ(at(disabled, 8, 16), shiftColor(0xE3E3E3, 0.03f));
    EXPECT_EQ(at(disabled, 10, 0), shiftColor(0xE3E3E3, -0.25f));

    LumPaintState focused;
    focused.hasFocus = true;
    EXPECT_EQ(at(draw(p, focused), 10, 1), ColorRef(0xFBD848)) << "focus ring";
    focused.parentActive = false;
    EXPECT_EQ(at(draw(p, focused), 10, 1), ColorRef(0xFFFFFF)) << "no ring while the window is inactive";
}

TEST(LumButtonPainter, CheckedGlassPaintsPressedWithoutTheMouse)
{
    LumButtonProperties p = button(lum::StyleGlass, lum::SchemeSilver);
    p.mode = lum::ModeCheck;
    p.value = true;
    EXPECT_EQ(at(draw(p), 10, 0), ColorRef(0x5C411D));
}

TEST(LumButtonPainter, WarmToolbarFacesAndCheckedLooks)
{
    LumButtonProperties p = button(lum::StyleWarmToolbar, lum::SchemeBlue);
    EXPECT_EQ(p.backColor, ColorRef(0xFCE1CA));
    const QImage normal = draw(p);
    EXPECT_EQ(at(normal, 8, 16), ColorRef(0xFCE1CA)) << "lower band starts at the face #CAE1FC";
    EXPECT_NE(at(normal, 0, 0), ColorRef(0x800000)) << "no frame while normal";
    EXPECT_EQ(at(draw(p, inState(lum::StateHot)), 0, 10), ColorRef(0x800000));
    // Row 1 of a top-to-bottom gradient over 32 rows: c1 + (c2 - c1) * 1 div 31 per channel.
    const auto row1 = [](ColorRef c1, ColorRef c2) {
        const auto ch = [](int a, int b) { return a + (b - a) / 31; };
        return colorRef(ch(red(c1), red(c2)), ch(green(c1), green(c2)), ch(blue(c1), blue(c2)));
    };
    EXPECT_EQ(at(draw(p, inState(lum::StateHot)), 8, 1), row1(0xCCF4FF, 0x91D0FF));
    EXPECT_EQ(at(draw(p, inState(lum::StateDown)), 8, 1), row1(0x4E91FE, 0x8ED3FF));
    p.mode = lum::ModeOption;
    p.value = true;
    EXPECT_EQ(at(draw(p), 8, 1), row1(0x8CD5FF, 0x55ADFF)) << "checked, cursor away";
    LumPaintState over;
    over.mouseOver = true;
    EXPECT_EQ(at(draw(p, over), 8, 1), row1(0x4E91FE, 0x8ED3FF)) << "checked, cursor over";
}

TEST(LumButtonPainter, DisabledCaptionIsGreyTextAndEnabledIsButtonText)
{
    const LumButtonProperties p = button(lum::StyleGlass, lum::SchemeSilver, QStringLiteral("MMMMMMMM"));
    const ColorRef text = translateColor(lum::SysButtonText, QApplication::palette());
    const ColorRef grey = translateColor(lum::SysGrayText, QApplication::palette());
    const auto contains = [](const QImage& image, ColorRef c) {
        for (int y = 4; y < image.height() - 4; ++y)
            for (int x = 4; x < image.width() - 4; ++x)
                if (fromRgb(image.pixel(x, y)) == c)
                    return true;
        return false;
    };
    EXPECT_TRUE(contains(draw(p), text));
    EXPECT_TRUE(contains(draw(p, inState(lum::StateNormal, false)), grey));
    EXPECT_FALSE(contains(draw(p, inState(lum::StateNormal, false)), text));
}

TEST(LumButtonPainter, EveryStyleAndStatePaintsInsideTheImage)
{
    // Under the sanitizers these also prove that nothing reads or writes outside the image.
    QImage huge(300, 200, QImage::Format_RGB32);
    huge.fill(Qt::blue);
    const QSize sizes[] = {{120, 32}, {0, 0}, {1, 1}, {120, 1}, {3, 40}, {15, 15}};
    for (int style = 0; style <= 13; ++style) {
        for (const QSize size : sizes) {
            for (int state = 0; state <= 2; ++state) {
                LumButtonProperties p
                    = button(style, lum::SchemeBlue,
                             QStringLiteral("Çok uzun bir başlık ki düğmeye hiç sığmaz, sarılır ve taşar"));
                p.pictureNormal = {huge, false};
                p.pictureShadow = true;
                p.dropDownSymbol = 6;
                p.dropDownSeparator = true;
                p.captionEffects = lum::EffectGlow;
                p.pictureAlign = (style + state) % 9;
                const QImage image = draw(p, inState(state), size);
                EXPECT_EQ(image.size(), size);
                p.caption.clear();
                draw(p, inState(state, false), size);
            }
        }
    }
}

TEST(LumButtonPainter, OnePixelHighButtonGetsItsFramesButNoGradient)
{
    const QImage image = draw(button(lum::StyleGlass, lum::SchemeSilver), {}, QSize(40, 1));
    EXPECT_EQ(at(image, 20, 0), ColorRef(0x707070));
}

TEST(LumButtonPainter, ThemedWithoutAStyleFallsBackToFramedGradientBlue)
{
    LumButtonProperties p = button(lum::StyleThemed, lum::SchemeBlue);
    const QImage fallback = LumButtonPainter::render(QSize(120, 32), p, {}, QApplication::palette(), nullptr);
    EXPECT_EQ(at(fallback, 10, 0), ColorRef(0x743C00));
    const QImage themed = draw(p);
    EXPECT_NE(at(themed, 10, 0), ColorRef(0x743C00));
}

TEST(LumButtonPainter, CaptionLayoutFollowsThePicture)
{
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 0));
    LumButtonProperties p = button(lum::StyleWarmToolbar, lum::SchemeBlue, QStringLiteral("MM"));
    // The first column, from fromX on, that the caption colour reaches.
    const auto captionStart = [](LumButtonProperties props, int fromX) {
        props.foreColor = 0x000000;
        const QImage black = draw(props);
        props.foreColor = 0x0000FF;
        const QImage red = draw(props);
        for (int x = fromX; x < black.width(); ++x)
            for (int y = 0; y < black.height(); ++y)
                if (black.pixel(x, y) != red.pixel(x, y))
                    return x;
        return -1;
    };
    const int plain = captionStart(p, 0);
    ASSERT_GT(plain, 0);
    p.pictureNormal = {picture, false};
    p.pictureAlign = lum::PictureLeftEdge;
    const QImage with = draw(p);
    EXPECT_EQ(at(with, 3, 8), ColorRef(0)) << "picture at x = 3, centred in height";
    EXPECT_NE(at(with, 2, 8), ColorRef(0));
    EXPECT_EQ(at(with, 18, 23), ColorRef(0));
    // A centred caption beside a picture at the left is centred in W + PW.
    EXPECT_EQ(captionStart(p, 0), plain + 8);

    // A left caption is pushed clear of the picture, to PW + 4.
    p.captionAlign = lum::CaptionLeft;
    const int left = captionStart(p, 0);
    EXPECT_GE(left, 20);
    EXPECT_LE(left, 22) << "no more than the glyph's own side bearing";
}

TEST(LumButtonPainter, WindowShapesOfTheRoundedStyles)
{
    const QRegion glass = LumButtonPainter::windowShape(lum::StyleGlass, 20, 10);
    EXPECT_FALSE(glass.contains(QPoint(0, 0)));
    EXPECT_TRUE(glass.contains(QPoint(1, 0)));
    EXPECT_FALSE(glass.contains(QPoint(19, 9)));
    const QRegion silver = LumButtonPainter::windowShape(lum::StyleSilver, 20, 10);
    EXPECT_FALSE(silver.contains(QPoint(1, 0)));
    EXPECT_FALSE(silver.contains(QPoint(19, 8)));
    EXPECT_TRUE(silver.contains(QPoint(1, 1)));
    EXPECT_EQ(LumButtonPainter::windowShape(lum::StyleWarmToolbar, 20, 10), QRegion(0, 0, 20, 10));
    EXPECT_EQ(LumButtonPainter::windowShape(lum::StyleGlass, 0, 0), QRegion());
}
