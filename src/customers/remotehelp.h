// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace zelvora::remotehelp {

// The remote-assistance program "UzaktanYardim" (".exe" on Windows): in the program folder, else on the
// PATH. Empty when neither has it.
QString programPath(const QString& programFolder);

// Starts the program detached, in its own folder, and returns at once. When it cannot be found or
// started a message says so and the result is false.
bool start(QWidget* parent, const QString& programFolder);

} // namespace zelvora::remotehelp
