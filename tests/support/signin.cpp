// SPDX-License-Identifier: GPL-3.0-or-later
#include "signin.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

namespace zelvora::test {

void skipSignInWhenShown()
{
    // Looks for the dialog until it shows (it may open inside a later wait, or at once): accepted the first time
    // it is seen, and the watch ends by itself after ten seconds should it never come.
    auto* watch = new QTimer(QApplication::instance());
    auto* deadline = new QElapsedTimer;
    deadline->start();
    watch->setInterval(5);
    QObject::connect(watch, &QTimer::timeout, watch, [watch, deadline] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        const bool found = dialog && dialog->objectName() == QLatin1String("frmLogin");
        if (found)
            dialog->done(QDialog::Accepted);
        if (found || deadline->hasExpired(10000)) {
            delete deadline;
            watch->stop();
            watch->deleteLater();
        }
    });
    watch->start();
}

} // namespace zelvora::test
