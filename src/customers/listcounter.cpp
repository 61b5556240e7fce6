// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/listcounter.h"

#include "data/database.h"

#include <QMetaObject>

namespace zelvora {

ListCounter::ListCounter(DatabaseTarget database, QObject* parent)
    : QObject(parent)
    , m_target(std::move(database))
    , m_thread(&ListCounter::run, this)
{
}

ListCounter::~ListCounter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

quint64 ListCounter::request(const CustomerListQuery& query)
{
    const quint64 ticket = ++m_lastTicket;
    {
        std::lock_guard lock(m_mutex);
        m_pending = Job {query, ticket};
    }
    m_wake.notify_one();
    return ticket;
}

void ListCounter::run()
{
    // Opened on this thread: a QtSql connection serves only the thread that opened it.
    std::unique_ptr<Database> db;
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_pending; });
            if (m_stop)
                break;
            job = *m_pending;
            m_pending.reset();
        }
        if (!db) {
            db = Database::open(m_target);
            // Closing the window must not wait out a wait for another connection's write.
            if (db)
                db->setStopFlag(&m_stop);
        }
        QString error;
        qint64 count = db ? CustomerStore(*db).count(job.query, &error) : -1;
        if (!error.isEmpty())
            count = -1;
        QMetaObject::invokeMethod(
            this, [this, ticket = job.ticket, count] { emit counted(ticket, count); }, Qt::QueuedConnection);
    }
    if (db)
        db->setStopFlag(nullptr);
}

} // namespace zelvora
