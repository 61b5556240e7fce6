// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/messagebox.h"

#include <QMessageBox>

namespace zelvora {

namespace {

MessageBox::Handler& handler()
{
    static MessageBox::Handler h;
    return h;
}

QMessageBox::Icon qtIcon(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Icon::Stop:
        return QMessageBox::Critical;
    case MessageBox::Icon::Exclamation:
        return QMessageBox::Warning;
    case MessageBox::Icon::Information:
        return QMessageBox::Information;
    case MessageBox::Icon::Question:
        return QMessageBox::Question;
    case MessageBox::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageBox::Answer MessageBox::show(QWidget* parent, const QString& text, const QString& title, Icon icon,
                                    Buttons buttons)
{
    const QString shownTitle = title.isEmpty() ? QStringLiteral("Zelvora") : title;
    if (handler())
        return handler()(Message {text, shownTitle, icon, buttons});
    QMessageBox box(qtIcon(icon), shownTitle, text,
                    buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
    const int result = box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void MessageBox::setHandler(Handler h)
{
    handler() = std::move(h);
}

} // namespace zelvora
