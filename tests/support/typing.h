// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace zelvora::test {

// Types text into a widget one key event per character. QTest::keyClicks passes text through Latin-1 and
// aborts on Turkish letters, so tests type through this.
void typeText(QWidget* widget, const QString& text);

} // namespace zelvora::test
