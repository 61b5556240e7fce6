// SPDX-License-Identifier: GPL-3.0-or-later
// The button's stored properties: every button the control can hold is stored and read back the same, and a
// stored layout with any keys and values loads without harm into a button that is itself stored and read
// back the same.
#include "fuzzsupport.h"
#include "widgets/lumbutton/lumbuttonproperties.h"

#include <QPalette>

using namespace zelvora;
using fuzz::check;

namespace {

const char* const kKeys[] = {"ButtonStyle",
                             "ShowFocusRect",
                             "Enabled",
                             "Font",
                             "BackColor",
                             "Caption",
                             "ForeColor",
                             "ForeColorHover",
                             "Mode",
                             "Value",
                             "MousePointer",
                             "HandPointer",
                             "MouseIcon",
                             "PictureNormal",
                             "PictureHot",
                             "PictureDown",
                             "PictureAlign",
                             "PictureEffectOnOver",
                             "PictureEffectOnDown",
                             "PicturePushOnHover",
                             "PictureShadow",
                             "PictureOpacity",
                             "PictureOpacityOnOver",
                             "DisabledPictureMode",
                             "CaptionEffects",
                             "UseMaskColor",
                             "MaskColor",
                             "CaptionAlign",
                             "ToolTip",
                             "TooltipType",
                             "TooltipIcon",
                             "TooltipTitle",
                             "TooltipBackColor",
                             "RightToLeft",
                             "DropDownSymbol",
                             "DropDownSeparator",
                             "ColorScheme"};

// A caption of "lumbutton1" is its save default, left out, and an absent caption reads as "lumbutton": the one
// value stored layouts do not bring back.
constexpr auto kUnsavedCaption = "lumbutton1";

QPalette palette()
{
    QPalette p;
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Button, QColor(0xEF, 0xEF, 0xEF));
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC));
    return p;
}

const QFont& ambient()
{
    static const QFont font(QStringLiteral("DejaVu Sans"), 10);
    return font;
}

ColorRef color(fuzz::Input& in)
{
    const auto n = in.take<quint32>();
    return in.takeBool() ? (0x80000000u | (n & 0xFF)) : (n & 0xFFFFFF);
}

QImage image(fuzz::Input& in)
{
    const int w = in.takeIn(0, 6);
    const int h = in.takeIn(0, 6);
    if (w == 0 || h == 0)
        return {};
    QImage picture(w, h, in.takeBool() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.setPixel(x, y, in.take<quint32>() | (picture.hasAlphaChannel() ? 0 : 0xFF000000u));
    return picture;
}

QFont font(fuzz::Input& in)
{
    static const QString families[] = {QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                                       QStringLiteral("Liberation Serif"), QStringLiteral("Verdana")};
    QFont f(families[in.takeIn(0, 3)]);
    f.setPointSizeF(in.takeIn(4, 288) / 4.0);
    f.setBold(in.takeBool());
    f.setItalic(in.takeBool());
    f.setUnderline(in.takeBool());
    f.setStrikeOut(in.takeBool());
    return f;
}

// A button as the control's properties can hold it.
LumButtonProperties button(fuzz::Input& in)
{
    LumButtonProperties p;
    p.backColor = color(in);
    p.buttonStyle = in.takeIn(0, 13);
    p.caption = in.takeText();
    p.captionAlign = in.takeIn(0, 2);
    p.dropDownSymbol = in.take<qint32>();
    p.dropDownSeparator = in.takeBool();
    p.disabledPictureMode = in.takeIn(0, 1);
    p.enabled = in.takeBool();
    p.font = in.takeBool() ? ambient() : font(in);
    p.foreColor = color(in);
    p.foreColorHover = color(in);
    p.handPointer = in.takeBool();
    p.maskColor = color(in);
    p.mode = in.takeIn(0, 2);
    p.mouseIcon = image(in);
    p.mousePointer = in.take<qint16>();
    p.pictureNormal = {image(in), in.takeBool()};
    p.pictureHot = {image(in), in.takeBool()};
    p.pictureDown = {image(in), in.takeBool()};
    p.pictureAlign = in.takeIn(0, 8);
    p.pictureShadow = in.takeBool();
    p.pictureEffectOnOver = in.takeIn(0, 2);
    p.pictureEffectOnDown = in.takeIn(0, 2);
    p.picturePushOnHover = in.takeBool();
    p.pictureOpacity = in.take<quint8>();
    p.pictureOpacityOnOver = in.take<quint8>();
    p.rightToLeft = in.takeBool();
    p.captionEffects = in.takeIn(0, 5);
    p.showFocusRect = in.takeBool();
    p.useMaskColor = in.takeBool();
    p.value = in.takeBool();
    p.tooltipTitle = in.takeText();
    p.toolTip = in.takeText();
    p.tooltipBackColor = color(in);
    p.toolTipIcon = in.takeIn(0, 3);
    p.toolTipType = in.takeIn(0, 1);
    p.colorScheme = in.takeIn(0, 3);
    return p;
}

// Any value a stored layout may hold under a key.
QVariant storedValue(fuzz::Input& in)
{
    switch (in.takeIn(0, 7)) {
    case 0:
        return in.take<int>();
    case 1:
        return in.take<qint64>();
    case 2:
        return in.takeText();
    case 3:
        return in.takeBool();
    case 4:
        return in.takeField(); // picture bytes
    case 5:
        return font(in).toString();
    case 6:
        return QVariant::fromValue(LumPicture {image(in), in.takeBool()});
    default:
        return QString::number(in.take<qint16>());
    }
}

void roundTrip(const LumButtonProperties& p, bool lowerCaseKeys, const char* what)
{
    if (p.caption == QLatin1String(kUnsavedCaption))
        return;
    LumPropertyBag bag;
    saveLumButton(p, bag, palette(), ambient());
    LumPropertyBag stored;
    for (const auto& [key, value] : bag.entries())
        stored.write(lowerCaseKeys ? key.toLower() : key, value);
    const LumButtonProperties back = loadLumButton(stored, palette(), ambient());
    if (back == p)
        return;
    QStringList differ;
    LumPropertyBag again;
    saveLumButton(back, again, palette(), ambient());
    for (const QString& key : bag.keys() + again.keys())
        if (bag.value(key) != again.value(key))
            differ.append(key);
    fuzz::fail(what, differ.join(QLatin1Char(',')));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const bool lower = in.takeBool();
    if (in.takeBool()) {
        roundTrip(button(in), lower, "a button is stored and read back the same");
        return 0;
    }
    LumPropertyBag bag;
    while (!in.empty()) {
        QString key = QLatin1String(kKeys[in.takeIn<std::size_t>(0, std::size(kKeys) - 1)]);
        if (in.takeBool())
            key = key.toLower();
        bag.write(key, storedValue(in));
    }
    roundTrip(loadLumButton(bag, palette(), ambient()), lower, "a loaded layout is stored and read back the same");
    return 0;
}
