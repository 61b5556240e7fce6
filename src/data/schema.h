#pragma once

#include <QByteArray>
#include <QString>

namespace zelvora {

class Database;

namespace schema {

// The schema script: tables, indexes, the trigger and the first rows.
QByteArray script();

// Runs the schema script (tables, indexes, first rows) on an empty database.
bool create(const Database& db, QString* error);

} // namespace schema
} // namespace zelvora
