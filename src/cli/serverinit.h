// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QString>

namespace zelvora::cli {

// The outcome of making a server's ledger: a Turkish message for the user either way.
struct ServerInitResult
{
    bool ok = false;
    QString message;
};

// Makes the ledger in the empty PostgreSQL database the settings name: the schema and the rows the supplied
// database has (units, the counter at 0, the version, the first user ADMIN with password 1234, hashed), in one
// transaction, so a failure leaves the database as empty as it was. A database that already holds tables is
// refused and left alone, as is a server that cannot be reached (the message names host:port and the reason).
ServerInitResult initServer(const ServerSettings& server, const QString& version);

} // namespace zelvora::cli
