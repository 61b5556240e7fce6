// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/lumbutton/lumbuttontypes.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <utility>

class QPalette;

namespace zelvora {

// A button picture: a bitmap is taken as it is (32-bit with alpha uses its own transparency), an
// icon is drawn over #C0C0C0 first.
struct LumPicture
{
    QImage image;
    bool icon = false;

    bool isNull() const { return image.isNull(); }
    QSize size() const { return image.size(); }
    bool operator==(const LumPicture& other) const { return icon == other.icon && image == other.image; }
};

// Every public property of the button with the value a freshly placed control gets.
struct LumButtonProperties
{
    ColorRef backColor = 0;
    int buttonStyle = lum::StyleThemed;
    QString caption;
    int captionAlign = lum::CaptionCenter;
    qint32 dropDownSymbol = 0;
    bool dropDownSeparator = false;
    int disabledPictureMode = lum::DisabledFaded;
    bool enabled = true;
    QFont font;
    ColorRef foreColor = lum::SysButtonText;
    ColorRef foreColorHover = 0;
    bool handPointer = false;
    ColorRef maskColor = 0xE0E0E0;
    int mode = lum::ModePush;
    QImage mouseIcon;
    qint16 mousePointer = 0;
    LumPicture pictureNormal;
    LumPicture pictureHot;
    LumPicture pictureDown;
    int pictureAlign = lum::PictureLeftOfCaption;
    bool pictureShadow = false;
    int pictureEffectOnOver = lum::PictureEffectNone;
    int pictureEffectOnDown = lum::PictureEffectNone;
    bool picturePushOnHover = false;
    quint8 pictureOpacity = 255;
    quint8 pictureOpacityOnOver = 255;
    bool rightToLeft = false;
    int captionEffects = lum::EffectNone;
    bool showFocusRect = false;
    bool useMaskColor = true;
    bool value = false;
    QString tooltipTitle;
    QString toolTip;
    ColorRef tooltipBackColor = 0;
    int toolTipIcon = lum::TipIconNone;
    int toolTipType = lum::TipStandard;
    int colorScheme = lum::SchemeBlue;

    // A control as placed new: the given caption, Tahoma, the style's scheme colours.
    static LumButtonProperties newControl(const QString& caption);

    // The scheme a style takes when it is set: 3 and 9 silver, 5, 11, 12 and 13 keep `current`.
    static int defaultScheme(int style, int current);
    // Face colour from style and scheme, button text colour, focus rectangle and push on hover.
    void applySchemeColors();

    bool operator==(const LumButtonProperties& other) const = default;
};

// The stored properties of one button: keys in the order written, matched without regard to case.
class LumPropertyBag final
{
public:
    using Entry = std::pair<QString, QVariant>;

    void write(const QString& key, const QVariant& value) { m_entries.append({key, value}); }
    // The value under key (any letter case), or an invalid QVariant.
    QVariant value(const QString& key) const;
    bool contains(const QString& key) const { return value(key).isValid(); }
    QStringList keys() const;
    const QList<Entry>& entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
};

// Colours of the save defaults are the system colours translated from palette; the font's save
// default (and the font taken when the key is absent) is ambientFont, the container's font.
void saveLumButton(const LumButtonProperties& properties, LumPropertyBag& bag, const QPalette& palette,
                   const QFont& ambientFont);
// A missing key, or a value of the wrong type or out of range, takes that key's Absent value.
LumButtonProperties loadLumButton(const LumPropertyBag& bag, const QPalette& palette, const QFont& ambientFont);

} // namespace zelvora

Q_DECLARE_METATYPE(zelvora::LumPicture)
