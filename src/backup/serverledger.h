// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace zelvora::serverledger {

// Moving a ledger between a file and a PostgreSQL server. The tables are copied with the columns both sides
// have, ids and row places kept.

// The ledger's tables as they are copied (the list totals are not among them: each side keeps its own).
QStringList tables();

// Whether a server's secondary indexes are kept up row by row during a copy into it, or dropped and built again
// once the rows are in: several times quicker on a large ledger, but every other till then waits for the commit,
// also to read; so only for a database no till uses yet.
enum class Indexes { Kept, BuiltAfter };

// Empties each ledger table of `to` and fills it with the rows of `from` (into a server with COPY). The caller's
// transaction undoes all on failure.
bool copyTables(const QSqlDatabase& from, bool fromServer, const Database& to, QString* error,
                Indexes indexes = Indexes::Kept);

// New rows on the server continue after the largest key copied.
bool moveSequences(const Database& server, QString* error);

// Counts and sums of both sides ("dosyada ..., sunucuda ..."), one line each; true when every figure agrees.
bool compareFigures(const QSqlDatabase& file, const QSqlDatabase& server, QStringList* lines, QString* error);

// A read-only connection of its own to a ledger file: the copy never writes the file it reads.
class FileReader final
{
public:
    explicit FileReader(const QString& path);
    ~FileReader();
    Q_DISABLE_COPY_MOVE(FileReader)

    QString error() const { return m_error; }
    QSqlDatabase connection() const;

private:
    QString m_name;
    QString m_error;
};

// Called once the snapshot is fixed and before its rows are read (tests interleave other tills' writes there).
using SnapshotOpened = std::function<void()>;

// Whether a copy must pass the restore check: a backup must, the copy kept before a restore or a repair is
// whatever the server holds (that may be why it is being replaced).
enum class Check { Restorable, None };

// Writes the server's ledger into file, an empty file that exists: the program's schema and every row, all read
// in one snapshot (repeatable read, read only), then compares both sides and (Check::Restorable) checks the file
// as a restore would. False with a Turkish message; the file is then left for the caller to remove.
bool writeSnapshot(const ServerSettings& server, const QString& file, QStringList* lines, QString* error,
                   const SnapshotOpened& opened = {}, Check check = Check::Restorable);

// A backup of the server's ledger under target (replaced if it exists): written beside it under a temporary
// name, checked as a restore would check it, and only then renamed into place.
bool backupTo(const ServerSettings& server, const QString& target, const QDate& today, QString* error,
              const SnapshotOpened& opened = {}, Check check = Check::Restorable);

// Replaces the server's ledger with the rows of a checked ledger file, in one transaction: the tables locked
// against other tills' writes, emptied, filled, the list totals summed again, and committed only when both
// sides' counts and sums agree. On any failure the server is left as it was; false with a Turkish message.
bool replaceLedger(const ServerSettings& server, const QString& file, QStringList* lines, QString* error);

} // namespace zelvora::serverledger
