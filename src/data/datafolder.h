// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zelvora::datafolder {

// Where a program started from a given folder keeps its database, zelvora.ini and lock file.
enum class Mode {
    // As built, or copied to a folder together with its veresiye.dll ("portable"): beside the executable.
    BesideExecutable,
    // Installed under a system prefix: the user's own data folder, filled from the supplied copy on first start.
    PerUser,
};

// Installed when no veresiye.dll lies beside the executable and either the install layout's supplied copy
// (<prefix>/share/zelvora/veresiye.dll next to <prefix>/bin) exists or the folder is not the user's to write.
Mode modeFor(const QString& executableFolder);

// The pristine database an installed program ships: <prefix>/share/zelvora/veresiye.dll.
QString suppliedDatabase(const QString& executableFolder);

// Makes the data folder when it is missing and, when it holds no veresiye.dll yet, copies the supplied one there
// under a temporary name and renames it into place. An existing database is never replaced. False, with a
// Turkish message naming the folder and the system's reason, when the folder cannot be made or the copy fails.
bool prepare(const QString& folder, const QString& supplied, QString* error);

} // namespace zelvora::datafolder
