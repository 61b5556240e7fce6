// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's small button pictures (16 × 16 PNG with alpha) into a folder:
// lumbuttonicons <folder>. The results are kept in src/widgets/lumbutton/icons/.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <functional>

namespace {

const QColor green(0x2E, 0x9B, 0x3A), red(0xD0, 0x3A, 0x2F), blue(0x2F, 0x6F, 0xC0), gold(0xE0, 0xA8, 0x20),
    brown(0x8A, 0x5A, 0x2B), grey(0x6A, 0x6A, 0x6A), dark(0x30, 0x30, 0x30);

QPen pen(const QColor& c, double w)
{
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void disk(QPainter& p, const QColor& c)
{
    p.setPen(pen(c.darker(150), 1));
    p.setBrush(c);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(4, 2, 8, 5));
    p.setBrush(c.darker(140));
    p.drawRect(QRectF(4, 10, 8, 4));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& c)
{
    p.setPen(pen(c, 2.2));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF n(-d.y(), d.x());
    p.drawLine(to, to - d * 4 + n * 3.5);
    p.drawLine(to, to - d * 4 - n * 3.5);
}

const std::pair<const char*, std::function<void(QPainter&)>> icons[] = {
    {"tamam",
     [](QPainter& p) {
         p.setPen(pen(green, 2.6));
         p.drawPolyline(QPolygonF({{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}}));
     }},
    {"iptal",
     [](QPainter& p) {
         p.setPen(pen(red, 2.6));
         p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
         p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
     }},
    {"ekle",
     [](QPainter& p) {
         p.setPen(pen(green, 3));
         p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
         p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
     }},
    {"sil",
     [](QPainter& p) {
         p.setPen(pen(grey.darker(130), 1));
         p.setBrush(QColor(0xB8, 0xB8, 0xB8));
         p.drawRect(QRectF(3.5, 4.5, 9, 10));
         p.drawRect(QRectF(2.5, 2.5, 11, 2));
         p.setPen(pen(red, 1.4));
         p.drawLine(QPointF(6, 7), QPointF(6, 12.5));
         p.drawLine(QPointF(10, 7), QPointF(10, 12.5));
     }},
    {"kapat",
     [](QPainter& p) {
         p.setPen(pen(brown.darker(130), 1));
         p.setBrush(brown);
         p.drawRect(QRectF(2.5, 1.5, 7, 13));
         p.setBrush(gold);
         p.setPen(Qt::NoPen);
         p.drawEllipse(QPointF(8, 8.5), 0.9, 0.9);
         arrow(p, QPointF(8.5, 8), QPointF(14.5, 8), red);
     }},
    {"kaydet", [](QPainter& p) { disk(p, blue); }},
    {"yedekle",
     [](QPainter& p) {
         disk(p, blue);
         arrow(p, QPointF(8, 1), QPointF(8, 8), green);
     }},
    {"geriyukle",
     [](QPainter& p) {
         disk(p, blue);
         arrow(p, QPointF(8, 8), QPointF(8, 1), gold.darker(120));
     }},
    {"topla",
     [](QPainter& p) {
         p.setPen(pen(blue, 2));
         p.drawPolyline(QPolygonF({{12.5, 2.5}, {3.5, 2.5}, {8.5, 8}, {3.5, 13.5}, {12.5, 13.5}}));
     }},
    {"hesap",
     [](QPainter& p) {
         p.setPen(pen(blue.darker(140), 1));
         p.setBrush(QColor(0xF2, 0xC2, 0x92));
         p.drawEllipse(QPointF(8, 5), 3, 3);
         p.setBrush(blue);
         QPainterPath body;
         body.moveTo(2, 15);
         body.cubicTo(2, 8, 14, 8, 14, 15);
         body.closeSubpath();
         p.drawPath(body);
     }},
    {"yazdir",
     [](QPainter& p) {
         p.setPen(pen(dark, 1));
         p.setBrush(Qt::white);
         p.drawRect(QRectF(4.5, 1.5, 7, 5));
         p.setBrush(grey);
         p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
         p.setBrush(Qt::white);
         p.drawRect(QRectF(4.5, 10.5, 7, 4));
     }},
    {"hesapmakinesi",
     [](QPainter& p) {
         p.setPen(pen(dark, 1));
         p.setBrush(grey.lighter(150));
         p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.5, 1.5);
         p.setBrush(QColor(0xCF, 0xE8, 0xCF));
         p.drawRect(QRectF(4.5, 3.5, 7, 3));
         p.setPen(Qt::NoPen);
         p.setBrush(dark);
         for (int r = 0; r < 2; ++r)
             for (int c = 0; c < 3; ++c)
                 p.drawRect(QRectF(4.5 + c * 2.6, 8.5 + r * 2.6, 1.6, 1.6));
     }},
    {"bilgi",
     [](QPainter& p) {
         p.setPen(pen(blue.darker(130), 1));
         p.setBrush(blue);
         p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
         p.setPen(pen(Qt::white, 2));
         p.drawPoint(QPointF(8, 4.8));
         p.drawLine(QPointF(8, 7.5), QPointF(8, 11.5));
     }},
    {"geri", [](QPainter& p) { arrow(p, QPointF(14, 8), QPointF(2.5, 8), blue); }},
    {"tahsilat",
     [](QPainter& p) {
         p.setPen(pen(gold.darker(150), 1));
         p.setBrush(gold);
         p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
         p.setPen(pen(gold.darker(170), 1.6));
         p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("₺"));
     }},
    {"duzenle",
     [](QPainter& p) {
         p.setPen(pen(gold.darker(140), 1));
         p.setBrush(gold);
         p.drawPolygon(QPolygonF({{3, 13}, {3, 10.5}, {11, 2.5}, {13.5, 5}, {5.5, 13}}));
         p.setBrush(dark);
         p.drawPolygon(QPolygonF({{2, 14}, {3, 10.5}, {5.5, 13}}));
     }},
    {"sifirla",
     [](QPainter& p) {
         p.setPen(pen(red, 2));
         p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
         p.drawLine(QPointF(10.8, 3.4), QPointF(11.2, 0.8));
         p.drawLine(QPointF(10.8, 3.4), QPointF(13.6, 4.0));
     }},
    {"gozat",
     [](QPainter& p) {
         p.setPen(pen(gold.darker(150), 1));
         p.setBrush(gold.lighter(115));
         p.drawPolygon(QPolygonF({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}}));
         p.setBrush(gold);
         p.drawPolygon(QPolygonF({{1.5, 13.5}, {3.5, 7.5}, {15, 7.5}, {14.5, 13.5}}));
     }},
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: lumbuttonicons <folder>\n";
        return 2;
    }
    const QDir folder(app.arguments().at(1));
    for (const auto& [name, draw] : icons) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        font.setBold(true);
        painter.setFont(font);
        draw(painter);
        painter.end();
        if (!image.save(folder.filePath(QLatin1String(name) + QStringLiteral(".png")))) {
            QTextStream(stderr) << "cannot write " << name << "\n";
            return 1;
        }
    }
    return 0;
}
