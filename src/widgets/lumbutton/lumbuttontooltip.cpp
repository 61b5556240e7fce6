// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbuttontooltip.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

LumButtonToolTip::LumButtonToolTip(const Content& content, QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint)
    , m_content(content)
{
    setObjectName(QStringLiteral("lumButtonToolTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setLayoutDirection(content.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    QPalette pal = palette();
    if (content.background.isValid())
        pal.setColor(QPalette::ToolTipBase, content.background);
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    if (!content.title.isEmpty() || content.icon != 0) {
        auto* titleRow = new QHBoxLayout;
        titleRow->setSpacing(4);
        static constexpr QStyle::StandardPixmap icons[]
            = {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical};
        if (content.icon >= 1 && content.icon <= 3) {
            auto* icon = new QLabel(this);
            icon->setPixmap(style()->standardIcon(icons[content.icon - 1]).pixmap(16, 16));
            titleRow->addWidget(icon);
        }
        auto* title = new QLabel(content.title, this);
        title->setObjectName(QStringLiteral("toolTipTitle"));
        QFont bold = title->font();
        bold.setBold(true);
        title->setFont(bold);
        titleRow->addWidget(title, 1);
        layout->addLayout(titleRow);
    }
    m_text = new QLabel(content.text, this);
    m_text->setObjectName(QStringLiteral("toolTipText"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    const int natural = m_text->fontMetrics().horizontalAdvance(content.text);
    if (natural > MaximumTextWidth)
        m_text->setFixedWidth(MaximumTextWidth);
    layout->addWidget(m_text);
    for (QLabel* label : findChildren<QLabel*>())
        label->setForegroundRole(QPalette::ToolTipText);

    m_delay = new QTimer(this);
    m_delay->setSingleShot(true);
    m_delay->setInterval(700);
    connect(m_delay, &QTimer::timeout, this, [this] {
        adjustSize();
        move(QCursor::pos() + QPoint(0, 20));
        show();
        QTimer::singleShot(5000, this, &QWidget::hide);
    });
}

LumButtonToolTip::~LumButtonToolTip() = default;

void LumButtonToolTip::showSoon()
{
    m_delay->start();
}

void LumButtonToolTip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, m_content.balloon);
    const QColor back = palette().color(QPalette::ToolTipBase);
    painter.setBrush(back);
    painter.setPen(back.darker(200));
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_content.balloon)
        painter.drawRoundedRect(r, 8, 8);
    else
        painter.drawRect(r);
}

void LumButtonToolTip::resizeEvent(QResizeEvent* event)
{
    if (m_content.balloon) {
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), 8, 8);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
    QWidget::resizeEvent(event);
}

} // namespace zelvora
