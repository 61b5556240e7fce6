// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/progresspanel.h"

#include "account/accountwidgets.h"

#include <QTimer>

namespace zelvora {

ProgressPanel::ProgressPanel(QWidget* parent)
    : QLabel(QStringLiteral("İşlem Kaydediliyor... Bekleyiniz."), parent)
    , m_blinkTimer(new QTimer(this))
    , m_panelTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("progressPanel"));
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(2);
    QFont big = font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    setFont(big);
    paintColours(false);
    hide();

    m_blinkTimer->setObjectName(QStringLiteral("blinkTimer"));
    m_blinkTimer->setInterval(200);
    m_panelTimer->setObjectName(QStringLiteral("panelTimer"));
    m_panelTimer->setInterval(5500);
    connect(m_blinkTimer, &QTimer::timeout, this, &ProgressPanel::blink);
    connect(m_panelTimer, &QTimer::timeout, this, &ProgressPanel::hideTick);
    m_panelTimer->start();
}

ProgressPanel::~ProgressPanel() = default;

void ProgressPanel::startBlinking()
{
    paintColours(false);
    m_blinkTimer->start();
    show();
    raise();
}

void ProgressPanel::stop()
{
    m_blinkTimer->stop();
}

void ProgressPanel::blink()
{
    paintColours(!m_swapped);
}

void ProgressPanel::hideTick()
{
    hide();
    m_blinkTimer->stop();
}

void ProgressPanel::paintColours(bool swapped)
{
    // A palette swap repaints the label alone; a style sheet would re-polish it five times a second.
    m_swapped = swapped;
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, swapped ? accountui::kOrange : accountui::kRed);
    colours.setColor(QPalette::Window, swapped ? accountui::kRed : accountui::kOrange);
    setPalette(colours);
}

} // namespace zelvora
