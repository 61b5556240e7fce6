// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/aboutpanel.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace zelvora {

namespace {

constexpr int kWidth = 600;
constexpr int kPictureHeight = 300;
constexpr int kStripHeight = 46;

const QColor kNavy(0x1F, 0x3A, 0x68);

// The large picture: a ledger book on a blue field with the program's name.
QPixmap paintPicture(qreal ratio)
{
    QPixmap pixmap(QSize(kWidth, kPictureHeight) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0, QColor(0x3B, 0x5E, 0x91));
    sky.setColorAt(1, QColor(0xC9, 0xD8, 0xEC));
    p.fillRect(QRect(0, 0, kWidth, kPictureHeight), sky);

    // The open ledger.
    const QRectF left(70, 70, 130, 170);
    const QRectF right(200, 70, 130, 170);
    p.setPen(QPen(kNavy, 2));
    p.setBrush(QColor(0xFB, 0xF8, 0xEE));
    p.drawRoundedRect(left, 6, 6);
    p.drawRoundedRect(right, 6, 6);
    p.setPen(QPen(QColor(0x9F, 0xB4, 0xD4), 1));
    for (int y = 95; y < 230; y += 14) {
        p.drawLine(QPointF(left.left() + 12, y), QPointF(left.right() - 10, y));
        p.drawLine(QPointF(right.left() + 10, y), QPointF(right.right() - 12, y));
    }
    p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 2));
    p.drawLine(QPointF(right.right() - 40, 85), QPointF(right.right() - 40, 230));

    QFont name = QApplication::font();
    name.setPixelSize(44);
    name.setBold(true);
    p.setFont(name);
    p.setPen(Qt::white);
    p.drawText(QRectF(350, 90, 240, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zelvora"));
    QFont sub = QApplication::font();
    sub.setPixelSize(16);
    p.setFont(sub);
    p.setPen(kNavy);
    p.drawText(QRectF(352, 150, 240, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Veresiye Takip Programı\nSürüm ") + QApplication::applicationVersion());
    return pixmap;
}

// The strip along the bottom edge.
QPixmap paintStrip(qreal ratio)
{
    QPixmap pixmap(QSize(kWidth, kStripHeight) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    QPainter p(&pixmap);
    QLinearGradient band(0, 0, kWidth, 0);
    band.setColorAt(0, kNavy);
    band.setColorAt(1, QColor(0x3B, 0x5E, 0x91));
    p.fillRect(QRect(0, 0, kWidth, kStripHeight), band);
    p.fillRect(QRect(0, 0, kWidth, 3), QColor(0xF2, 0xB1, 0x34));
    return pixmap;
}

} // namespace

AboutPanel::AboutPanel(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("aboutPanel"));
    setAccessibleName(QStringLiteral("PROGRAM HAKKINDA"));
    setFrameShape(QFrame::Box);
    setLineWidth(2);
    setStyleSheet(QStringLiteral("QFrame#aboutPanel { border: 2px solid #1F3A68; background: #EEF2F8; }"));
    setFocusPolicy(Qt::StrongFocus);

    m_title = new QLabel(titleText(), this);
    m_title->setObjectName(QStringLiteral("aboutTitle"));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setStyleSheet(
        QStringLiteral("QLabel { background: #1F3A68; color: white; font-weight: bold; padding: 5px 8px; }"));
    m_title->setCursor(Qt::PointingHandCursor);

    const qreal ratio = parent ? parent->devicePixelRatioF() : 1.0;
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("aboutPicture"));
    m_picture->setPixmap(paintPicture(ratio));
    m_picture->setAccessibleName(QStringLiteral("Zelvora"));

    m_strip = new QLabel(this);
    m_strip->setObjectName(QStringLiteral("aboutStrip"));
    m_strip->setPixmap(paintStrip(ratio));
    m_strip->setFixedHeight(kStripHeight);

    // The invitation lies on the strip.
    m_text = new QLabel(QStringLiteral("PROGRAMA EKLEMEK İSTEDİĞİNİZ MODÜLLER İÇİN BİZİ ARAYINIZ.."), m_strip);
    m_text->setObjectName(QStringLiteral("aboutText"));
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setStyleSheet(QStringLiteral("QLabel { color: white; font-weight: bold; background: transparent; }"));
    m_text->setGeometry(0, 3, kWidth, kStripHeight - 3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    layout->addWidget(m_title);
    layout->addWidget(m_picture);
    layout->addWidget(m_strip);

    for (QLabel* label : {m_title, m_picture, m_strip, m_text})
        label->installEventFilter(this);
    hide();
    if (parent)
        parent->installEventFilter(this);
}

AboutPanel::~AboutPanel() = default;

QString AboutPanel::titleText()
{
    return QStringLiteral("PROGRAM HAKKINDA") + QString(81, u' ') + QStringLiteral("KAPAT");
}

bool AboutPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget()) {
        if (event->type() == QEvent::Resize && isVisible())
            centreOverParent();
    } else if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        // The title bar and the large picture close the panel; the strip and its text do not, and a
        // double click does not reach the frame behind them.
        if (event->type() == QEvent::MouseButtonPress && (watched == m_title || watched == m_picture))
            emit closeRequested();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void AboutPanel::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit closeRequested();
        return;
    default:
        QFrame::keyPressEvent(event);
    }
}

void AboutPanel::mousePressEvent(QMouseEvent* event)
{
    // What is left uncovered by the pictures is the frame.
    emit closeRequested();
    event->accept();
}

void AboutPanel::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    centreOverParent();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void AboutPanel::centreOverParent()
{
    const QWidget* parent = parentWidget();
    if (!parent)
        return;
    const QSize size = sizeHint();
    resize(size);
    move((parent->width() - size.width()) / 2, (parent->height() - size.height()) / 2);
}

} // namespace zelvora
