// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/messagebox.h"

#include <QList>

namespace zelvora::test {

// Records every message box while it lives and answers them from a queue (default: Ok / Yes).
class MessageRecorder final
{
public:
    MessageRecorder();
    ~MessageRecorder();

    void answerNext(MessageBox::Answer answer) { m_answers.append(answer); }

    const QList<MessageBox::Message>& messages() const { return m_messages; }
    bool empty() const { return m_messages.isEmpty(); }
    const MessageBox::Message& last() const { return m_messages.last(); }
    void clear() { m_messages.clear(); }

private:
    QList<MessageBox::Message> m_messages;
    QList<MessageBox::Answer> m_answers;
};

} // namespace zelvora::test
