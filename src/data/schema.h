// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/engine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zelvora {

class Database;

namespace schema {

// The schema script of an engine: tables, indexes, the triggers and the first rows (units, the counter).
QByteArray script(Engine engine = Engine::SQLite);

// Runs the engine's schema script (tables, indexes, first rows) on an empty database. On a server it runs inside
// the caller's transaction when there is one.
bool create(const Database& db, QString* error);

// Brings a file made by an earlier version to the current schema: adds every table, index and trigger of the
// script that the file lacks (summing the list's totals when their table or triggers were missing) and drops
// the indexes earlier versions made and this one no longer uses, in one transaction. Cheap when there is nothing to do.
// The program runs it at start (on a thread, under the splash) when needsUpgrade() says so.
bool upgrade(const Database& db, QString* error);

// Whether upgrade() has work to do on this file (a quick look at its catalogue). On a server, whose schema
// --init-server makes, only the columns later versions added are looked for and added.
bool needsUpgrade(const Database& db);

// The file format a database file made by this version has (PRAGMA user_version).
constexpr int kVersion = 4;

// An index that a file of an earlier version may hold and upgrade() drops.
bool isObsoleteIndex(const QString& name);
// A table, index or trigger of the script that files of an earlier version lack and upgrade() adds.
bool isAddedByUpgrade(const QString& name);
// One of those that came after files of the current format were made: a ledger of any version may lack it
// (and its backups), the program adds it when it opens the ledger.
bool isAddedLater(const QString& name);
// The columns at the end of table that files of an earlier version lack and upgrade() adds.
QStringList addedColumns(const QString& table);

// Statements that sum the list's totals (table liste_toplami) again from the customers.
QStringList listTotalsRefill();

} // namespace schema
} // namespace zelvora
