// SPDX-License-Identifier: GPL-3.0-or-later
// `zelvora --check --repair` on a 200,000-customer ledger (bench/ledger.h) whose name keys are all missing, as a
// file written by another tool leaves them, against the same repair on the same ledger already keyed: the
// difference is the time the key fill costs. Beside them, in the same run, the raw baselines: one statement that
// rewrites one indexed column of the same rows (sira_anahtari = upper(MusteriFirma), raw_rewrite_ms), and one
// that rewrites a column no index holds (Telefon1, raw_plain_ms), each in one transaction. The goal: the fill
// costs at most four times a raw one-column rewrite.
#include "cli/ledgercheck.h"
#include "data/clock.h"
#include "data/database.h"
#include "ledger.h"

#include "benchmain.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <memory>

using namespace zelvora;

namespace {

constexpr int kCustomers = 200000;

bool exec(const QString& path, const QString& sql)
{
    const std::unique_ptr<Database> db = Database::open(path);
    return db && db->exec(sql);
}

void RepairFillsNameKeys(benchmark::State& state)
{
    QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("zelvora-repairbench-XXXXXX")));
    const QString ledger = bench::ledgerFile(kCustomers, kCustomers);
    const QString path = QDir(dir.path()).filePath(QStringLiteral("veresiye.dll"));
    const QString backups = QDir(dir.path()).filePath(QStringLiteral("yedek"));
    const QDateTime now(bench::kLedgerDay, QTime(10, 0));
    double keyless = 0, keyed = 0, raw = 0, rawPlain = 0;
    int filled = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        // The benchmark ledger has no user and balances of its own: a first repair brings it to what the program
        // keeps, so that the timed repairs differ only in the keys.
        if (ledger.isEmpty() || !QFile::copy(ledger, path)
            || !QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner)
            || !exec(path, QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', 'x')"))
            || !cli::repairLedger(path, backups, now, 1000).ok || !QDir(backups).removeRecursively()
            || !exec(path, QStringLiteral("UPDATE musteriler SET sira_anahtari = NULL, arama_anahtari = NULL"))) {
            state.SkipWithError("the ledger could not be made");
            break;
        }
        QElapsedTimer timer;
        state.ResumeTiming();
        timer.start();
        const cli::RepairResult withoutKeys = cli::repairLedger(path, backups, now, 1000);
        keyless += bench::msSince(timer);
        state.PauseTiming();
        QDir(backups).removeRecursively();
        timer.start();
        const cli::RepairResult withKeys = cli::repairLedger(path, backups, now, 1000);
        keyed += bench::msSince(timer);
        QDir(backups).removeRecursively();
        if (!withoutKeys.ok || !withKeys.ok || withKeys.nameKeys != 0) {
            const QString why = withoutKeys.ok ? withKeys.error : withoutKeys.error;
            state.SkipWithError(
                ("a repair failed: " + why.toStdString() + " / keys left: " + std::to_string(withKeys.nameKeys))
                    .c_str());
            break;
        }
        filled = withoutKeys.nameKeys;
        const std::unique_ptr<Database> db = Database::open(path);
        timer.start();
        if (!db || !db->exec(QStringLiteral("UPDATE musteriler SET sira_anahtari = upper(MusteriFirma)"))) {
            state.SkipWithError("the raw rewrite failed");
            break;
        }
        raw += bench::msSince(timer);
        timer.start();
        if (!db->exec(QStringLiteral("UPDATE musteriler SET Telefon1 = coalesce(Telefon1, '') || ''"))) {
            state.SkipWithError("the raw rewrite failed");
            break;
        }
        rawPlain += bench::msSince(timer);
        state.ResumeTiming();
    }
    const double n = double(state.iterations());
    state.counters["keys_filled"] = filled;
    state.counters["keyless_ms"] = keyless / n;
    state.counters["keyed_ms"] = keyed / n;
    state.counters["raw_rewrite_ms"] = raw / n;
    state.counters["raw_plain_ms"] = rawPlain / n;
    state.counters["fill_over_raw"] = (keyless - keyed) / std::max(raw, 1e-9);
    state.counters["fill_over_raw_plain"] = (keyless - keyed) / std::max(rawPlain, 1e-9);
}
BENCHMARK(RepairFillsNameKeys)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
