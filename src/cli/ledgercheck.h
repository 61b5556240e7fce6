// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zelvora::cli {

struct LedgerReport
{
    bool readable = false; // false: the file could not be read as a database at all
    QStringList findings; // one Turkish line each
    QStringList notes; // what was not looked at, and why; not findings
    QString deleted; // how many deleted rows are kept for "Silinen Kayıtlar"; empty when none (not a finding)
};

// Looks at the database without changing it: the engine's integrity check, the tables and columns the
// program needs, each customer's stored Bakiye against its movements, movements of customers that do not
// exist, customer numbers used twice, dates and times that cannot be read and stale name keys.
LedgerReport checkLedger(const QString& databasePath);

// The same checks of the rows on a server's ledger, in one snapshot; the checks of a file itself (the engine's
// integrity check, the tables' definitions) are not made there, and a note says so.
LedgerReport checkServerLedger(const ServerSettings& server);

struct RepairResult
{
    bool ok = false;
    QString error; // Turkish, when not ok
    QString backupPath; // the copy taken before the repair
    int balances = 0;
    int dayCounts = 0;
    int nameKeys = 0;
    int collectionDates = 0; // customers whose to-collect date was not their movements'

    int leftovers = 0; // temporary files of an interrupted earlier repair, removed
};

// Recomputes what can be recomputed (Bakiye and the to-collect date from the movements, Gun from Sonislem and
// today, the name keys)
// in one transaction, after a checked copy of the file was put into backupFolder. Waits up to waitMs for
// the program's running writes.
// Removes the temporary files an interrupted repair left in backupFolder (the repair does so itself), under
// the database's write lock, so that no running repair's file is taken. Returns how many were removed.
int removeRepairLeftovers(const QString& databasePath, const QString& backupFolder, int waitMs);

RepairResult repairLedger(const QString& databasePath, const QString& backupFolder, const QDateTime& now, int waitMs);

// The same repair on a server's ledger, in one transaction that keeps other tills' writes waiting (up to waitMs
// for running ones); the copy taken first is a ledger file written from the server in the state repaired.
RepairResult repairServerLedger(const ServerSettings& server, const QString& backupFolder, const QDateTime& now,
                                int waitMs);

} // namespace zelvora::cli
