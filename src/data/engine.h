// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zelvora {

// The engine that keeps the ledger: the SQLite file beside the program (the default), or a PostgreSQL server
// that several tills share.
enum class Engine { SQLite, PostgreSQL };

} // namespace zelvora
