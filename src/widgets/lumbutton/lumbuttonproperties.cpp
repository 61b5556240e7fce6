// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbuttonproperties.h"

#include "widgets/lumbutton/lumcolor.h"

#include <QPalette>
#include <QPixmap>
#include <limits>

namespace zelvora {

LumButtonProperties LumButtonProperties::newControl(const QString& caption)
{
    LumButtonProperties p;
    p.caption = caption;
    p.font = QFont(QStringLiteral("Tahoma"));
    p.font.setPointSizeF(8.25);
    p.colorScheme = defaultScheme(p.buttonStyle, p.colorScheme);
    p.applySchemeColors();
    return p;
}

int LumButtonProperties::defaultScheme(int style, int current)
{
    switch (style) {
    case lum::StyleGlass:
    case lum::StyleWhiteGloss:
        return lum::SchemeSilver;
    case lum::StyleWarmToolbar:
    case lum::StyleFlat3D:
    case lum::StyleFlatThin:
    case lum::StyleThemed:
        return current;
    default:
        return lum::SchemeBlue;
    }
}

void LumButtonProperties::applySchemeColors()
{
    if (const auto face = lumcolor::schemeBackColor(buttonStyle, colorScheme))
        backColor = *face;
    foreColor = lum::SysButtonText;
    showFocusRect
        = buttonStyle == lum::StyleStandard || buttonStyle == lum::StyleThinEdge || buttonStyle == lum::StyleWhiteGloss;
    if (buttonStyle == lum::StyleHotTrack)
        picturePushOnHover = true;
}

QVariant LumPropertyBag::value(const QString& key) const
{
    for (const Entry& entry : m_entries)
        if (entry.first.compare(key, Qt::CaseInsensitive) == 0)
            return entry.second;
    return {};
}

QStringList LumPropertyBag::keys() const
{
    QStringList keys;
    for (const Entry& entry : m_entries)
        keys.append(entry.first);
    return keys;
}

namespace {

// Writes the value unless it equals the save default.
class Writer
{
public:
    explicit Writer(LumPropertyBag& bag)
        : m_bag(bag)
    {
    }
    template<typename T> void operator()(const char* key, const T& value, const T& saveDefault)
    {
        if (!(value == saveDefault))
            m_bag.write(QLatin1String(key), toVariant(value));
    }
    template<typename T> void always(const char* key, const T& value)
    {
        m_bag.write(QLatin1String(key), toVariant(value));
    }

private:
    template<typename T> static QVariant toVariant(const T& value)
    {
        if constexpr (std::is_same_v<T, ColorRef>)
            return QVariant(qint64(value));
        else if constexpr (std::is_same_v<T, LumPicture>)
            return QVariant::fromValue(value);
        else if constexpr (std::is_same_v<T, QFont>)
            return QVariant(value.toString());
        else
            return QVariant::fromValue(value);
    }
    LumPropertyBag& m_bag;
};

std::optional<qint64> integerOf(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::SChar:
    case QMetaType::Char:
    case QMetaType::Long:
    case QMetaType::ULong: {
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        return ok ? std::optional<qint64>(n) : std::nullopt;
    }
    case QMetaType::QString: {
        bool ok = false;
        const qint64 n = v.toString().trimmed().toLongLong(&ok);
        return ok ? std::optional<qint64>(n) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// Reads one key, falling back to the Absent value when missing or unusable.
class Reader
{
public:
    explicit Reader(const LumPropertyBag& bag)
        : m_bag(bag)
    {
    }

    int integer(const char* key, qint64 min, qint64 max, int absent) const
    {
        const auto n = integerOf(m_bag.value(QLatin1String(key)));
        return n && *n >= min && *n <= max ? int(*n) : absent;
    }

    bool boolean(const char* key, bool absent) const
    {
        const QVariant v = m_bag.value(QLatin1String(key));
        if (v.typeId() == QMetaType::Bool)
            return v.toBool();
        if (v.typeId() == QMetaType::QString) {
            const QString text = v.toString().trimmed();
            if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return true;
            if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return false;
        }
        // Stored booleans may be numbers: 0 false, -1 (or 1) true.
        const auto n = integerOf(v);
        if (n && (*n == 0 || *n == -1 || *n == 1))
            return *n != 0;
        return absent;
    }

    ColorRef color(const char* key, ColorRef absent) const
    {
        const auto n = integerOf(m_bag.value(QLatin1String(key)));
        if (!n || *n < std::numeric_limits<qint32>::min() || *n > std::numeric_limits<quint32>::max())
            return absent;
        const auto c = ColorRef(quint32(*n));
        // Either an RGB value or a system colour number; anything else is not a colour.
        if ((c & 0xFF000000u) == 0 || (c & 0xFFFFFF00u) == 0x80000000u)
            return c;
        return absent;
    }

    QString text(const char* key, const QString& absent) const
    {
        const QVariant v = m_bag.value(QLatin1String(key));
        return v.typeId() == QMetaType::QString ? v.toString() : absent;
    }

    QFont font(const char* key, const QFont& absent) const
    {
        const QVariant v = m_bag.value(QLatin1String(key));
        if (v.typeId() == QMetaType::QFont)
            return v.value<QFont>();
        QFont font;
        if (v.typeId() == QMetaType::QString && !v.toString().isEmpty() && font.fromString(v.toString()))
            return font;
        return absent;
    }

    QImage image(const char* key) const
    {
        const QVariant v = m_bag.value(QLatin1String(key));
        if (v.typeId() == QMetaType::QImage)
            return v.value<QImage>();
        if (v.typeId() == QMetaType::QPixmap)
            return v.value<QPixmap>().toImage();
        if (v.typeId() == QMetaType::QByteArray)
            return QImage::fromData(v.toByteArray());
        return {};
    }

    LumPicture picture(const char* key) const
    {
        const QVariant v = m_bag.value(QLatin1String(key));
        if (v.metaType() == QMetaType::fromType<LumPicture>())
            return v.value<LumPicture>();
        return {image(key), false};
    }

private:
    const LumPropertyBag& m_bag;
};

} // namespace

void saveLumButton(const LumButtonProperties& p, LumPropertyBag& bag, const QPalette& palette, const QFont& ambientFont)
{
    const ColorRef face = lumcolor::translateColor(lum::SysButtonFace, palette);
    const ColorRef buttonText = lumcolor::translateColor(lum::SysButtonText, palette);
    const ColorRef infoBack = lumcolor::translateColor(lum::SysInfoBackground, palette);
    Writer w(bag);
    w("ButtonStyle", p.buttonStyle, 1);
    w("ShowFocusRect", p.showFocusRect, false);
    w("Enabled", p.enabled, true);
    w("Font", p.font, ambientFont);
    w("BackColor", p.backColor, face);
    w("Caption", p.caption, QStringLiteral("lumbutton1"));
    w("ForeColor", p.foreColor, buttonText);
    w("ForeColorHover", p.foreColorHover, buttonText);
    w("Mode", p.mode, 0);
    w("Value", p.value, false);
    w("MousePointer", p.mousePointer, qint16(0));
    w("HandPointer", p.handPointer, false);
    w("MouseIcon", p.mouseIcon, QImage());
    w("PictureNormal", p.pictureNormal, LumPicture());
    w("PictureHot", p.pictureHot, LumPicture());
    w("PictureDown", p.pictureDown, LumPicture());
    w("PictureAlign", p.pictureAlign, 1);
    w("PictureEffectOnOver", p.pictureEffectOnOver, 1);
    w("PictureEffectOnDown", p.pictureEffectOnDown, 2);
    w("PicturePushOnHover", p.picturePushOnHover, false);
    w("PictureShadow", p.pictureShadow, false);
    w("PictureOpacity", p.pictureOpacity, quint8(255));
    w("PictureOpacityOnOver", p.pictureOpacityOnOver, quint8(255));
    w("DisabledPictureMode", p.disabledPictureMode, 0);
    // Its stored default is an empty text, which no number equals.
    w.always("CaptionEffects", p.captionEffects);
    w("UseMaskColor", p.useMaskColor, true);
    w("MaskColor", p.maskColor, ColorRef(0xE0E0E0));
    w("CaptionAlign", p.captionAlign, 1);
    w("ToolTip", p.toolTip, QString());
    w("TooltipType", p.toolTipType, 0);
    w("TooltipIcon", p.toolTipIcon, 0);
    w("TooltipTitle", p.tooltipTitle, QString());
    w("TooltipBackColor", p.tooltipBackColor, infoBack);
    w("RightToLeft", p.rightToLeft, false);
    w("DropDownSymbol", p.dropDownSymbol, qint32(0));
    w("DropDownSeparator", p.dropDownSeparator, false);
    w("ColorScheme", p.colorScheme, 0);
}

LumButtonProperties loadLumButton(const LumPropertyBag& bag, const QPalette& palette, const QFont& ambientFont)
{
    const ColorRef face = lumcolor::translateColor(lum::SysButtonFace, palette);
    const ColorRef buttonText = lumcolor::translateColor(lum::SysButtonText, palette);
    const ColorRef infoBack = lumcolor::translateColor(lum::SysInfoBackground, palette);
    const Reader r(bag);
    LumButtonProperties p;
    p.buttonStyle = r.integer("ButtonStyle", 0, 13, 1);
    p.showFocusRect = r.boolean("ShowFocusRect", false);
    p.font = r.font("Font", ambientFont);
    p.backColor = r.color("BackColor", face);
    p.enabled = r.boolean("Enabled", true);
    p.caption = r.text("Caption", QStringLiteral("lumbutton"));
    p.value = r.boolean("Value", false);
    p.mousePointer
        = qint16(r.integer("MousePointer", std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max(), 0));
    p.handPointer = r.boolean("HandPointer", false);
    p.mouseIcon = r.image("MouseIcon");
    p.pictureNormal = r.picture("PictureNormal");
    p.pictureHot = r.picture("PictureHot");
    p.pictureDown = r.picture("PictureDown");
    p.pictureShadow = r.boolean("PictureShadow", false);
    p.pictureOpacity = quint8(r.integer("PictureOpacity", 0, 255, 255));
    p.pictureOpacityOnOver = quint8(r.integer("PictureOpacityOnOver", 0, 255, 255));
    p.disabledPictureMode = r.integer("DisabledPictureMode", 0, 1, 0);
    p.picturePushOnHover = r.boolean("PicturePushOnHover", false);
    p.pictureEffectOnOver = r.integer("PictureEffectOnOver", 0, 2, 1);
    p.pictureEffectOnDown = r.integer("PictureEffectOnDown", 0, 2, 2);
    p.maskColor = r.color("MaskColor", 0xE0E0E0);
    p.useMaskColor = r.boolean("UseMaskColor", true);
    p.captionEffects = r.integer("CaptionEffects", 0, 5, 0);
    p.mode = r.integer("Mode", 0, 2, 0);
    p.pictureAlign = r.integer("PictureAlign", 0, 8, 1);
    p.captionAlign = r.integer("CaptionAlign", 0, 2, 1);
    p.foreColor = r.color("ForeColor", buttonText);
    p.foreColorHover = r.color("ForeColorHover", buttonText);
    p.dropDownSeparator = r.boolean("DropDownSeparator", false);
    p.tooltipTitle = r.text("TooltipTitle", QString());
    p.toolTip = r.text("ToolTip", QString());
    p.toolTipIcon = r.integer("TooltipIcon", 0, 3, 0);
    p.toolTipType = r.integer("TooltipType", 0, 1, 0);
    p.tooltipBackColor = r.color("TooltipBackColor", infoBack);
    p.rightToLeft = r.boolean("RightToLeft", false);
    p.dropDownSymbol = qint32(
        r.integer("DropDownSymbol", std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max(), 0));
    p.colorScheme = r.integer("ColorScheme", 0, 3, 0);
    return p;
}

} // namespace zelvora
