// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerupkeep.h"

#include "data/customerstore.h"
#include "data/database.h"

#include <QMetaObject>
#include <limits>

namespace zelvora {

CustomerUpkeep::CustomerUpkeep(const Database& db, QObject* parent)
    : QObject(parent)
    , m_db(db)
{
}

CustomerUpkeep::~CustomerUpkeep()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void CustomerUpkeep::bringUpToDate(const QDate& today)
{
    m_lastAsked = today;
    if (m_running) {
        // Asked again while the thread runs: it runs once more when it ends, so nothing asked is lost.
        m_askedAgain = true;
        return;
    }
    const CustomerStore store(m_db);
    const qint64 keyless = store.missingNameKeys(AtOnce + 1);
    const qint64 stale = store.staleDayCounts(today, AtOnce + 1);
    // What could not be counted (the file busy with another program's write) is left to the thread, which
    // waits for the file; the list shows today's counts and finds keyless names meanwhile.
    if (keyless < 0 || stale < 0 || keyless > AtOnce || stale > AtOnce) {
        startBackground(today);
        return;
    }
    // A failure here leaves the rows as they were; the next activation tries again.
    if (keyless > 0 && !store.refreshNameKeys())
        qWarning("Ad anahtarları doldurulamadı.");
    if (stale > 0 && !store.updateDayCounts(today))
        qWarning("Gün sayıları yazılamadı.");
}

void CustomerUpkeep::waitUntilDone()
{
    if (!m_running)
        return;
    // The thread's own report stays queued and finds its run already taken.
    onBackgroundEnded(m_run);
    if (m_running)
        waitUntilDone();
}

void CustomerUpkeep::startBackground(const QDate& today)
{
    if (m_thread.joinable())
        m_thread.join();
    m_running = true;
    m_askedAgain = false;
    m_stop = false;
    ++m_run;
    m_thread = std::thread(&CustomerUpkeep::work, this, m_db.target(), today, m_run, m_batches);
}

void CustomerUpkeep::onBackgroundEnded(quint64 run)
{
    // Taken already by waitUntilDone; joining now would wait for a later run's thread.
    if (!m_running || run != m_run)
        return;
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
    if (m_keysFilled.exchange(false))
        emit nameKeysFilled();
    if (m_askedAgain) {
        m_askedAgain = false;
        bringUpToDate(m_lastAsked);
        if (m_running)
            return;
    }
    emit finished();
}

void CustomerUpkeep::work(DatabaseTarget target, QDate today, quint64 run, Batches batches)
{
    {
        // A connection of this thread's own: a QtSql connection serves only the thread that opened it.
        QString error;
        const auto db = Database::open(target, &error);
        if (db) {
            db->setStopFlag(&m_stop);
            // A batch's changed pages stay in memory until its commit: a page written to the file before that
            // would lock the window's reads out for the rest of the batch. Without these the batches would
            // hold the window back, so the thread does nothing then.
            // (SQLite only: a server keeps other tills' reads apart from the batch itself.)
            const bool ready = db->isServer()
                || (db->exec(QStringLiteral("PRAGMA cache_spill = OFF"), {}, &error)
                    && db->exec(QStringLiteral("PRAGMA cache_size = -32768"), {}, &error));
            const CustomerStore store(*db);
            qint64 afterId = std::numeric_limits<qint64>::min();
            for (qint64 done = ready ? 1 : 0; done > 0 && !m_stop;) {
                done = store.fillNameKeys(batches.nameKeys, &afterId, &error);
                if (done > 0)
                    m_keysFilled = true;
            }
            const auto ids = ready ? store.idRange(&error) : std::nullopt;
            if (ids) {
                for (qint64 first = ids->first; !m_stop;) {
                    const qint64 last
                        = ids->second - first < batches.dayCounts ? ids->second : first + batches.dayCounts - 1;
                    if (store.updateDayCountsOfIds(today, first, last, &error) < 0 || last == ids->second)
                        break;
                    first = last + 1;
                }
            }
            db->setStopFlag(nullptr);
        }
        if (!error.isEmpty() && !m_stop)
            qWarning("Müşteri bakımı yapılamadı: %s", qUtf8Printable(error));
    }
    QMetaObject::invokeMethod(
        this, [this, run] { onBackgroundEnded(run); }, Qt::QueuedConnection);
}

} // namespace zelvora
