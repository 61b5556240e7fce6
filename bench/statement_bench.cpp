// SPDX-License-Identifier: GPL-3.0-or-later
// "Hesap Ekstresi" of the account that holds 100,000 of a ledger's 1,000,000 movements (1,000,000 customers),
// read and written to PDF: over the last year of the account and over the whole account. Beside each, the
// statements the report ran, run again directly on the same file in the same run ("raw_ms").
// Run: build/bench/statement_bench
#include "data/clock.h"
#include "tools/toolreports.h"

#include "benchmain.h"
#include "ledger.h"
#include "statementlog.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

test::TestDatabase* g_ledger = nullptr;

QTemporaryDir& output()
{
    static QTemporaryDir dir;
    return dir;
}

void statementToPdf(benchmark::State& state, const QDate& first)
{
    const Database& db = g_ledger->db();
    StatementReport report;
    QStringList statements;
    for (auto _ : state) {
        bench::StatementLog log(db);
        QString error;
        if (!report.prepare(db, bench::kBigAccount, QStringLiteral("BÜYÜK HESAP"), first, bench::kLedgerDay, &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        if (!report.report().writePdf(output().filePath(QStringLiteral("ekstre.pdf")), &error)) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        statements = log.statements();
    }
    bench::StatementLog log(db);
    state.counters["raw_ms"] = log.runDirectly(statements);
    state.counters["rows"] = double(report.report().rowCount());
    state.counters["pages"] = double(report.report().paginate().size());
}

void Statement100kLastYearToPdf(benchmark::State& state)
{
    statementToPdf(state, bench::kLedgerDay.addYears(-1).addDays(1));
}
BENCHMARK(Statement100kLastYearToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

void Statement100kWholeAccountToPdf(benchmark::State& state)
{
    statementToPdf(state, QDate(2000, 1, 1));
}
BENCHMARK(Statement100kWholeAccountToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading the statement and filling the report, without laying out and painting the pages.
void Statement100kWholeAccountRead(benchmark::State& state)
{
    StatementReport report;
    for (auto _ : state)
        report.prepare(g_ledger->db(), bench::kBigAccount, QStringLiteral("BÜYÜK HESAP"), QDate(2000, 1, 1),
                       bench::kLedgerDay);
    state.counters["rows"] = double(report.report().rowCount());
}
BENCHMARK(Statement100kWholeAccountRead)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::runOnLedger(argc, argv, g_ledger);
}
