// SPDX-License-Identifier: GPL-3.0-or-later
// "Tahsilat Listesi" on a ledger of 1,000,000 customers and 1,000,000 movements: the window opened and its first
// screen painted, the list with "en az 30 gün", a jump to the last row, and the CSV of every row. Beside each,
// the statements it ran, run again directly on the same file in the same run ("raw_ms").
// Run: build/bench/collection_bench
#include "tools/collectionwindow.h"

#include "benchmain.h"
#include "ledger.h"
#include "statementlog.h"

#include <QApplication>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

test::TestDatabase* g_ledger = nullptr;

// Paints the window once, as the screen would.
void paint(QWidget& window)
{
    window.grab();
}

void CollectionOpenFirstScreen(benchmark::State& state)
{
    const Database& db = g_ledger->db();
    QStringList statements;
    int rows = 0;
    for (auto _ : state) {
        bench::StatementLog log(db);
        CollectionWindow window(g_ledger->db(), {});
        window.show();
        paint(window);
        rows = window.findChild<QTableView*>()->model()->rowCount();
        statements = log.statements();
    }
    bench::StatementLog log(db);
    state.counters["raw_ms"] = log.runDirectly(statements);
    state.counters["rows"] = rows;
    state.counters["statements"] = double(statements.size());
}
BENCHMARK(CollectionOpenFirstScreen)->Unit(benchmark::kMillisecond)->UseRealTime();

void CollectionMinDays30(benchmark::State& state)
{
    const Database& db = g_ledger->db();
    CollectionWindow window(g_ledger->db(), {});
    window.show();
    paint(window);
    auto* box = window.findChild<QSpinBox*>(QStringLiteral("minDaysBox"));
    QStringList statements;
    int value = 30;
    for (auto _ : state) {
        bench::StatementLog log(db);
        box->setValue(value);
        paint(window);
        statements = log.statements();
        value = value == 30 ? 31 : 30;
    }
    bench::StatementLog log(db);
    state.counters["raw_ms"] = log.runDirectly(statements);
}
BENCHMARK(CollectionMinDays30)->Unit(benchmark::kMillisecond)->UseRealTime();

void CollectionJumpToLastRow(benchmark::State& state)
{
    const Database& db = g_ledger->db();
    QStringList statements;
    for (auto _ : state) {
        state.PauseTiming();
        CollectionWindow window(g_ledger->db(), {});
        window.show();
        paint(window);
        auto* grid = window.findChild<QTableView*>();
        state.ResumeTiming();
        bench::StatementLog log(db);
        grid->scrollToBottom();
        paint(window);
        statements = log.statements();
    }
    bench::StatementLog log(db);
    state.counters["raw_ms"] = log.runDirectly(statements);
}
BENCHMARK(CollectionJumpToLastRow)->Unit(benchmark::kMillisecond)->UseRealTime();

void CollectionCsvEveryRow(benchmark::State& state)
{
    QTemporaryDir dir;
    const CollectionStore store(g_ledger->db());
    for (auto _ : state) {
        QString error;
        if (!CollectionWindow::writeCsv(dir.filePath(QStringLiteral("liste.csv")), store, {bench::kLedgerDay, 0},
                                        &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
    }
}
BENCHMARK(CollectionCsvEveryRow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::runOnLedger(argc, argv, g_ledger);
}
