// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/customerstore.h"
#include "data/database.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace zelvora {

// Counts the rows of a customer list on a thread of its own, with its own connection, so a search shows its
// first screen before the count of a long list is known. Only the latest request is answered: one still
// waiting when a newer comes (the next typed letter) is dropped.
class ListCounter final : public QObject
{
    Q_OBJECT

public:
    explicit ListCounter(DatabaseTarget database, QObject* parent = nullptr);
    ~ListCounter() override;
    Q_DISABLE_COPY_MOVE(ListCounter)

    // Asks for the count of query; counted() answers with the returned ticket.
    quint64 request(const CustomerListQuery& query);

signals:
    // The count asked for with ticket, or -1 when it could not be read.
    void counted(quint64 ticket, qint64 count);

private:
    struct Job
    {
        CustomerListQuery query;
        quint64 ticket = 0;
    };
    void run();

    const DatabaseTarget m_target;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_pending; // guarded by m_mutex
    std::atomic<bool> m_stop {false};
    quint64 m_lastTicket = 0; // the window's thread only
    std::thread m_thread;
};

} // namespace zelvora
