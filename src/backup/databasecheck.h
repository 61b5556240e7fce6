#pragma once

#include <QString>
#include <QStringList>

namespace zelvora {

// Whether a database file is one this program can work on. What is required comes from the program's own
// schema script: every table with every column the program reads and writes (names without regard to case,
// declared types free), no column the program's inserts would leave empty against a NOT NULL rule, a row in
// `surum` and in `User`, a file SQLite will write, and a passing integrity check. Triggers, views and
// indexes the program did not create are listed apart: they are not a fault of the data, but they must not
// come along into the program's database (a foreign trigger runs on the program's own writes).
class DatabaseCheck final
{
public:
    struct Result
    {
        bool readable = false; // opened and read as an SQLite database
        QStringList problems; // each makes the file unfit for the program; Turkish, one line each
        QStringList foreignObjects; // "trigger x", "view y", "index z": not made by the program
        QStringList missingObjects; // the program's own triggers and indexes that are not there

        bool usable() const { return readable && problems.isEmpty(); }
        // Every finding as a Turkish line.
        QStringList lines() const;
    };

    // True when path names a regular file (links followed) that begins with "SQLite format 3\0" and whose
    // header names read and write versions this SQLite handles. Reads only the first 100 bytes.
    static bool hasDatabaseHeader(const QString& path, QString* why = nullptr);

    // Reads the file without changing it.
    static Result inspect(const QString& path);

    // For our own copy of a file: usable, and writable (a trial write, rolled back). With fitForProgram the
    // foreign objects are dropped and the program's missing ones made, so the copy can replace the database.
    // False with a Turkish reason otherwise.
    static bool prepareCopy(const QString& path, bool fitForProgram, QString* error);
};

} // namespace zelvora
