// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QString>

namespace zelvora::test {

// A private PostgreSQL 15 for the tests of one test program. The first call starts it: initdb into a fresh
// temporary folder (as the system user postgres when the tests run as root), trust authentication on
// 127.0.0.1 and on a Unix socket in that folder, a free port, fsync off. It is stopped and its folder removed
// when the program ends, also after a failed test; a watcher process does the same should the program die
// without ending (a crash, a kill), so no server is ever left running.
class PgServer final
{
public:
    // The running server, or nullptr with the reason in *error when it cannot be started (tried once).
    static PgServer* instance(QString* error);

    // A fresh, empty database on the server (zv_<n>), and how to reach it; false with the reason.
    bool createDatabase(ServerSettings* settings, QString* error);

    // How to reach the server's own maintenance database.
    ServerSettings maintenance() const;
    int port() const { return m_port; }

    // Stops the server (its connections end, what was committed stays: the server is not crashed, since fsync
    // is off) and starts it again on the same port with the same data; false with the reason.
    bool stop(QString* error);
    bool startAgain(QString* error);

private:
    PgServer() = default;
    bool start(QString* error);
    bool startOnPort(QString* error);

    QString m_folder;
    int m_port = 0;
    bool m_asPostgres = false;
    qint64 m_watcher = 0;
};

} // namespace zelvora::test
