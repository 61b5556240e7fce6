// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonproperties.h"
#include "widgets/lumbutton/lumcolor.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

const QFont ambient(QStringLiteral("DejaVu Sans"), 10);

// Button text black and a tooltip colour of its own, so the save defaults are known.
QPalette testPalette()
{
    QPalette palette;
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Button, QColor(0xEF, 0xEF, 0xEF));
    palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC));
    return palette;
}

LumButtonProperties configured()
{
    LumButtonProperties p = LumButtonProperties::newControl(QStringLiteral("&Kaydet"));
    p.buttonStyle = lum::StyleGlass;
    p.colorScheme = lum::SchemeSilver;
    p.applySchemeColors();
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::green);
    p.pictureNormal = {picture, false};
    p.pictureShadow = true;
    p.pictureAlign = lum::PictureLeftEdge;
    p.captionAlign = lum::CaptionLeft;
    p.toolTip = QStringLiteral("İpucu");
    p.mode = lum::ModeCheck;
    p.value = true;
    p.dropDownSymbol = 6;
    return p;
}

} // namespace

TEST(LumButtonProperties, NewControlAndSchemeRules)
{
    const LumButtonProperties fresh = LumButtonProperties::newControl(QStringLiteral("lumbutton1"));
    EXPECT_EQ(fresh.buttonStyle, lum::StyleThemed);
    EXPECT_EQ(fresh.colorScheme, lum::SchemeBlue);
    EXPECT_FALSE(fresh.showFocusRect);
    EXPECT_EQ(fresh.font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(fresh.maskColor, ColorRef(0xE0E0E0));
    EXPECT_EQ(fresh.foreColor, lum::SysButtonText);

    const struct
    {
        int style;
        int scheme;
    } defaults[] = {{3, 2}, {9, 2}, {0, 0},  {1, 0}, {2, 0},  {4, 0},  {6, 0},
                    {7, 0}, {8, 0}, {10, 0}, {5, 1}, {11, 1}, {12, 1}, {13, 1}};
    for (const auto& d : defaults)
        EXPECT_EQ(LumButtonProperties::defaultScheme(d.style, lum::SchemeOlive), d.scheme) << d.style;

    LumButtonProperties p = fresh;
    p.buttonStyle = lum::StyleHotTrack;
    p.applySchemeColors();
    EXPECT_TRUE(p.picturePushOnHover);
    EXPECT_EQ(p.backColor, lum::SysButtonFace);
    p.buttonStyle = lum::StyleThinEdge;
    p.applySchemeColors();
    EXPECT_TRUE(p.showFocusRect);
}

TEST(LumButtonProperties, WidgetSettersKeepTheirSideRules)
{
    QWidget window;
    LumButton b(QStringLiteral("x"), &window);
    b.setButtonStyle(lum::StyleGlass);
    EXPECT_EQ(b.colorScheme(), lum::SchemeSilver);
    EXPECT_EQ(b.backColor(), ColorRef(0xE3E3E3));
    b.setBackColor(0x123456);
    EXPECT_EQ(b.colorScheme(), lum::SchemeCustom);
    b.setButtonStyle(lum::StyleWarmToolbar); // keeps the custom scheme and its colour
    EXPECT_EQ(b.backColor(), ColorRef(0x123456));
    b.setColorScheme(lum::SchemeBlue);
    EXPECT_EQ(b.backColor(), ColorRef(0xFCE1CA));
    b.setButtonStyle(lum::StyleHotTrack);
    b.setBackColor(0x010203);
    EXPECT_EQ(b.colorScheme(), lum::SchemeBlue) << "style 4 keeps its scheme";

    LumPicture picture {QImage(8, 8, QImage::Format_RGB32), false};
    b.setPictureHot(picture);
    EXPECT_FALSE(b.pictureNormal().isNull()) << "a hot picture without a normal one becomes the normal one";
    EXPECT_TRUE(b.pictureHot().isNull());
    b.setPictureDown(picture);
    EXPECT_FALSE(b.pictureDown().isNull());
    b.setPictureNormal({});
    EXPECT_TRUE(b.pictureDown().isNull());

    b.setMode(lum::ModePush);
    b.setValue(true);
    EXPECT_FALSE(b.value()) << "a push button takes no value";
    b.setHandPointer(true);
    b.setMousePointer(3);
    b.setHandPointer(true);
    EXPECT_EQ(b.mousePointer(), 0);
    b.setMouseIcon(QImage(8, 8, QImage::Format_ARGB32));
    EXPECT_EQ(b.mousePointer(), 99);
    EXPECT_FALSE(b.handPointer());
}

TEST(LumButtonProperties, SavedKeysInOrderWithDefaultsLeftOut)
{
    LumPropertyBag bag;
    saveLumButton(configured(), bag, testPalette(), ambient);
    // ForeColor is the system colour number, not its translation, so it is written.
    const QStringList expected = {QStringLiteral("ButtonStyle"),
                                  QStringLiteral("Font"),
                                  QStringLiteral("BackColor"),
                                  QStringLiteral("Caption"),
                                  QStringLiteral("ForeColor"),
                                  QStringLiteral("Mode"),
                                  QStringLiteral("Value"),
                                  QStringLiteral("PictureNormal"),
                                  QStringLiteral("PictureAlign"),
                                  QStringLiteral("PictureEffectOnOver"),
                                  QStringLiteral("PictureEffectOnDown"),
                                  QStringLiteral("PictureShadow"),
                                  QStringLiteral("CaptionEffects"),
                                  QStringLiteral("CaptionAlign"),
                                  QStringLiteral("ToolTip"),
                                  QStringLiteral("TooltipBackColor"),
                                  QStringLiteral("DropDownSymbol"),
                                  QStringLiteral("ColorScheme")};
    EXPECT_EQ(bag.keys(), expected);

    // A button captioned "lumbutton1" in its save defaults writes only CaptionEffects, always.
    LumButtonProperties defaults = loadLumButton(LumPropertyBag(), testPalette(), ambient);
    defaults.caption = QStringLiteral("lumbutton1");
    LumPropertyBag minimal;
    saveLumButton(defaults, minimal, testPalette(), ambient);
    EXPECT_EQ(minimal.keys(), QStringList {QStringLiteral("CaptionEffects")});
}

TEST(LumButtonProperties, RoundTripAndLowerCaseKeys)
{
    const LumButtonProperties original = configured();
    LumPropertyBag bag;
    saveLumButton(original, bag, testPalette(), ambient);
    EXPECT_EQ(loadLumButton(bag, testPalette(), ambient), original);

    LumPropertyBag lower;
    for (const auto& [key, value] : bag.entries())
        lower.write(key.toLower(), value);
    EXPECT_EQ(loadLumButton(lower, testPalette(), ambient), original);
}

TEST(LumButtonProperties, AbsentAndBadValuesTakeTheAbsentColumn)
{
    const QPalette palette = testPalette();
    const LumButtonProperties empty = loadLumButton(LumPropertyBag(), palette, ambient);
    EXPECT_EQ(empty.caption, QStringLiteral("lumbutton"));
    EXPECT_EQ(empty.buttonStyle, 1);
    EXPECT_EQ(empty.pictureEffectOnOver, lum::PictureEffectBrighter);
    EXPECT_EQ(empty.pictureEffectOnDown, lum::PictureEffectDarker);
    EXPECT_EQ(empty.font, ambient);
    EXPECT_EQ(empty.backColor, lumcolor::translateColor(lum::SysButtonFace, palette));
    EXPECT_EQ(empty.tooltipBackColor, lumcolor::translateColor(lum::SysInfoBackground, palette));

    LumPropertyBag bad;
    bad.write(QStringLiteral("buttonstyle"), 14);
    bad.write(QStringLiteral("PictureOpacity"), 300);
    bad.write(QStringLiteral("Mode"), QStringLiteral("iki"));
    bad.write(QStringLiteral("BackColor"), QStringLiteral("mavi"));
    bad.write(QStringLiteral("ForeColor"), qint64(0x7F000000));
    bad.write(QStringLiteral("Enabled"), 7);
    bad.write(QStringLiteral("Caption"), 42);
    bad.write(QStringLiteral("Font"), QStringLiteral(""));
    bad.write(QStringLiteral("PictureNormal"), QByteArray("not a picture"));
    bad.write(QStringLiteral("CaptionAlign"), -1);
    // Good values beside the bad ones still load.
    bad.write(QStringLiteral("TOOLTIP"), QStringLiteral("Kayıt"));
    bad.write(QStringLiteral("colorscheme"), QStringLiteral("2"));
    bad.write(QStringLiteral("MaskColor"), qint64(0xFF00FF));
    const LumButtonProperties p = loadLumButton(bad, palette, ambient);
    EXPECT_EQ(p.buttonStyle, 1);
    EXPECT_EQ(p.pictureOpacity, 255);
    EXPECT_EQ(p.mode, 0);
    EXPECT_EQ(p.backColor, empty.backColor);
    EXPECT_EQ(p.foreColor, empty.foreColor);
    EXPECT_TRUE(p.enabled);
    EXPECT_EQ(p.caption, QStringLiteral("lumbutton"));
    EXPECT_EQ(p.font, ambient);
    EXPECT_TRUE(p.pictureNormal.isNull());
    EXPECT_EQ(p.captionAlign, 1);
    EXPECT_EQ(p.toolTip, QStringLiteral("Kayıt"));
    EXPECT_EQ(p.colorScheme, 2);
    EXPECT_EQ(p.maskColor, ColorRef(0xFF00FF));
}

TEST(LumButtonProperties, LoadingKeepsStoredColoursOverTheScheme)
{
    QWidget window;
    LumButton b(QStringLiteral("x"), &window);
    LumPropertyBag bag;
    bag.write(QStringLiteral("buttonstyle"), 3);
    bag.write(QStringLiteral("backcolor"), qint64(0x0000FF));
    bag.write(QStringLiteral("caption"), QStringLiteral("&Sil"));
    bag.write(QStringLiteral("enabled"), false);
    b.readProperties(bag);
    EXPECT_EQ(b.buttonStyle(), 3);
    EXPECT_EQ(b.backColor(), ColorRef(0x0000FF));
    EXPECT_EQ(b.accessKey(), QLatin1Char('s'));
    EXPECT_FALSE(b.isEnabled());
    LumPropertyBag saved;
    b.writeProperties(saved);
    EXPECT_EQ(saved.value(QStringLiteral("BACKCOLOR")).toLongLong(), 0x0000FF);
}
