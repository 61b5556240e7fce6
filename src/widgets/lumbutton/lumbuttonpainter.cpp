#include "widgets/lumbutton/lumbuttonpainter.h"

#include <QPainter>

namespace zelvora {

void LumButtonPainter::paint(QPainter& painter, const QRect& rect, const Look& look)
{
    painter.save();
    const QColor face = QColor::fromRgb(faceColor);
    const bool down = look.enabled && look.state == LumButton::State::Down;
    const bool hot = look.enabled && look.state == LumButton::State::Hot;

    painter.fillRect(rect, hot ? face.lighter(106) : (down ? face.darker(108) : face));

    // A soft raised frame; pressed turns it over.
    const QRect r = rect.adjusted(0, 0, -1, -1);
    const QColor light = Qt::white;
    const QColor shadow = face.darker(150);
    const QColor outline = look.enabled ? face.darker(220) : face.darker(160);
    painter.setPen(down ? shadow : light);
    painter.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
    painter.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -1));
    painter.setPen(down ? light : shadow);
    painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
    painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
    painter.setPen(outline);
    painter.drawRoundedRect(r, 2, 2);

    QRect textRect = rect.adjusted(4, 2, -4, -2);
    if (down)
        textRect.translate(1, 1);
    painter.setFont(look.font);
    painter.setPen(look.enabled ? QColor(Qt::black) : QColor(0x8D, 0x8D, 0x8D));
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, look.caption);

    if (look.focused && look.enabled) {
        QPen pen(QColor(0x40, 0x40, 0x40));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(3, 3, -4, -4));
    }
    painter.restore();
}

QImage LumButtonPainter::render(const QSize& size, const Look& look)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paint(painter, QRect(QPoint(0, 0), size), look);
    return image;
}

} // namespace zelvora
