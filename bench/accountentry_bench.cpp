// SPDX-License-Identifier: GPL-3.0-or-later
// Storing a credit sale or a payment through the entry window on the account that holds 100,000 of a ledger's
// 1,000,000 movements (1,000,000 customers): from "Onayla" until the grid, moved to its end and painted, shows
// the new movement; until the balance is stored; and the whole period after it until the program is idle
// (its reload period over, nothing pending), with every statement the program runs counted. Raw baselines:
// the same statements run again directly on the same file in the same run.
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "app/messagebox.h"
#include "data/clock.h"
#include "entry/entrywindow.h"
#include "widgets/lumbutton/lumbutton.h"

#include "benchmain.h"
#include "ledger.h"
#include "statementlog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <iostream>
#include <sys/resource.h>

using namespace zelvora;

namespace {

test::TestDatabase* g_ledger = nullptr;

double cpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

template<EntryWindow::Panel panel> void StoreEntry100k(benchmark::State& state)
{
    const bool credit = panel == EntryWindow::Panel::Credit;
    AccountWindow account(g_ledger->db());
    account.setWindowTitle(QStringLiteral("AHMET YILMAZ / 1 - ( Alıcı )"));
    account.setCustomerNumber(bench::kBigAccount);
    account.show();
    account.onActivated();
    auto* grid = account.findChild<QTableView*>(QStringLiteral("movementGrid"));
    auto* button
        = account.findChild<LumButton*>(credit ? QStringLiteral("creditButton") : QStringLiteral("paymentButton"));
    QList<QTimer*> busyTimers;
    for (const char* name : {"reloadTimer", "stopTimer", "rowStoreTimer"})
        busyTimers << account.findChild<QTimer*>(QString::fromLatin1(name));
    const auto busy = [&] {
        return std::any_of(busyTimers.cbegin(), busyTimers.cend(), [](const QTimer* t) { return t->isActive(); });
    };
    const auto runUntil = [](const std::function<bool()>& done) {
        QElapsedTimer guard;
        guard.start();
        while (!done() && guard.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    };
    runUntil([&] { return !busy(); });

    static int serial = 0;
    double seenMs = 0, rawSeenMs = 0, settledMs = 0, rawSettledMs = 0, idleMs = 0, busyCpuMs = 0;
    double rereads = 0, wholeAccountSums = 0, readsAfterSeen = 0, writesAfterSeen = 0, rawInsertMs = 0;
    const double loadBefore = loadAverage();
    for (auto _ : state) {
        const QString description = QStringLiteral("ölçüm %1").arg(++serial);
        std::optional<bench::StatementLog> log;
        QElapsedTimer fromConfirm;
        double cpuAtConfirm = 0;
        QTimer::singleShot(0, [&] {
            auto* entry = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
            // The user types once the window is up: its activation (the unit list) has run.
            runUntil([&] { return entry->isActiveWindow(); });
            QCoreApplication::processEvents();
            if (credit) {
                entry->findChild<QLineEdit*>(QStringLiteral("descriptionBox"))->setText(description);
                entry->findChild<QLineEdit*>(QStringLiteral("quantityBox"))->setText(QStringLiteral("2"));
                entry->findChild<QLineEdit*>(QStringLiteral("unitPriceBox"))->setText(QStringLiteral("10"));
            } else {
                entry->findChild<QLineEdit*>(QStringLiteral("paymentDescriptionBox"))->setText(description);
                entry->findChild<QLineEdit*>(QStringLiteral("amountBox"))->setText(QStringLiteral("15,00"));
            }
            log.emplace(g_ledger->db());
            cpuAtConfirm = cpuMs();
            fromConfirm.start();
            entry
                ->findChild<LumButton*>(credit ? QStringLiteral("creditConfirmButton")
                                               : QStringLiteral("paymentConfirmButton"))
                ->click();
        });
        button->click();

        // Seen: the grid moved to its end and painted, its last row the new movement.
        grid->scrollToBottom();
        benchmark::DoNotOptimize(grid->viewport()->grab());
        const double seen = bench::msSince(fromConfirm);
        const QStringList seenStatements = log->statements();
        const int last = account.model()->rowCount() - 1;
        if (account.model()->index(last, MovementListModel::Aciklama).data().toString() != description)
            state.SkipWithError("the new movement is not the grid's last row");

        // Settled: the balance it brings is stored in the customer row.
        runUntil([&] { return !busyTimers.last()->isActive(); });
        const double settled = bench::msSince(fromConfirm);
        const QStringList settledStatements = log->statements();

        // Idle: the reload period is over and nothing is pending; only the blink and panel timers are left.
        runUntil([&] { return !busy(); });
        const double idle = bench::msSince(fromConfirm);
        const double cpu = cpuMs() - cpuAtConfirm;

        state.SetIterationTime(seen / 1e3);
        seenMs += seen;
        settledMs += settled;
        idleMs += idle;
        busyCpuMs += cpu;
        rereads += double(log->count(QStringLiteral("sum(Eklenen)")));
        // Of those, the ones over the whole account rather than the movements after a known one.
        for (const QString& s : log->statements())
            wholeAccountSums += s.contains(QLatin1String("sum(Eklenen)")) && !s.contains(QLatin1String("id >")) ? 1 : 0;
        const QStringList after = log->statements().mid(seenStatements.size());
        for (const QString& s : after)
            (s.startsWith(QLatin1String("SELECT")) ? readsAfterSeen : writesAfterSeen) += 1;
        rawSeenMs += log->runDirectly(seenStatements);
        rawSettledMs += log->runDirectly(settledStatements.mid(seenStatements.size()));
        rawInsertMs += log->runDirectly(seenStatements.filter(QStringLiteral("INSERT INTO veresiye")));
        static bool shown[2] = {};
        if (!std::exchange(shown[credit ? 0 : 1], true)) {
            for (const QString& s : log->statements())
                std::cerr << "  " << s.toStdString() << '\n';
        }
        log.reset();
    }
    const double n = double(state.iterations());
    rawSettledMs += rawSeenMs;
    state.counters["seen_ms"] = seenMs / n;
    state.counters["raw_seen_ms"] = rawSeenMs / n;
    state.counters["seen_vs_raw"] = seenMs / rawSeenMs;
    state.counters["settled_ms"] = settledMs / n;
    state.counters["raw_settled_ms"] = rawSettledMs / n;
    state.counters["settled_vs_raw"] = settledMs / rawSettledMs;
    state.counters["idle_after_ms"] = idleMs / n;
    state.counters["period_cpu_ms"] = busyCpuMs / n;
    state.counters["rereads_per_entry"] = rereads / n;
    state.counters["whole_account_sums"] = wholeAccountSums / n;
    state.counters["raw_insert_ms"] = rawInsertMs / n;
    state.counters["reads_after_seen"] = readsAfterSeen / n;
    state.counters["writes_after_seen"] = writesAfterSeen / n;
    state.counters["load1"] = (loadBefore + loadAverage()) / 2;
    account.hide();
}
BENCHMARK(StoreEntry100k<EntryWindow::Panel::Credit>)
    ->Name("StoreCredit100k")
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(StoreEntry100k<EntryWindow::Panel::Payment>)
    ->Name("StorePayment100k")
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::runOnLedger(argc, argv, g_ledger);
}
