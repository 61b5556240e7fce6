#include "signin.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace zelvora::test {

void skipSignInWhenShown()
{
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->objectName() == QLatin1String("frmLogin"))
            dialog->done(QDialog::Accepted);
    });
}

} // namespace zelvora::test
