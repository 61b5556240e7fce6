// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/activationwatch.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>

namespace zelvora {

bool ActivationWatch::isNewActivation(const QWidget* window, const QEvent* event)
{
    if (event->type() != QEvent::ActivationChange)
        return false;
    if (!window->isActiveWindow()) {
        const QWidget* to = QApplication::activeWindow();
        m_lostToOwnWindow = to && to != window && !qobject_cast<const QMessageBox*>(to);
        m_everActive = true;
        return false;
    }
    const bool isNew = !m_everActive || m_lostToOwnWindow;
    m_lostToOwnWindow = false;
    m_everActive = true;
    return isNew;
}

} // namespace zelvora
