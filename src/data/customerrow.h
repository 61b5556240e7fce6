#pragma once

#include <QString>

// The rules of a stored customer row that several stores and the ledger check share: its day count and its
// name keys. Each has its home here.
namespace zelvora::customerrow {

// SQL: Sonislem minus the day bound at this expression's one placeholder, in whole days; null for a row
// without a readable date.
QString dayCountSql();

// The stored sort and search keys of a name. Never null: a row with an empty name has empty keys, and a missing
// key (NULL) means the row still waits for its keys.
QString sortKeyOf(const QString& name);
QString searchKeyOf(const QString& name);

// SQL assignments that set both keys of a row from its MusteriFirma, through the functions every connection
// of the program registers (the same keys as sortKeyOf and searchKeyOf).
QString keyAssignmentsSql();

} // namespace zelvora::customerrow
