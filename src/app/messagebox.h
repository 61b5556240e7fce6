// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace zelvora {

// Every message box of the program goes through here, so tests can record it and give its answer.
class MessageBox final
{
public:
    enum class Icon { None, Stop, Exclamation, Information, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    struct Message
    {
        QString text;
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };
    using Handler = std::function<Answer(const Message&)>;

    // Shows a modal box. An empty title shows the application's title, "Zelvora".
    static Answer show(QWidget* parent, const QString& text, const QString& title, Icon icon,
                       Buttons buttons = Buttons::Ok);

    static Answer ok(QWidget* parent, const QString& text, const QString& title, Icon icon)
    {
        return show(parent, text, title, icon, Buttons::Ok);
    }
    static bool askYesNo(QWidget* parent, const QString& text, const QString& title, Icon icon)
    {
        return show(parent, text, title, icon, Buttons::YesNo) == Answer::Yes;
    }

    // Tests: every box goes to the handler instead of the screen. An empty handler restores the screen.
    static void setHandler(Handler handler);
};

} // namespace zelvora
