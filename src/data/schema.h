#pragma once

#include <QString>
#include <QStringList>

namespace zelvora {

class Database;

namespace schema {

// The six tables every database of this program holds.
QStringList requiredTables();

// Runs the schema script (tables, indexes, first rows) on an empty database.
bool create(const Database& db, QString* error);

// True when the file holds all six tables and SQLite's integrity check passes.
bool looksLikeOurs(const Database& db, QString* error);

} // namespace schema
} // namespace zelvora
