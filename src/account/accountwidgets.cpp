// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/accountwidgets.h"

#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QLineEdit>

namespace zelvora::accountui {

QLineEdit* readOnlyBox(QWidget* parent, const QString& name, const QColor& textColour)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, textColour);
    box->setPalette(palette);
    return box;
}

LumButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    return makeButton(caption, name, parent, QSize(130, 32));
}

} // namespace zelvora::accountui
