// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the account that holds 100,000 of a ledger's 1,000,000 movements (1,000,000 customers), with the
// window painted, and moving its grid to the last and the middle movements; each against the same statements
// run directly on the same file in the same run.
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "app/messagebox.h"
#include "data/clock.h"

#include "benchmain.h"
#include "ledger.h"
#include "statementlog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <iostream>

using namespace zelvora;

namespace {

test::TestDatabase* g_ledger = nullptr;

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

void readAll(QSqlQuery& q)
{
    Database::run(q);
    while (q.next()) {
        for (int c = 0; c < q.record().count(); ++c)
            benchmark::DoNotOptimize(q.value(c));
    }
}

// How the last page used to be read: counted from the first movement.
double offsetLastPageMs(const Database& db, qint64 count)
{
    QElapsedTimer timer;
    timer.start();
    QSqlQuery page
        = db.prepare(QStringLiteral("SELECT * FROM veresiye WHERE mus_kodu = ? ORDER BY id LIMIT 128 OFFSET ?"));
    page.addBindValue(bench::kBigAccount);
    page.addBindValue(std::max<qint64>(0, count - 128));
    readAll(page);
    return bench::msSince(timer);
}

bool reportBadPlans(benchmark::State& state, const bench::StatementLog& log)
{
    const QStringList bad = log.badPlans();
    for (const QString& s : bad)
        std::cerr << "plan: " << s.toStdString() << '\n';
    if (!bad.isEmpty())
        state.SkipWithError("a statement sorts or scans the account");
    return bad.isEmpty();
}

std::unique_ptr<AccountWindow> newWindow()
{
    auto window = std::make_unique<AccountWindow>(g_ledger->db());
    window->setWindowTitle(QStringLiteral("AHMET YILMAZ / 1 - ( Alıcı )"));
    window->setCustomerNumber(bench::kBigAccount);
    // Laid out and polished as a shown window is before its first activation.
    benchmark::DoNotOptimize(window->grab());
    return window;
}

// The window's activation (customer row, movements, totals, day count) and the painting of the window with
// the grid's first screen; raw: the statements it ran, run again directly.
void OpenAccount100k(benchmark::State& state)
{
    double openMs = 0, rawMs = 0;
    const double loadBefore = loadAverage();
    double createMs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const auto window = newWindow();
        createMs += bench::msSince(timer);
        bench::StatementLog log(g_ledger->db());
        timer.start();
        window->onActivated();
        benchmark::DoNotOptimize(window->grab());
        const double ms = bench::msSince(timer);
        state.SetIterationTime(ms / 1e3);
        openMs += ms;
        rawMs += log.runDirectly(log.statements());
        if (window->model()->rowCount() < 100000)
            state.SkipWithError("the big account is not there");
    }
    state.counters["open_ms"] = openMs / double(state.iterations());
    state.counters["raw_ms"] = rawMs / double(state.iterations());
    state.counters["open_vs_raw"] = openMs / rawMs;
    // Not in the figure: making the window and laying it out, before its activation.
    state.counters["create_ms"] = createMs / double(state.iterations());
    state.counters["load1"] = (loadBefore + loadAverage()) / 2;
}
BENCHMARK(OpenAccount100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// The statements of an opening and of moving the grid to its end and its middle, with their plans: none may
// sort the account or leave its range in the index. The largest OFFSET is the middle's, reached first: no
// row there has been read yet, so the rows up to it are stepped over in the index.
void OpeningAndPagingPlans(benchmark::State& state)
{
    for (auto _ : state) {
        const auto window = newWindow();
        bench::StatementLog log(g_ledger->db());
        window->onActivated();
        auto* grid = window->findChild<QTableView*>(QStringLiteral("movementGrid"));
        grid->scrollToBottom();
        benchmark::DoNotOptimize(grid->viewport()->grab());
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
        benchmark::DoNotOptimize(grid->viewport()->grab());
        state.counters["statements"] = double(log.statements().size());
        state.counters["largest_offset"] = double(log.largestOffset());
        state.counters["sum_reads_covering"]
            = log.plan(log.statements().filter(QStringLiteral("sum(Eklenen)")).value(0))
                  .filter(QStringLiteral("COVERING INDEX veresiye_toplam"))
                  .size();
        if (state.counters["sum_reads_covering"] == 0)
            state.SkipWithError("the sums do not read the covering index");
        for (const QString& s : log.statements())
            std::cerr << s.toStdString() << "\n    " << log.plan(s).join(QStringLiteral("\n    ")).toStdString()
                      << '\n';
        reportBadPlans(state, log);
    }
}
BENCHMARK(OpeningAndPagingPlans)->Iterations(1);

// Moving the opened grid to its last movements (the scroll bar's end) or to its middle (the scroll bar's thumb
// dragged half way), painted; against the statements it ran, run again directly, and against the last page
// counted from the first movement as it was read before.
template<bool middle> void MoveGrid100k(benchmark::State& state)
{
    double pageMs = 0, rawMs = 0, offsetMs = 0, paintMs = 0;
    qint64 largestOffset = 0;
    const double loadBefore = loadAverage();
    for (auto _ : state) {
        const auto window = newWindow();
        window->onActivated();
        auto* grid = window->findChild<QTableView*>(QStringLiteral("movementGrid"));
        bench::StatementLog log(g_ledger->db());
        QElapsedTimer timer;
        timer.start();
        if (middle)
            grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
        else
            grid->scrollToBottom();
        benchmark::DoNotOptimize(grid->viewport()->grab());
        const double ms = bench::msSince(timer);
        state.SetIterationTime(ms / 1e3);
        pageMs += ms;
        rawMs += log.runDirectly(log.statements());
        // The painting alone: the same screen once more, its rows read already.
        timer.start();
        benchmark::DoNotOptimize(grid->viewport()->grab());
        paintMs += bench::msSince(timer);
        largestOffset = std::max(largestOffset, log.largestOffset());
        offsetMs += offsetLastPageMs(g_ledger->db(), window->model()->rowCount());
    }
    const double n = double(state.iterations());
    state.counters["page_ms"] = pageMs / n;
    state.counters["raw_ms"] = rawMs / n;
    state.counters["page_vs_raw"] = pageMs / rawMs;
    state.counters["paint_only_ms"] = paintMs / n;
    state.counters["largest_offset"] = double(largestOffset);
    if (!middle)
        state.counters["last_by_offset_ms"] = offsetMs / n;
    state.counters["load1"] = (loadBefore + loadAverage()) / 2;
}
BENCHMARK(MoveGrid100k<false>)
    ->Name("LastMovements100k")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK(MoveGrid100k<true>)
    ->Name("MiddleMovements100k")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::runOnLedger(argc, argv, g_ledger);
}
