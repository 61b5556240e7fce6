// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/engine.h"

#include <QString>

struct sqlite3;

// The rules of a stored customer row that several stores and the ledger check share: its day count and its
// name keys. Each has its home here.
namespace zelvora::customerrow {

// SQL: Sonislem minus the day bound at this expression's one placeholder, in whole days; null for a row
// without a readable date. SQLite counts with julianday(), PostgreSQL with the schema's zv_gun_no() over the same
// YYYY-MM-DD texts.
QString dayCountSql(Engine engine = Engine::SQLite);
// SQL: the rows whose stored day count Gun is not the one for the day bound at its three placeholders (the same
// day each time), written so that the index musteriler_gun_farki of either schema finds them.
QString staleDayCountSql(Engine engine = Engine::SQLite);

// The stored sort and search keys of a name. Never null: a row with an empty name has empty keys, and a missing
// key (NULL) means the row still waits for its keys.
QString sortKeyOf(const QString& name);
QString searchKeyOf(const QString& name);

// The same keys as SQL over the row's MusteriFirma, through the functions registerKeyFunctions() adds to a
// connection (every connection the program opens has them; nothing stored in the file names them).
QString sortKeySql();
QString searchKeySql();
// SQL assignments that set both keys of a row.
QString keyAssignmentsSql();
// Registers those functions on an SQLite connection; false when the engine refused them.
bool registerKeyFunctions(sqlite3* handle);

} // namespace zelvora::customerrow
