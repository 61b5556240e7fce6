#pragma once

#include "widgets/lumbutton/lumbutton.h"

#include <QColor>
#include <QFont>
#include <QImage>

class QPainter;

namespace zelvora {

// Draws a button face (style 3, scheme 2: face #E3E3E3) with its caption; no widget needed.
class LumButtonPainter final
{
public:
    struct Look
    {
        QString caption;
        QFont font;
        LumButton::State state = LumButton::State::Normal;
        bool enabled = true;
        bool focused = false;
    };

    static constexpr QRgb faceColor = 0xFFE3E3E3;

    static void paint(QPainter& painter, const QRect& rect, const Look& look);
    static QImage render(const QSize& size, const Look& look);
};

} // namespace zelvora
