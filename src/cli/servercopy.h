// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QString>
#include <QStringList>

namespace zelvora::cli {

// The outcome of moving a ledger between a file and a server: what to print, and whether all went well.
struct ServerCopyResult
{
    bool ok = false; // copied, and both sides agree
    QStringList lines; // the comparison of both sides, when there was one to make
    QString error; // why nothing was copied, or why the sides differ; Turkish
};

// Copies the ledger file into the empty PostgreSQL database the settings name: the file must pass the same check
// a restore makes; the schema and every row (ids kept, name keys as stored) go in one transaction, which is
// committed only when the customers, movements and balance sums on both sides agree. A database that holds
// tables, a file that is not a ledger, a server that cannot be reached: refused, nothing written.
ServerCopyResult copyToServer(const QString& file, const ServerSettings& server);

// Writes the server's ledger as a new SQLite ledger file: made with the program's schema beside the target under
// a temporary name, filled in one transaction, checked, and renamed into place only when complete and when both
// sides agree. An existing file is never overwritten.
ServerCopyResult copyFromServer(const ServerSettings& server, const QString& file);

} // namespace zelvora::cli
