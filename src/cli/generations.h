// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace zelvora::cli {

// Backups kept in generations: each run puts the day's copy into "gunluk", and the first copy of a week
// and of a month also into "haftalik" and "aylik". The newest 7 daily, 4 weekly and 12 monthly copies stay.
struct GenerationPolicy
{
    int daily = 7;
    int weekly = 4;
    int monthly = 12;
};

inline const QString DailyFolder = QStringLiteral("gunluk");
inline const QString WeeklyFolder = QStringLiteral("haftalik");
inline const QString MonthlyFolder = QStringLiteral("aylik");

struct GenerationsResult
{
    bool ok = false;
    QString error; // Turkish, when not ok
    QStringList written; // the new copies
    QStringList removed; // older copies removed after the new ones were verified
    QStringList later; // copies named with a date after today (a clock set ahead, another computer): kept
    int leftovers = 0; // temporary files of an interrupted earlier run, removed
};

// Copies the database (under the write lock, waiting up to waitMs for a running write) into the day's file
// of folder/gunluk, and into folder/haftalik and folder/aylik when that week or month has no copy yet.
// Every new copy is checked as a restore would check it before it takes its name; only then are copies
// beyond the policy removed, ordered by the dates in their names; the copy just written always stays, and a
// copy named with a later date than today is reported and neither counted nor removed. Files not named like
// our backups are never touched, apart from the temporary files an interrupted earlier run left behind. Runs
// into one folder take turns.
// With the ledger on a server, the day's copy is a ledger file written from one snapshot of the server.
GenerationsResult backupWithGenerations(const DatabaseTarget& ledger, const QString& folder, const QDate& today,
                                        int waitMs, const GenerationPolicy& policy = {});
inline GenerationsResult backupWithGenerations(const QString& databasePath, const QString& folder, const QDate& today,
                                               int waitMs, const GenerationPolicy& policy = {})
{
    return backupWithGenerations(DatabaseTarget::file(databasePath), folder, today, waitMs, policy);
}

} // namespace zelvora::cli
