// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zelvora::test {

// Start-up shows the modal sign-in window over the main window. Call this before the splash closes in a
// test that is not about signing in: the sign-in window is closed as soon as it runs.
void skipSignInWhenShown();

} // namespace zelvora::test
