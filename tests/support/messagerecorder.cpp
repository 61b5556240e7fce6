// SPDX-License-Identifier: GPL-3.0-or-later
#include "messagerecorder.h"

namespace zelvora::test {

MessageRecorder::MessageRecorder()
{
    MessageBox::setHandler([this](const MessageBox::Message& message) {
        m_messages.append(message);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        return message.buttons == MessageBox::Buttons::YesNo ? MessageBox::Answer::Yes : MessageBox::Answer::Ok;
    });
}

MessageRecorder::~MessageRecorder()
{
    MessageBox::setHandler({});
}

} // namespace zelvora::test
