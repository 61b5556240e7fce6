// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

namespace zelvora {

class Database;

// Keeps every writer off the database file while its bytes are copied. On a connection of its own it opens
// an immediate transaction (SQLite's reserved lock): it is granted only when no other connection is writing
// or holds a write transaction open, and until it is released no writer can start, while readers go on.
// Taking it also rolls back a journal left by a crash, so the bytes on disk are a committed state.
class DatabaseReadLock final
{
public:
    // How long the window waits for a running write to finish before giving up.
    static constexpr int WaitMs = 1000;

    // Waits up to waitMs for a running write to finish.
    explicit DatabaseReadLock(const QString& databasePath, int waitMs = WaitMs);
    ~DatabaseReadLock(); // ends the transaction without changing anything
    Q_DISABLE_COPY_MOVE(DatabaseReadLock)

    bool isHeld() const { return m_held; }
    QString errorString() const { return m_error; }

private:
    std::unique_ptr<Database> m_db;
    bool m_held = false;
    QString m_error;
};

} // namespace zelvora
