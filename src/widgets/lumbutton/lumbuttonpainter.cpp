// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbuttonpainter.h"

#include "widgets/lumbutton/lumbuttonpicture.h"
#include "widgets/lumbutton/lumcolor.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionButton>

namespace zelvora {

using namespace lumcolor;

namespace {

constexpr ColorRef White = 0xFFFFFF;
constexpr ColorRef Black = 0x000000;

int half(int v)
{
    return roundEven(v / 2.0);
}

bool isChecked(const LumButtonProperties& p)
{
    return p.mode != lum::ModePush && p.value;
}

// One paint of one button: the surface, the properties and the drawing state.
class Paint
{
public:
    Paint(QImage& image, const LumButtonProperties& p, const LumPaintState& s, const QPalette& palette,
          const QStyle* themeStyle)
        : img(image)
        , props(p)
        , st(s)
        , pal(palette)
        , theme(themeStyle)
        , W(image.width())
        , H(image.height())
        , state(s.state)
        , style(p.buttonStyle)
    {
    }

    void run();

private:
    ColorRef T(ColorRef c) const { return translateColor(c, pal); }
    void raisedEdge(int x, int y, int w, int h, bool innerOnly);
    void sunkenEdge(int x, int y, int w, int h);
    void edge(int x, int y, int w, int h, ColorRef topLeft, ColorRef bottomRight);
    void focusInset(int inset) { focusBox(img, QRect(inset, inset, W - 2 * inset, H - 2 * inset)); }

    void paintClassic(); // styles 0, 1, 11 and 12
    void paintFramedGradient(); // 2
    void paintGlass(); // 3
    void paintHotTrack(); // 4
    void paintWarmToolbar(); // 5
    void paintSilver(); // 6
    void paintLightHover(); // 7
    void paintGel(); // 8
    void paintWhiteGloss(); // 9
    void paintSoftGloss(); // 10
    void paintThemed(); // 13
    void paintContent();

    QImage& img;
    const LumButtonProperties& props;
    const LumPaintState& st;
    const QPalette& pal;
    const QStyle* theme;
    const int W;
    const int H;
    int state;
    int style;
    ColorRef F = 0;
    ColorRef captionColor = 0;
    bool captionColorSet = false;
};

void Paint::edge(int x, int y, int w, int h, ColorRef topLeft, ColorRef bottomRight)
{
    if (w <= 0 || h <= 0)
        return;
    fillBox(img, QRect(x, y, w, 1), topLeft);
    fillBox(img, QRect(x, y, 1, h), topLeft);
    fillBox(img, QRect(x, y + h - 1, w, 1), bottomRight);
    fillBox(img, QRect(x + w - 1, y, 1, h), bottomRight);
}

void Paint::raisedEdge(int x, int y, int w, int h, bool innerOnly)
{
    if (innerOnly) {
        edge(x, y, w, h, T(0x80000014), T(0x80000010));
        return;
    }
    edge(x, y, w, h, T(0x80000016), T(0x80000015));
    edge(x + 1, y + 1, w - 2, h - 2, T(0x80000014), T(0x80000010));
}

void Paint::sunkenEdge(int x, int y, int w, int h)
{
    edge(x, y, w, h, T(0x80000010), T(0x80000014));
    edge(x + 1, y + 1, w - 2, h - 2, T(0x80000015), T(0x80000016));
}

void Paint::run()
{
    fillBox(img, img.rect(), T(lum::SysButtonFace));
    if (W <= 0 || H <= 0)
        return;
    if (props.mode != lum::ModePush && style != lum::StyleStandard && style != lum::StyleSilver && props.value)
        state = lum::StateDown;
    if (style == lum::StyleThemed && !theme)
        style = lum::StyleFramedGradient;
    F = T(style == props.buttonStyle ? props.backColor : *schemeBackColor(lum::StyleFramedGradient, lum::SchemeBlue));
    switch (style) {
    case lum::StyleFramedGradient:
        paintFramedGradient();
        break;
    case lum::StyleGlass:
        paintGlass();
        break;
    case lum::StyleHotTrack:
        paintHotTrack();
        break;
    case lum::StyleWarmToolbar:
        paintWarmToolbar();
        break;
    case lum::StyleSilver:
        paintSilver();
        break;
    case lum::StyleLightHover:
        paintLightHover();
        break;
    case lum::StyleGel:
        paintGel();
        break;
    case lum::StyleWhiteGloss:
        paintWhiteGloss();
        break;
    case lum::StyleSoftGloss:
        paintSoftGloss();
        break;
    case lum::StyleThemed:
        paintThemed();
        break;
    default:
        paintClassic();
        break;
    }
}

void Paint::paintClassic()
{
    const bool checked = isChecked(props);
    const bool thin = style == lum::StyleThinEdge || style == lum::StyleFlatThin;
    if (!st.enabled) {
        if (style == lum::StyleStandard || style == lum::StyleThinEdge) {
            paintContent();
            raisedEdge(0, 0, W, H, style == lum::StyleThinEdge);
        } else {
            paintContent();
        }
        return;
    }
    if (checked) {
        fillBox(img, img.rect(), shiftColor(F, 0.02f));
        paintContent();
        if (style != lum::StyleFlatThin)
            sunkenEdge(0, 0, W, H);
        if (style == lum::StyleStandard && st.hasFocus && props.showFocusRect)
            frameBox(img, 4, 4, W - 7, H - 7, T(lum::SysAppWorkspace));
        return;
    }
    fillBox(img, img.rect(), F);
    paintContent();
    if (state == lum::StateDown) {
        if (style == lum::StyleStandard) {
            frameBox(img, 1, 1, W - 2, H - 2, 0x99A8AC);
            frameBox(img, 0, 0, W, H, Black);
        } else if (style == lum::StyleFlat3D) {
            sunkenEdge(0, 0, W, H);
        } else {
            frameBox(img, 0, 0, W, H, White);
            frameBox(img, 0, 0, W + 1, H + 1, T(lum::SysGrayText));
        }
    } else if (state == lum::StateHot || style == lum::StyleStandard || style == lum::StyleThinEdge) {
        raisedEdge(0, 0, W, H, thin);
    }
    const bool marked = (st.hasFocus || st.isDefault) && st.parentActive;
    if (style == lum::StyleStandard && marked && state != lum::StateDown) {
        raisedEdge(0, 0, W - 1, H - 1, false);
        frameBox(img, 0, 0, W - 1, H - 1, T(lum::SysAppWorkspace));
        frameBox(img, 0, 0, W, H, Black);
    }
    if (marked && props.showFocusRect && st.running)
        focusInset(thin ? 3 : 4);
}

void Paint::paintFramedGradient()
{
    constexpr ColorRef outer = 0x743C00;
    if (!st.enabled) {
        fillBox(img, img.rect(), F);
        paintContent();
        frameBox(img, 0, 0, W, H, shiftColor(F, -0.25f));
        cornerDots(img, shiftColor(F, -0.1f));
        return;
    }
    if (state == lum::StateDown) {
        gradientFill(img, 0, 0, W, H, shiftColor(F, -0.15f), shiftColor(F, -0.01f), 1);
        paintContent();
        drawLine(img, 1, H - 2, W - 1, H - 2, shiftColor(F, 0.22f));
        drawLine(img, W - 2, 1, W - 2, H - 1, shiftColor(F, 0.1f));
    } else {
        const ColorRef top = state == lum::StateHot ? shiftColor(F, 0.1f) : averageColors(F, shiftColor(F, 0.1f));
        gradientFill(img, 0, 0, W, H - 4, top, shiftColor(F, 0.07f), 1);
        gradientFill(img, 0, H - 4, W, 4, shiftColor(F, 0.07f), shiftColor(F, -0.08f), 1);
        paintContent();
        const bool marked = (st.hasFocus || st.isDefault) && st.parentActive && state == lum::StateNormal;
        if (state == lum::StateHot) {
            drawLine(img, 2, 1, W - 2, 1, 0xCFF0FF);
            drawLine(img, 1, 2, W - 1, 2, 0x89D8FD);
            drawLine(img, 1, 2, 1, H - 2, 0x7AD2FC);
            drawLine(img, W - 2, 2, W - 2, H - 2, 0x7AD2FC);
            drawLine(img, 2, 3, 2, H - 3, 0x49BDF9);
            drawLine(img, W - 3, 3, W - 3, H - 3, 0x49BDF9);
            drawLine(img, 1, H - 3, W - 1, H - 3, 0x49BDF9);
            drawLine(img, 2, H - 2, W - 2, H - 2, 0x30B3F8);
        } else if (marked) {
            const bool olive = props.colorScheme == lum::SchemeOlive;
            const ColorRef ring[]
                = {olive ? ColorRef(0x8FD1C2) : ColorRef(0xFFE7CE), olive ? ColorRef(0x80CBB1) : ColorRef(0xF6D4BC),
                   olive ? ColorRef(0x68C8A0) : ColorRef(0xF4D1B8), olive ? ColorRef(0x68C8A0) : ColorRef(0xE6AF8E),
                   olive ? ColorRef(0x66A7A8) : ColorRef(0xE4AD89), olive ? ColorRef(0x66A7A8) : ColorRef(0xEE8269)};
            drawLine(img, 2, 1, W - 2, 1, ring[0]);
            drawLine(img, 1, 2, W - 1, 2, ring[1]);
            drawLine(img, 1, 2, 1, H - 2, ring[2]);
            drawLine(img, W - 2, 2, W - 2, H - 2, ring[3]);
            drawLine(img, 1, H - 3, W - 1, H - 3, ring[4]);
            drawLine(img, 2, H - 2, W - 2, H - 2, ring[5]);
        }
    }
    frameBox(img, 0, 0, W, H, outer);
    cornerDots(img, shiftColor(outer, 0.3f));
    if (props.showFocusRect && st.hasFocus && st.parentActive)
        focusInset(3);
}

void Paint::paintGlass()
{
    if (!st.enabled) {
        fillBox(img, img.rect(), shiftColor(F, 0.03f));
        paintContent();
        frameBox(img, 0, 0, W, H, shiftColor(F, -0.25f));
        frameBox(img, 1, 1, W - 2, H - 2, shiftColor(F, 0.25f));
        cornerDots(img, shiftColor(F, -0.03f));
        return;
    }
    const int h2 = half(H);
    if (state == lum::StateHot) {
        gradientFill(img, 1, 1, W - 2, h2, 0xFFF7E4, 0xFFF3DA, 1);
        gradientFill(img, 1, h2, W - 2, H - 2, 0xFFE9C1, 0xFDE1AE, 1);
        gradientFill(img, 1, 3, 5, h2 - 2, 0xFFEECD, 0xFFF7E4, 0);
        gradientFill(img, 1, h2, 5, H - h2 - 1, 0xFAD68F, shiftColor(0xFDE1AC, 0.01f), 0);
        gradientFill(img, W - 6, 3, 5, h2 - 2, 0xFFF7E4, 0xFFEECD, 0);
        gradientFill(img, W - 6, h2, 5, H - h2 - 1, shiftColor(0xFDE1AC, 0.01f), 0xFAD68F, 0);
        paintContent();
        frameBox(img, 0, 0, W, H, 0xA77532);
        frameBox(img, 1, 1, W - 2, H - 2, White);
    } else if (state == lum::StateDown) {
        gradientFill(img, 1, 1, W - 1, H, 0xF6E4C2, 0xF6E4C2, 1);
        gradientFill(img, 1, h2, W - 2, H - 2, 0xF0D29A, 0xF0D29A, 1);
        frameBox(img, 0, 0, W, H, 0x5C411D);
        drawLine(img, 1, 1, W - 1, 1, 0xB39C71);
        drawLine(img, 1, 2, W - 1, 2, 0xD6C6A9);
        drawLine(img, 1, 3, W - 1, 3, 0xECD9B9);
        drawLine(img, 1, 1, 1, h2 - 1, 0xCFB073);
        drawLine(img, 1, h2, 1, h2 - 1, 0xC5912B);
        gradientFill(img, 1, 3, 5, h2 - 2, shiftColor(0xE6C891, 0.02f), shiftColor(0xF6E4C2, -0.01f), 0);
        gradientFill(img, 1, h2, 5, H - h2 - 1, shiftColor(0xDCAB4E, 0.02f), shiftColor(0xF0D29A, -0.01f), 0);
        gradientFill(img, W - 6, 3, 5, h2 - 2, shiftColor(0xF6E4C2, -0.01f), shiftColor(0xE6C891, 0.02f), 0);
        gradientFill(img, W - 6, h2, 5, H - h2 - 1, shiftColor(0xF0D29A, -0.01f), shiftColor(0xDCAB4E, 0.02f), 0);
        paintContent();
    } else {
        gradientFill(img, 1, 1, W - 1, H, shiftColor(F, 0.05f), F, 1);
        gradientFill(img, 1, h2, W - 2, H - 2, shiftColor(F, -0.02f), shiftColor(F, -0.15f), 1);
        paintContent();
        frameBox(img, 0, 0, W, H, 0x707070);
        frameBox(img, 1, 1, W - 2, H - 2, White);
    }
    if (st.parentActive) {
        if ((st.hasFocus || st.isDefault) && state == lum::StateNormal) {
            frameBox(img, 0, 0, W, H, 0xA77532);
            frameBox(img, 1, 1, W - 2, H - 2, 0xFBD848);
        }
        if (props.showFocusRect && st.hasFocus)
            focusBox(img, QRect(2, 2, W - 4, H - 4));
    }
    cornerDots(img, 0xBE965F);
}

void Paint::paintHotTrack()
{
    ColorRef s = F, border = shiftColor(F, -0.12f);
    switch (props.colorScheme) {
    case lum::SchemeBlue:
        s = 0xEED2C1, border = 0xC56A31;
        break;
    case lum::SchemeOlive:
        s = 0xBAD6D4, border = 0x70A093;
        break;
    case lum::SchemeSilver:
        s = 0xE3DFE0, border = 0xBFB4B2;
        break;
    default:
        break;
    }
    if (!st.enabled) {
        fillBox(img, img.rect(), F);
        paintContent();
        return;
    }
    const bool framed = isChecked(props) || state != lum::StateNormal;
    if (isChecked(props))
        fillBox(img, img.rect(), shiftColor(s, st.mouseOver ? -0.01f : -0.05f));
    else if (state == lum::StateHot)
        fillBox(img, img.rect(), shiftColor(s, 0.03f));
    else if (state == lum::StateDown)
        fillBox(img, img.rect(), shiftColor(s, -0.08f));
    else
        fillBox(img, img.rect(), F);
    paintContent();
    if (framed)
        frameBox(img, 0, 0, W, H, border);
}

void Paint::paintWarmToolbar()
{
    constexpr ColorRef navy = 0x800000;
    if (isChecked(props)) {
        if (st.mouseOver)
            gradientFill(img, 0, 0, W, H, 0x4E91FE, 0x8ED3FF, 1);
        else
            gradientFill(img, 0, 0, W, H, 0x8CD5FF, 0x55ADFF, 1);
        paintContent();
        frameBox(img, 0, 0, W, H, navy);
        return;
    }
    const int h2 = half(H);
    switch (st.enabled ? state : int(lum::StateNormal)) {
    case lum::StateHot:
        gradientFill(img, 0, 0, W, H, 0xCCF4FF, 0x91D0FF, 1);
        paintContent();
        frameBox(img, 0, 0, W, H, navy);
        break;
    case lum::StateDown:
        gradientFill(img, 0, 0, W, H, 0x4E91FE, 0x8ED3FF, 1);
        paintContent();
        frameBox(img, 0, 0, W, H, navy);
        break;
    default:
        gradientFill(img, 0, 0, W, h2, averageColors(White, shiftColor(F, 0.08f)), F, 1);
        gradientFill(img, 0, h2, W, roundEven(H / 2.0 + 1), F, shiftColor(F, -0.15f), 1);
        paintContent();
        break;
    }
    // The style itself shows no focus; a button that asks for the focus rectangle gets the dotted one, so a
    // keyboard user sees where the focus is in a row of these buttons.
    if (props.showFocusRect && st.enabled && st.hasFocus && st.parentActive)
        focusInset(3);
}

void Paint::paintSilver()
{
    if (!captionColorSet) {
        captionColor = state == lum::StateDown ? White : T(lum::SysButtonText);
        captionColorSet = true;
    }
    const QRect client = img.rect();
    if (!st.enabled) {
        fillBox(img, client, F);
        paintContent();
        return;
    }
    if (isChecked(props) && state != lum::StateDown) {
        fillBox(img, client, 0xFEFEFE);
        paintContent();
        frameBox(img, 0, 0, W, H, 0xAF987A);
        if (state == lum::StateHot) {
            drawLine(img, 1, 1, W - 1, 1, 0xEDF0F2);
            drawLine(img, 1, 2, 1, H - 1, 0xD8DEE4);
            drawLine(img, W - 2, 2, W - 2, H - 1, 0xE8ECEF);
            drawLine(img, 2, H - 2, W - 2, H - 2, 0xF8F9FA);
        }
        cornerDots(img, shiftColor(0xC1B3A0, -0.2f));
        return;
    }
    const int h2 = half(H);
    if (state == lum::StateHot) {
        gradientFill(img, 0, 0, W, h2, 0xFDFEFE, 0xEEF4F4, 1);
        gradientFill(img, 0, h2, W, H - h2, 0xEEF4F4, 0xEAF1F1, 1);
        paintContent();
        drawLine(img, W - 2, 0, W - 2, H, 0xE0E7EA);
        drawLine(img, W - 3, 0, W - 3, H, 0xEAF0F0);
        drawLine(img, 0, H - 4, W, H - 4, 0xE5EDEE);
        drawLine(img, 0, H - 3, W, H - 3, 0xD6E1E4);
        drawLine(img, 0, H - 2, W, H - 2, 0xC6D2D7);
        frameBox(img, 0, 0, W, H, 0xC3CECE);
    } else if (state == lum::StateDown) {
        fillBox(img, client, 0xDDE4E5);
        paintContent();
        drawLine(img, 0, 1, W, 1, shiftColor(0xD1DADC, -0.02f));
        drawLine(img, 0, 2, W, 2, shiftColor(0xDAE1E3, -0.02f));
        drawLine(img, 0, H - 3, W, H - 3, shiftColor(0xDEE5E6, 0.02f));
        drawLine(img, 0, H - 2, W, H - 2, shiftColor(0xE5EAEB, 0.02f));
        frameBox(img, 0, 0, W, H, 0x929D9D);
    } else {
        fillBox(img, client, F);
        paintContent();
    }
}

void Paint::paintLightHover()
{
    if (!st.enabled || state == lum::StateNormal) {
        fillBox(img, img.rect(), F);
        paintContent();
        if (!st.enabled)
            cornerDots(img, F);
        return;
    }
    if (state == lum::StateHot) {
        gradientFill(img, 1, 1, W - 2, H - 2, 0xFDF9F1, 0xF8ECD0, 1);
        const int flat = roundEven(H / 1.7);
        fillBox(img, QRect(1, flat, W - 2, H - 1 - flat), 0xF8ECD0);
    } else {
        gradientFill(img, 1, 1, W - 2, H - 2, 0xF1DEB0, 0xF9F1DB, 1);
    }
    paintContent();
    frameBox(img, 0, 0, W, H, 0xCA9E61);
    frameBox(img, 1, 1, W - 2, H - 2, White);
    cornerDots(img, shiftColor(0xCA9E61, 0.3f));
}

void Paint::paintGel()
{
    const int band = roundEven(H / 2.7);
    const int rest = roundEven(H - H / 2.7);
    ColorRef t1 = averageColors(shiftColor(F, 0.09f), White), t2 = averageColors(shiftColor(F, 0.07f), F);
    ColorRef b1 = F, b2 = shiftColor(F, 0.03f);
    int look = st.enabled ? state : int(lum::StateNormal);
    if (st.enabled && isChecked(props))
        look = st.mouseOver ? int(lum::StateDown) : -1;
    switch (look) {
    case -1:
        t1 = 0xA9D9FF, t2 = 0x6FC0FF, b1 = 0x3FABFF, b2 = 0x75E1FF;
        break;
    case lum::StateHot:
        t1 = 0xE1FFFF, t2 = 0xACEAFF, b1 = 0x67D7FF, b2 = 0x99E4FF;
        break;
    case lum::StateDown:
        t1 = 0x58C1FF, t2 = 0x51AFFF, b1 = 0x468FFF, b2 = 0x5FD3FF;
        break;
    default:
        fillBox(img, img.rect(), F);
        break;
    }
    gradientFill(img, 0, 0, W, band, t1, t2, 1);
    gradientFill(img, 0, band, W, rest, b1, b2, 1);
    paintContent();
    frameBox(img, 0, 0, W, H, shiftColor(F, -0.34f));
}

void Paint::paintWhiteGloss()
{
    const int h2 = half(H);
    if (st.enabled && state == lum::StateDown) {
        gradientFill(img, 0, 0, W, h2, White, shiftColor(F, -0.1f), 1);
        gradientFill(img, 0, h2, W, H - h2, shiftColor(F, -0.1f), shiftColor(F, -0.05f), 1);
        paintContent();
        frameBox(img, 1, 1, W - 2, H, White);
        frameBox(img, 0, 0, W, H, shiftColor(F, -0.23f));
        cornerDots(img, shiftColor(F, -0.1f));
        drawLine(img, 2, H - 1, W - 2, H - 1, shiftColor(F, -0.4f));
    } else {
        gradientFill(img, 0, 0, W, h2, White, F, 1);
        fillBox(img, QRect(0, h2, W, H - h2), F);
        paintContent();
        frameBox(img, 1, 1, W - 2, H, White);
        frameBox(img, 0, 0, W, H, shiftColor(F, -0.2f));
        cornerDots(img, shiftColor(F, -0.3f));
    }
    if (st.enabled && props.showFocusRect && st.hasFocus && st.parentActive)
        focusInset(3);
}

void Paint::paintSoftGloss()
{
    float first = 0.1f, second = 0.1f, frame = -0.33f, base = -0.03f;
    if (!st.enabled)
        first = 0.05f, second = 0.08f, frame = -0.2f, base = 0.0f;
    else if (state == lum::StateHot)
        first = 0.15f, second = 0.2f, frame = -0.28f;
    else if (state == lum::StateDown)
        first = 0.1f, second = 0.05f, frame = -0.36f, base = -0.08f;
    const ColorRef face = shiftColor(F, base);
    const ColorRef gloss = averageColors(F, White);
    fillBox(img, img.rect(), face);
    gradientFill(img, 1, 1, W - 2, 5, shiftColor(gloss, first), averageColors(gloss, face), 1);
    gradientFill(img, 1, 6, W - 2, H - 7, face, shiftColor(face, second), 1);
    paintContent();
    frameBox(img, 0, 0, W, H, shiftColor(F, frame));
    cornerDots(img, shiftColor(F, st.enabled ? -0.36f : -0.23f));
}

void Paint::paintThemed()
{
    {
        QPainter painter(&img);
        QStyleOptionButton option;
        option.rect = img.rect();
        option.palette = pal;
        option.state = QStyle::State_Raised;
        if (st.enabled)
            option.state |= QStyle::State_Enabled;
        if (st.enabled && state == lum::StateHot)
            option.state |= QStyle::State_MouseOver;
        if (st.enabled && state == lum::StateDown)
            option.state = (option.state & ~QStyle::State_Raised) | QStyle::State_Sunken;
        if (st.enabled && st.hasFocus && st.parentActive)
            option.state |= QStyle::State_HasFocus;
        if (st.isDefault)
            option.features |= QStyleOptionButton::DefaultButton;
        theme->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, nullptr);
    }
    paintContent();
}

void Paint::paintContent()
{
    const LumButtonProperties& p = props;
    const bool symbolShown = p.dropDownSymbol != 0 || p.dropDownSeparator;
    const LumPicture& picture = LumButtonPainter::currentPicture(p, state);
    const int pw = picture.isNull() ? 0 : picture.size().width();
    const int ph = picture.isNull() ? 0 : picture.size().height();
    const bool hasPicture = !p.pictureNormal.isNull();

    // Caption box, measured with word wrapping in the room the button leaves.
    int room = W - 8;
    if (symbolShown)
        room = (p.pictureAlign == lum::PictureRightEdge || p.pictureAlign == lum::PictureRightOfCaption) ? W - 24
                                                                                                         : W - 16;
    const int textFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
    const QFontMetrics metrics(p.font, &img);
    const QRect measured = p.caption.isEmpty()
        ? QRect()
        : metrics.boundingRect(QRect(0, 0, std::max(room, 1), 1 << 20), textFlags, p.caption);
    const int tw = measured.width(), th = measured.height();
    QRect box;
    switch (p.captionAlign) {
    case lum::CaptionLeft:
        box = QRect(2, (H - th) / 2, tw, th);
        break;
    case lum::CaptionRight:
        box = QRect(W - tw - 4, (H - th) / 2, tw, th);
        break;
    default: {
        int x = (W - tw + pw) / 2;
        if (symbolShown)
            x -= 8;
        if (p.pictureAlign >= lum::PictureTopEdge)
            x -= pw / 2;
        box = QRect(x, (H - th) / 2, tw, th);
        break;
    }
    }
    const bool centred = p.captionAlign == lum::CaptionCenter;
    if (hasPicture) {
        switch (p.pictureAlign) {
        case lum::PictureLeftEdge:
        case lum::PictureLeftOfCaption:
            if (!centred && box.left() < pw + 4)
                box.moveLeft(pw + 4);
            break;
        case lum::PictureRightEdge:
        case lum::PictureRightOfCaption:
            if (box.right() + 1 > W - pw - 4) {
                const int right = W - pw - 4;
                box.setLeft(box.left() - (pw + 4));
                box.setRight(right - 1);
            }
            if (centred)
                box.translate(-12, 0);
            break;
        case lum::PictureBackground:
            if (centred)
                box.translate(-16, 0);
            break;
        case lum::PictureTopEdge:
        case lum::PictureAboveCaption:
            box.translate(0, ph / 2);
            break;
        default:
            box.translate(0, -(ph / 2));
            break;
        }
    }
    if (p.captionAlign == lum::CaptionRight && symbolShown)
        box.translate(-16, 0);
    if (style == lum::StyleThemed) {
        box.setLeft(std::max(box.left(), 4));
        box.setTop(std::max(box.top(), 4));
        box.setRight(std::min(box.right(), W - 5));
        box.setBottom(std::min(box.bottom(), H - 5));
    }

    QPoint pictureAt;
    if (hasPicture) {
        const bool blank = p.caption.trimmed().isEmpty();
        const int centreY = (H - ph) / 2;
        const int centreX = (W - pw) / 2 - (symbolShown ? 8 : 0);
        const int captionRight = box.left() + box.width();
        const int captionBottom = box.top() + box.height();
        if (blank || p.pictureAlign == lum::PictureBackground) {
            pictureAt = QPoint(centreX, centreY);
        } else {
            switch (p.pictureAlign) {
            case lum::PictureLeftEdge:
                pictureAt = QPoint(3, centreY);
                break;
            case lum::PictureLeftOfCaption:
                pictureAt = QPoint(box.left() - pw - 4, centreY);
                break;
            case lum::PictureRightEdge:
            case lum::PictureRightOfCaption: {
                int x = p.pictureAlign == lum::PictureRightEdge ? W - pw - 3 : captionRight + 4;
                if (symbolShown)
                    x = std::max(x - 16, captionRight + 2);
                pictureAt = QPoint(x, centreY);
                break;
            }
            case lum::PictureTopEdge:
                pictureAt = QPoint(centreX, 4);
                break;
            case lum::PictureAboveCaption:
                pictureAt = QPoint(centreX, box.top() - ph - 2);
                break;
            case lum::PictureBottomEdge:
                pictureAt = QPoint(centreX, H - ph - 4);
                break;
            default:
                pictureAt = QPoint(centreX, captionBottom + 2);
                break;
            }
        }
    }
    QRect symbolBox(W - 15, roundEven(H / 2.0 - 7), 15, roundEven(H / 2.0 + 8) - roundEven(H / 2.0 - 7));

    if (p.dropDownSeparator && W - 8 > box.left() + box.width()) {
        const ColorRef under = pixel(img, 7, 7);
        drawLine(img, W - 16, 3, W - 16, H - 3, shiftColor(under, -0.1f));
        drawLine(img, W - 15, 3, W - 15, H - 3, shiftColor(under, 0.1f));
    }

    if (state == lum::StateDown) {
        static constexpr bool offsetStyles[]
            = {true, true, false, false, false, true, true, true, false, false, true, true, true, false};
        static constexpr bool symbolTwice[]
            = {true, true, false, false, false, false, true, true, false, false, false, true, true, false};
        if (style >= 0 && style <= 13 && offsetStyles[style]) {
            box.translate(1, 1);
            pictureAt += QPoint(1, 1);
            symbolBox.translate(1, 1);
            if (symbolTwice[style])
                symbolBox.translate(1, 1);
        }
    }

    if (!picture.isNull() && pw > 0 && ph > 0) {
        lumpicture::Blend blend;
        blend.maskColor = T(p.maskColor);
        blend.useMaskColor = p.useMaskColor;
        if (!st.enabled) {
            if (p.disabledPictureMode == lum::DisabledFaded) {
                blend.opacity = 52;
            } else if (p.disabledPictureMode == lum::DisabledGrey) {
                blend.opacity = roundEven(p.pictureOpacity * 0.75);
                blend.grey = true;
            } else {
                blend.opacity = 0;
            }
        } else {
            blend.opacity = state == lum::StateHot ? p.pictureOpacityOnOver : p.pictureOpacity;
            blend.effect = state == lum::StateHot
                ? p.pictureEffectOnOver
                : (state == lum::StateDown ? p.pictureEffectOnDown : int(lum::PictureEffectNone));
        }
        if (p.picturePushOnHover && state == lum::StateHot && st.enabled) {
            lumpicture::Blend ghost = blend;
            ghost.silhouette = T(0xC0C0C0);
            lumpicture::paintPicture(img, pictureAt, picture, ghost);
            lumpicture::paintPicture(img, pictureAt - QPoint(2, 2), picture, blend);
        } else if (p.pictureShadow) {
            lumpicture::paintPictureShadow(img, pictureAt, picture, blend, F, T(0x808080));
        } else {
            lumpicture::paintPicture(img, pictureAt, picture, blend);
        }
    }

    const bool hasCaption = !p.caption.isEmpty() && tw > 0;
    if (!hasCaption && p.dropDownSymbol == 0)
        return;
    QPainter painter(&img);
    painter.setClipRect(img.rect());
    if (hasCaption) {
        painter.setFont(p.font);
        painter.setLayoutDirection(p.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
        const auto text = [&](const QPoint& offset, ColorRef colour) {
            painter.setPen(QColor(toRgb(colour)));
            painter.drawText(box.translated(offset), textFlags, p.caption);
        };
        const ColorRef shade14 = shiftColor(F, 0.14f);
        const QPoint corners[] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
        switch (p.captionEffects) {
        case lum::EffectRaised:
            text({-1, -1}, shade14);
            break;
        case lum::EffectSunken:
            text({1, 1}, shade14);
            break;
        case lum::EffectShadow:
            text({1, 1}, T(0xC0C0C0));
            break;
        case lum::EffectGlow:
            for (const QPoint& c : corners)
                text(c, shiftColor(F, 0.1f));
            break;
        case lum::EffectOutline:
            for (const QPoint& c : corners)
                text(c, shiftColor(F, -0.1f));
            break;
        default:
            break;
        }
        ColorRef colour = state == lum::StateHot ? p.foreColorHover : p.foreColor;
        colour = T(colour);
        if (captionColorSet)
            colour = captionColor;
        if (!st.enabled)
            colour = T(lum::SysGrayText);
        text({0, 0}, colour);
    }
    if (p.dropDownSymbol != 0) {
        // The symbol font's digits 3 to 6 are arrows pointing left, right, up and down.
        const QChar digit = QString::number(qAbs(qint64(p.dropDownSymbol))).at(0);
        const QColor colour(toRgb(st.enabled ? T(p.foreColor) : T(lum::SysGrayText)));
        const QPointF c = QRectF(symbolBox).center();
        QPolygonF arrow;
        switch (digit.unicode()) {
        case '3':
            arrow << QPointF(c.x() - 2, c.y()) << QPointF(c.x() + 2, c.y() - 4) << QPointF(c.x() + 2, c.y() + 4);
            break;
        case '4':
            arrow << QPointF(c.x() + 2, c.y()) << QPointF(c.x() - 2, c.y() - 4) << QPointF(c.x() - 2, c.y() + 4);
            break;
        case '5':
            arrow << QPointF(c.x(), c.y() - 2) << QPointF(c.x() - 4, c.y() + 2) << QPointF(c.x() + 4, c.y() + 2);
            break;
        case '6':
            arrow << QPointF(c.x(), c.y() + 2) << QPointF(c.x() - 4, c.y() - 2) << QPointF(c.x() + 4, c.y() - 2);
            break;
        default:
            break;
        }
        if (!arrow.isEmpty()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.drawPolygon(arrow);
        } else {
            QFont symbolFont = p.font;
            symbolFont.setPixelSize(14);
            painter.setFont(symbolFont);
            painter.setPen(colour);
            painter.drawText(symbolBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString(digit));
        }
    }
}

} // namespace

const LumPicture& LumButtonPainter::currentPicture(const LumButtonProperties& p, int state)
{
    if (state == lum::StateDown || (p.mode != lum::ModePush && p.value)) {
        if (!p.pictureDown.isNull())
            return p.pictureDown;
        if (!p.pictureHot.isNull())
            return p.pictureHot;
        return p.pictureNormal;
    }
    if (state == lum::StateHot && !p.pictureHot.isNull())
        return p.pictureHot;
    return p.pictureNormal;
}

void LumButtonPainter::paint(QImage& image, const LumButtonProperties& properties, const LumPaintState& state,
                             const QPalette& palette, const QStyle* themeStyle)
{
    if (image.isNull() || image.depth() != 32)
        return;
    Paint(image, properties, state, palette, themeStyle).run();
}

QImage LumButtonPainter::render(const QSize& size, const LumButtonProperties& properties, const LumPaintState& state,
                                const QPalette& palette, const QStyle* themeStyle)
{
    QImage image(size.expandedTo(QSize(0, 0)), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    paint(image, properties, state, palette, themeStyle);
    // What the window shape cuts off is left transparent.
    const QRegion shape = windowShape(properties.buttonStyle, size.width(), size.height());
    const QRegion cut = QRegion(image.rect()) - shape;
    for (const QRect& r : cut)
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                image.setPixel(x, y, 0);
    return image;
}

QRegion LumButtonPainter::windowShape(int style, int width, int height)
{
    QRegion shape(0, 0, std::max(width, 0), std::max(height, 0));
    int corner = 0;
    switch (style) {
    case lum::StyleFramedGradient:
    case lum::StyleGlass:
    case lum::StyleLightHover:
    case lum::StyleWhiteGloss:
        corner = 1;
        break;
    case lum::StyleSilver:
    case lum::StyleSoftGloss:
        corner = 2;
        break;
    default:
        return shape;
    }
    if (width < 4 || height < 4)
        return shape;
    // A corner ellipse of 3 × 3 takes the corner pixel; 4 × 4 also its two neighbours.
    const auto cutCorner = [&](int x, int y, int dx, int dy) {
        shape -= QRegion(x, y, 1, 1);
        if (corner == 2) {
            shape -= QRegion(x + dx, y, 1, 1);
            shape -= QRegion(x, y + dy, 1, 1);
        }
    };
    cutCorner(0, 0, 1, 1);
    cutCorner(width - 1, 0, -1, 1);
    cutCorner(0, height - 1, 1, -1);
    cutCorner(width - 1, height - 1, -1, -1);
    return shape;
}

} // namespace zelvora
