// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

namespace zelvora {

// A colour in the &HBBGGRR layout: red in the low byte; &H800000nn names system colour nn.
using ColorRef = quint32;

namespace lum {

enum ButtonStyle : int {
    StyleStandard = 0,
    StyleThinEdge = 1,
    StyleFramedGradient = 2,
    StyleGlass = 3,
    StyleHotTrack = 4,
    StyleWarmToolbar = 5,
    StyleSilver = 6,
    StyleLightHover = 7,
    StyleGel = 8,
    StyleWhiteGloss = 9,
    StyleSoftGloss = 10,
    StyleFlat3D = 11,
    StyleFlatThin = 12,
    StyleThemed = 13,
};

enum ColorScheme : int { SchemeBlue = 0, SchemeOlive = 1, SchemeSilver = 2, SchemeCustom = 3 };
enum Mode : int { ModePush = 0, ModeCheck = 1, ModeOption = 2 };
enum CaptionAlign : int { CaptionLeft = 0, CaptionCenter = 1, CaptionRight = 2 };
enum CaptionEffects : int {
    EffectNone = 0,
    EffectRaised = 1,
    EffectSunken = 2,
    EffectShadow = 3,
    EffectGlow = 4,
    EffectOutline = 5,
};
enum PictureAlign : int {
    PictureLeftEdge = 0,
    PictureLeftOfCaption = 1,
    PictureRightEdge = 2,
    PictureRightOfCaption = 3,
    PictureBackground = 4,
    PictureTopEdge = 5,
    PictureAboveCaption = 6,
    PictureBottomEdge = 7,
    PictureBelowCaption = 8,
};
enum PictureEffect : int { PictureEffectNone = 0, PictureEffectBrighter = 1, PictureEffectDarker = 2 };
enum DisabledPictureMode : int { DisabledFaded = 0, DisabledGrey = 1 };
enum ToolTipType : int { TipStandard = 0, TipBalloon = 1 };
enum ToolTipIcon : int { TipIconNone = 0, TipIconInfo = 1, TipIconWarning = 2, TipIconError = 3 };
enum DrawState : int { StateNormal = 0, StateHot = 1, StateDown = 2 };

// System colours the control names.
constexpr ColorRef SysButtonFace = 0x8000000F;
constexpr ColorRef SysAppWorkspace = 0x8000000C;
constexpr ColorRef SysGrayText = 0x80000011;
constexpr ColorRef SysButtonText = 0x80000012;
constexpr ColorRef SysInfoBackground = 0x80000018;

} // namespace lum
} // namespace zelvora
