// SPDX-License-Identifier: GPL-3.0-or-later
#include "typing.h"

#include <QTest>

namespace zelvora::test {

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace zelvora::test
