// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/databasereadlock.h"

#include "data/database.h"

namespace zelvora {

DatabaseReadLock::DatabaseReadLock(const QString& databasePath, int waitMs)
    : m_db(Database::open(databasePath, &m_error))
{
    if (!m_db)
        return;
    m_held = m_db->exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(waitMs), {}, &m_error)
        && m_db->exec(QStringLiteral("BEGIN IMMEDIATE"), {}, &m_error);
}

DatabaseReadLock::~DatabaseReadLock()
{
    if (m_held)
        m_db->exec(QStringLiteral("ROLLBACK"));
}

} // namespace zelvora
