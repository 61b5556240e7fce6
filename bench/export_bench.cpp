// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's CSV export of 1,000,000 movements (10,000 customers with 100 movements each; every
// third a credit sale with quantity, unit and tax factor) and of the 10,000 customers, into /tmp.
#include "cli/csvexport.h"
#include "data/turkishtext.h"
#include "testdatabase.h"

#include "benchmain.h"
#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <memory>

using namespace zelvora;

namespace {

constexpr int kCustomers = 10000;
constexpr int kMovementsEach = 100;

test::TestDatabase* g_database = nullptr;

void Export(benchmark::State& state, cli::ExportKind kind, qint64 expectedRows)
{
    const QString target = QDir(g_database->folder()).filePath(QStringLiteral("disari.csv"));
    qint64 rows = 0;
    for (auto _ : state) {
        QString error;
        if (!cli::exportCsv(g_database->path(), kind, target, &error, &rows) || rows != expectedRows)
            state.SkipWithError(error.isEmpty() ? "wrong row count" : qPrintable(error));
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["megabytes"] = static_cast<double>(QFileInfo(target).size()) / (1024 * 1024);
    QFile::remove(target);
}

void ExportMovements(benchmark::State& state)
{
    Export(state, cli::ExportKind::Movements, qint64(kCustomers) * kMovementsEach);
}

void ExportCustomers(benchmark::State& state)
{
    Export(state, cli::ExportKind::Customers, kCustomers);
}

BENCHMARK(ExportMovements)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ExportCustomers)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void fill(test::TestDatabase& database)
{
    Database& db = database.db();
    const QStringList names {QStringLiteral("Ayşe"), QStringLiteral("Çiğdem"), QStringLiteral("İsmail"),
                             QStringLiteral("Oğuz \"Bakkal\""), QStringLiteral("Şükrü; Ortak")};
    db.exec(QStringLiteral("BEGIN"));
    QSqlQuery customer = db.prepare(QStringLiteral(
        "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Bakiye, Sonislem, sira_anahtari, arama_anahtari) "
        "VALUES (?, ?, 'Alıcı', ?, '2009-03-05', ?, ?)"));
    QSqlQuery movement = db.prepare(
        QStringLiteral("INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen) "
                       "VALUES (?, '2009-03-05', '14:05:09', ?, ?, ?, ?, ?, ?)"));
    for (int c = 1; c <= kCustomers; ++c) {
        const QString code = QString::number(c);
        const QString name = names.at(c % names.size()) + QLatin1Char(' ') + code;
        Database::runWith(customer, {code, name, c * 1234, turkish::sortKey(name), turkish::searchKey(name)});
        for (int m = 0; m < kMovementsEach; ++m) {
            const bool sale = m % 3 != 0;
            Database::runWith(movement,
                              {code, sale ? QStringLiteral("Un, 5 kg") : QStringLiteral("Ödeme"),
                               sale ? QVariant(2.5) : QVariant(), sale ? QStringLiteral("Kg") : QVariant(),
                               sale ? QVariant(1.18) : QVariant(), sale ? QVariant(123456) : QVariant(),
                               sale ? QVariant() : QVariant(50000)});
        }
    }
    db.exec(QStringLiteral("COMMIT"));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("TMPDIR", "/tmp");
    std::unique_ptr<test::TestDatabase> database;
    return zelvora::bench::run(
        argc, argv,
        [&] {
            database = std::make_unique<test::TestDatabase>();
            g_database = database.get();
            fill(*database);
            database->close();
        },
        [&] {
            g_database = nullptr;
            database.reset();
        });
}
