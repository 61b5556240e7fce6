// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

class QTextStream;

namespace zelvora::cli {

// True when the arguments ask for a command-line mode (anything beyond Qt's own window options, such as
// -platform or -style, which still start the window). Decided before any application object exists.
bool isCommandLine(const QStringList& arguments);

// The application's name and version and the Turkish locale, for a QCoreApplication.
void setupApplication();

// Runs one command-line mode; arguments without the program name. Output and messages are Turkish; the
// result is the exit status: 0 done, 1 failed (or --check found something), 2 a wrong command line
// (or --check could not read the file).
int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

// Waits this long for the program's running writes (a backup or a repair while the window is open).
inline constexpr int WriteLockWaitMs = 30000;

} // namespace zelvora::cli
