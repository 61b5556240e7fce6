// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QEvent;
class QWidget;

namespace zelvora {

// Decides, in a window's changeEvent, whether the window has "become active" in the program's sense: it was
// first shown, or another window of ours that lay over it has closed. Coming back from a message box or from
// another program does not count, so a window does not reload its data behind the user's back.
class ActivationWatch final
{
public:
    bool isNewActivation(const QWidget* window, const QEvent* event);

    // The window ran its activation itself (an explicit reload after a window of ours closed), so the
    // window system's late activation must not reload again: that would move the selection back to the
    // first row under the user's next click.
    void markActivated()
    {
        m_everActive = true;
        m_lostToOwnWindow = false;
    }

private:
    bool m_everActive = false;
    bool m_lostToOwnWindow = false;
};

} // namespace zelvora
