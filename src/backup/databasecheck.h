// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QTemporaryFile;

namespace zelvora {

// Whether a database file is one this program can work on. What is required comes from the program's own
// schema script: every table with every column the program reads and writes (names without regard to case),
// no column the program's inserts would leave empty against a NOT NULL rule, a row in `surum` and in `User`,
// a file SQLite will write, and a passing integrity check. Tables defined otherwise than the program defines
// them (other types, constraints, STRICT, WITHOUT ROWID, other columns), and triggers, views and indexes the
// program did not create, are listed apart: a restore does not take them over (see RebuiltDatabase), but in
// the program's own database they may make its writes fail.
class DatabaseCheck final
{
public:
    struct Result
    {
        bool readable = false; // opened and read as an SQLite database
        QStringList problems; // each makes the file unfit for the program; Turkish, one line each
        QStringList tableDifferences; // how a table's definition differs from the program's; Turkish
        QStringList foreignObjects; // "trigger x", "view y", "index z": not made by the program
        QStringList missingObjects; // the program's own triggers and indexes that are not there

        bool usable() const { return readable && problems.isEmpty(); }
        // Every finding as a Turkish line.
        QStringList lines() const;
    };

    // True when path names a regular file (links followed) that begins with "SQLite format 3\0" and whose
    // header names read and write versions this SQLite handles. Reads only the first 100 bytes.
    static bool hasDatabaseHeader(const QString& path, QString* why = nullptr);

    // How deep the engine's own check goes: Full also compares every index with its table, which a file
    // that is rebuilt anyway (its indexes made again) does not need.
    enum class Depth { Full, Tables };

    // Reads the file without changing it. tick is called now and then during a long check.
    static Result inspect(const QString& path, Depth depth = Depth::Full, const std::function<void()>& tick = {});

    // True when path is in WAL mode and the "-wal" file beside it holds changes not yet in the file itself
    // (a byte copy of the file alone would lose them).
    static bool hasPendingWal(const QString& path);

    // Whether a restore would take the file: it is rebuilt into a scratch file beside scratchBeside, which is
    // removed again. False with Turkish reasons otherwise.
    static bool restorable(const QString& path, const QString& scratchBeside, const QDate& today, QString* error);
};

// A database made fresh from the program's schema beside a target, holding the rows of another file: only
// the columns the program knows, the day counts, name keys and list totals computed as the program keeps
// them. So whatever the other file's tables looked like, the result takes every write the program makes. A
// file whose rows break the program's rules (an empty value where one is required, an amount that is not a
// whole number of kuruş, a customer number or user name used twice) is refused, with Turkish reasons.
class RebuiltDatabase final
{
public:
    explicit RebuiltDatabase(QString target);
    ~RebuiltDatabase(); // removes a file that was not committed
    Q_DISABLE_COPY_MOVE(RebuiltDatabase)

    // Builds from source (our own copy of the chosen file) and flushes the result to disk. tick is called
    // now and then during a long build.
    bool build(const QString& source, const QDate& today, const std::function<void()>& tick = {});
    QString path() const;

    // Puts the built file in the target's place in one rename.
    bool commit();

    QString errorString() const { return m_error; }

private:
    QString m_target;
    std::unique_ptr<QTemporaryFile> m_file;
    bool m_built = false;
    QString m_error;
};

} // namespace zelvora
