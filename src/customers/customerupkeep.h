// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <atomic>
#include <thread>

namespace zelvora {

class Database;

// Keeps the stored day counts (Gun) and name keys of the customers right. A handful of rows (the usual case:
// what an account window changed) is brought up to date at once on the window's thread. A table's worth (the
// first start of a day, many rows written by another tool) is done on a thread of its own, with its own
// connection, in short batches, so the window keeps painting; the list shows the day counts computed for
// today meanwhile, and is read again when names got new keys, since their order may change.
class CustomerUpkeep final : public QObject
{
    Q_OBJECT

public:
    // More rows than this go to the background.
    static constexpr qint64 AtOnce = 2000;
    // Ids covered by one transaction in the background; each commit holds the window's reads back for a
    // moment. Day counts are rewritten in id ranges, reading the table in order, so a batch touches few
    // pages. Name keys land all over the name indexes, so small batches write the same index pages again at
    // every commit, and large ones hold the window back longer at each commit and keep more changed pages in
    // memory (1,000,000 keys behind a scrolling window, the batch's pages kept until its commit: 15.1 s, 44 ms
    // pauses, 118 MiB at 20,000; 11.5 s, 37 ms, 138 MiB at 100,000; 10.9 s, 26 ms, 164 MiB at 250,000).
    struct Batches
    {
        qint64 dayCounts = 25000;
        qint64 nameKeys = 100000;
    };

    explicit CustomerUpkeep(const Database& db, QObject* parent = nullptr);
    // For tests: smaller batches, so that a stop between two of them can be seen.
    void setBatches(Batches batches) { m_batches = batches; }
    // Stops the background work after its current batch (a statement waiting for the file gives up at once)
    // and waits for it.
    ~CustomerUpkeep() override;
    Q_DISABLE_COPY_MOVE(CustomerUpkeep)

    void bringUpToDate(const QDate& today);
    bool isBusy() const { return m_running; }
    // Waits (events are not processed) until the background work has ended.
    void waitUntilDone();

signals:
    // Rows got their name keys in the background; the list's order may have changed.
    void nameKeysFilled();
    // The background work has ended and nothing more was asked for.
    void finished();

private:
    void startBackground(const QDate& today);
    // The thread of run `run` has ended; a report of an earlier run that waitUntilDone took already is
    // ignored.
    void onBackgroundEnded(quint64 run);
    void work(DatabaseTarget target, QDate today, quint64 run, Batches batches);

    const Database& m_db;
    std::thread m_thread;
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_keysFilled {false};
    // Read and written on the window's thread only.
    bool m_running = false;
    bool m_askedAgain = false;
    quint64 m_run = 0;
    QDate m_lastAsked;
    Batches m_batches;
};

} // namespace zelvora
