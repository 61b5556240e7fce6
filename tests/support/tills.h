// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <future>
#include <stdexcept>
#include <utility>

namespace zelvora::test {

// Runs work on a thread of its own, with a connection of its own to the ledger at target: another till. The
// result (or the exception) comes through the future.
template<typename Work> auto onOtherTill(const DatabaseTarget& target, Work work)
{
    return std::async(std::launch::async, [target, work = std::move(work)]() {
        QString error;
        const auto db = Database::open(target, &error);
        if (!db)
            throw std::runtime_error(error.toStdString());
        return work(*db);
    });
}

// How many other connections to observer's server database wait for a lock (PostgreSQL): a till that waits
// for another till's row lock shows here, so a test can go on exactly when it waits.
inline int lockWaiters(const Database& observer)
{
    return observer
        .scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = current_database() AND "
                               "wait_event_type = 'Lock' AND pid <> pg_backend_pid()"))
        .toInt();
}

} // namespace zelvora::test
