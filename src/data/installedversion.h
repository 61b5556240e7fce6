// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

namespace zelvora {

class Database;

// The program version the database records (its table `surum`), as the splash and the version window show it:
// empty text when the table has no row; nothing, with the engine's reason in error, when it cannot be read.
std::optional<QString> installedVersion(const Database& db, QString* error = nullptr);

} // namespace zelvora
