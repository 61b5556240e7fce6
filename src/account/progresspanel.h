// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

class QTimer;

namespace zelvora {

// "İşlem Kaydediliyor... Bekleyiniz." over the account window after an entry was stored. It blinks every
// 200 ms; its own 5500 ms timer runs for the window's whole life and hides it at the next tick.
class ProgressPanel final : public QLabel
{
    Q_OBJECT

public:
    explicit ProgressPanel(QWidget* parent);
    ~ProgressPanel() override;
    Q_DISABLE_COPY_MOVE(ProgressPanel)

    void startBlinking();
    void stop();

private:
    void blink();
    void hideTick();
    void paintColours(bool swapped);

    QTimer* m_blinkTimer = nullptr;
    QTimer* m_panelTimer = nullptr;
    bool m_swapped = false;
};

} // namespace zelvora
