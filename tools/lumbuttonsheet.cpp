// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the button control in every style, colour scheme and drawing state, with a few picture
// and caption cases, into one PNG sheet: lumbuttonsheet <output.png>
#include "widgets/lumbutton/lumbuttonpainter.h"
#include "widgets/lumbutton/lumcolor.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QTextStream>

using namespace zelvora;

namespace {

constexpr QSize Button(104, 30);
constexpr int Cell = 112;
constexpr int Row = 38;
constexpr int LabelWidth = 150;

const char* const styleNames[]
    = {"0 Standard",   "1 ThinEdge", "2 FramedGradient", "3 Glass",      "4 HotTrack", "5 WarmToolbar", "6 Silver",
       "7 LightHover", "8 Gel",      "9 WhiteGloss",     "10 SoftGloss", "11 Flat3D",  "12 FlatThin",   "13 Themed"};

struct Column
{
    const char* name;
    int state;
    bool enabled;
    bool focused;
    bool checked;
};

const Column columns[] = {
    {"normal", lum::StateNormal, true, false, false}, {"hot", lum::StateHot, true, false, false},
    {"down", lum::StateDown, true, false, false},     {"focused", lum::StateNormal, true, true, false},
    {"checked", lum::StateNormal, true, false, true}, {"disabled", lum::StateNormal, false, false, false},
};

// A small picture drawn here so that the sheet needs no files: a green tick on the mask colour.
LumPicture samplePicture()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(0x1E, 0x8C, 0x2E), 3));
    p.drawLine(2, 8, 6, 12);
    p.drawLine(6, 12, 13, 3);
    return {image, false};
}

void drawButton(QPainter& sheet, const QPoint& at, const LumButtonProperties& props, const LumPaintState& state,
                const QStyle* style)
{
    sheet.drawImage(at, LumButtonPainter::render(Button, props, state, QApplication::palette(), style));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: lumbuttonsheet <output.png>\n";
        return 2;
    }
    const int schemes = 3;
    const int width = LabelWidth + schemes * int(std::size(columns)) * Cell + 20;
    const int extraRows = 4;
    const int height = 60 + 14 * Row + 40 + extraRows * Row + 20;
    QImage sheet(width, height, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0xF4, 0xF4, 0xF4));
    QPainter painter(&sheet);
    QFont labelFont(QStringLiteral("DejaVu Sans"), 8);
    painter.setFont(labelFont);
    painter.setPen(Qt::black);

    const char* const schemeNames[] = {"SchemeBlue", "SchemeOlive", "SchemeSilver"};
    for (int scheme = 0; scheme < schemes; ++scheme) {
        const int x0 = LabelWidth + scheme * int(std::size(columns)) * Cell;
        painter.drawText(QRect(x0, 6, int(std::size(columns)) * Cell, 18), Qt::AlignCenter,
                         QString::fromLatin1(schemeNames[scheme]));
        for (size_t c = 0; c < std::size(columns); ++c)
            painter.drawText(QRect(x0 + int(c) * Cell, 26, Cell, 18), Qt::AlignCenter,
                             QString::fromLatin1(columns[c].name));
    }

    const QFont captionFont(QStringLiteral("DejaVu Sans"), 8);
    for (int style = 0; style <= 13; ++style) {
        const int y = 50 + style * Row;
        painter.drawText(QRect(8, y, LabelWidth - 10, Button.height()), Qt::AlignVCenter,
                         QString::fromLatin1(styleNames[style]));
        for (int scheme = 0; scheme < schemes; ++scheme) {
            for (size_t c = 0; c < std::size(columns); ++c) {
                LumButtonProperties props = LumButtonProperties::newControl(QStringLiteral("&Kaydet"));
                props.font = captionFont;
                props.buttonStyle = style;
                props.colorScheme = scheme;
                props.applySchemeColors();
                props.showFocusRect = true;
                if (columns[c].checked) {
                    props.mode = lum::ModeCheck;
                    props.value = true;
                }
                LumPaintState state;
                state.state = columns[c].state;
                state.enabled = columns[c].enabled;
                state.hasFocus = columns[c].focused;
                const int x = LabelWidth + (scheme * int(std::size(columns)) + int(c)) * Cell;
                drawButton(painter, QPoint(x, y), props, state, app.style());
            }
        }
    }

    // Picture and caption cases on the program's two looks.
    const LumPicture tick = samplePicture();
    struct Case
    {
        const char* label;
        int style;
        int scheme;
        int pictureAlign;
        int captionAlign;
        int effects;
        int symbol;
        bool separator;
        QString caption;
    };
    const Case cases[] = {
        {"pic left edge", 3, 2, lum::PictureLeftEdge, lum::CaptionCenter, 0, 0, false, QStringLiteral("Müşteri Ekle")},
        {"pic left, left cap", 5, 0, lum::PictureLeftEdge, lum::CaptionLeft, 0, 0, false, QStringLiteral("Yedekle")},
        {"pic right edge", 3, 2, lum::PictureRightEdge, lum::CaptionCenter, 0, 0, false, QStringLiteral("İleri")},
        {"pic above", 5, 0, lum::PictureAboveCaption, lum::CaptionCenter, 0, 0, false, QStringLiteral("Üst")},
        {"pic only", 3, 2, lum::PictureLeftEdge, lum::CaptionCenter, 0, 0, false, QString()},
        {"raised", 3, 2, lum::PictureLeftOfCaption, lum::CaptionCenter, lum::EffectRaised, 0, false,
         QStringLiteral("Kabartma")},
        {"shadow", 5, 0, lum::PictureLeftOfCaption, lum::CaptionCenter, lum::EffectShadow, 0, false,
         QStringLiteral("Gölge")},
        {"glow", 8, 0, lum::PictureLeftOfCaption, lum::CaptionCenter, lum::EffectGlow, 0, false,
         QStringLiteral("Parıltı")},
        {"outline", 2, 0, lum::PictureLeftOfCaption, lum::CaptionCenter, lum::EffectOutline, 0, false,
         QStringLiteral("Çerçeve")},
        {"drop-down", 3, 2, lum::PictureLeftOfCaption, lum::CaptionCenter, 0, 6, true, QStringLiteral("Menü")},
        {"drop-down right", 5, 0, lum::PictureLeftOfCaption, lum::CaptionRight, 0, 6, false, QStringLiteral("Seç")},
        {"long caption", 3, 2, lum::PictureLeftOfCaption, lum::CaptionCenter, 0, 0, false,
         QStringLiteral("Müşteriyi ve Hareketlerini Sil")},
    };
    const int y0 = 50 + 14 * Row + 20;
    painter.drawText(
        QRect(8, y0 - 18, 600, 16), Qt::AlignLeft,
        QStringLiteral("Pictures (shadow on), captions, drop-down; each case normal, hot, down, disabled"));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& k = cases[i];
        // Three cases side by side, each as label and four buttons.
        const int blockX = 8 + (int(i) % 3) * (Cell * 4 + 150);
        const int blockY = y0 + (int(i) / 3) * Row;
        painter.drawText(QRect(blockX, blockY, 140, Button.height()), Qt::AlignVCenter, QString::fromLatin1(k.label));
        const int states[] = {lum::StateNormal, lum::StateHot, lum::StateDown, -1};
        for (int s = 0; s < 4; ++s) {
            LumButtonProperties props = LumButtonProperties::newControl(k.caption);
            props.font = captionFont;
            props.buttonStyle = k.style;
            props.colorScheme = k.scheme;
            props.applySchemeColors();
            props.pictureNormal = tick;
            props.pictureShadow = true;
            props.pictureAlign = k.pictureAlign;
            props.captionAlign = k.captionAlign;
            props.captionEffects = k.effects;
            props.dropDownSymbol = k.symbol;
            props.dropDownSeparator = k.separator;
            props.disabledPictureMode = lum::DisabledGrey;
            LumPaintState state;
            state.state = states[s] < 0 ? int(lum::StateNormal) : states[s];
            state.enabled = states[s] >= 0;
            drawButton(painter, QPoint(blockX + 140 + s * Cell, blockY), props, state, app.style());
        }
    }
    painter.end();
    if (!sheet.save(app.arguments().at(1))) {
        QTextStream(stderr) << "cannot write " << app.arguments().at(1) << "\n";
        return 1;
    }
    return 0;
}
