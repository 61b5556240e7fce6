// SPDX-License-Identifier: GPL-3.0-or-later
// The printed reports on a large ledger: 10,000 customers, one customer with 10,000 movements and one with
// 2,000 movements of long descriptions, laid out and written to PDF, and the preview opened (report filled, pages laid
// out and painted into the preview). Run: build/bench/reports_bench
#include "data/clock.h"
#include "data/dateformat.h"
#include "data/turkishtext.h"
#include "reports/printedreports.h"
#include "reports/reportpreview.h"
#include "testdatabase.h"

#include "benchmain.h"
#include <QApplication>
#include <QPrintPreviewDialog>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

constexpr int kRows = 10000;
const QString kCode = QStringLiteral("42");
// A customer whose every movement has a 300-character description, printed over several lines.
const QString kLongCode = QStringLiteral("43");
constexpr int kLongRows = 2000;

test::TestDatabase& ledger()
{
    static test::TestDatabase* t = [] {
        auto* db = new test::TestDatabase;
        QRandomGenerator random(7);
        const QDate today(2026, 12, 9);
        ScopedTransaction transaction(db->db());
        QSqlQuery customer = db->db().prepare(QStringLiteral(
            "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Bakiye, Sonislem, Gun, sira_anahtari, "
            "arama_anahtari) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 1; i <= kRows; ++i) {
            const QString name = QStringLiteral("ŞAHİN GÜLEÇ TİCARET %1").arg(random.bounded(1000000));
            const int days = random.bounded(400);
            Database::runWith(customer,
                              {QString::number(i), name,
                               random.bounded(4) == 0 ? QStringLiteral("Satıcı") : QStringLiteral("Alıcı"),
                               qint64(random.bounded(2000000)), dates::isoDate(today.addDays(-days)), -days,
                               turkish::sortKey(name), turkish::searchKey(name)});
        }
        QSqlQuery movement = db->db().prepare(
            QStringLiteral("INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, "
                           "Odenen) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < kRows; ++i) {
            const bool credit = random.bounded(3) != 0;
            Database::runWith(movement,
                              {kCode, dates::isoDate(today.addDays(-random.bounded(2000))),
                               QStringLiteral("%1:%2:00")
                                   .arg(random.bounded(24), 2, 10, QLatin1Char('0'))
                                   .arg(random.bounded(60), 2, 10, QLatin1Char('0')),
                               credit ? QStringLiteral("ÇAY ŞEKER İĞNE %1").arg(i) : QStringLiteral("Tahsilat"),
                               credit ? QVariant(2.5) : QVariant(), QStringLiteral("Kg"),
                               credit ? QVariant(1.18) : QVariant(),
                               credit ? QVariant(qint64(random.bounded(100000))) : QVariant(),
                               credit ? QVariant() : QVariant(qint64(random.bounded(100000)))});
        }
        const QString words = QStringLiteral("ÇAY ŞEKER UN YAĞ PİRİNÇ MAKARNA BULGUR NOHUT MERCİMEK FASULYE PEYNİR ");
        for (int i = 0; i < kLongRows; ++i)
            Database::runWith(movement,
                              {kLongCode, dates::isoDate(today.addDays(-i)), QStringLiteral("12:00:00"),
                               words.repeated(5).left(300), QVariant(1.0), QStringLiteral("Ad"), QVariant(),
                               QVariant(qint64(100 + i)), QVariant()});
        transaction.commit();
        return db;
    }();
    return *t;
}

QTemporaryDir& output()
{
    static QTemporaryDir dir;
    return dir;
}

void prepareList(CustomerListReport& list)
{
    list.prepare(ledger().db(), Clock::today(), QStringLiteral("1.000,00"), QStringLiteral("2.000,00"),
                 QStringLiteral("-1.000,00"));
}

void prepareStatement()
{
    AccountStatementReport::instance().prepare(ledger().db(), kCode, QStringLiteral("ŞAHİN / 42 - ( Alıcı )"),
                                               QStringLiteral("1,00"), QStringLiteral("2,00"), QStringLiteral("-1,00"));
}

// The preview closes as soon as its event loop runs, that is when it stands laid out and painted.
void openPreviewAndClose(const std::function<void()>& open)
{
    QTimer::singleShot(0, [] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget()))
            preview->reject();
    });
    open();
}

void CustomerList10kToPdf(benchmark::State& state)
{
    ledger();
    CustomerListReport list;
    for (auto _ : state) {
        prepareList(list);
        list.report().writePdf(output().filePath(QStringLiteral("liste.pdf")));
    }
    state.counters["pages"] = double(list.report().paginate().size());
}
BENCHMARK(CustomerList10kToPdf)->Unit(benchmark::kMillisecond);

// The share of reading and formatting the rows, without painting.
void CustomerList10kRead(benchmark::State& state)
{
    ledger();
    CustomerListReport list;
    for (auto _ : state)
        prepareList(list);
}
BENCHMARK(CustomerList10kRead)->Unit(benchmark::kMillisecond);

void Statement10kToPdf(benchmark::State& state)
{
    ledger();
    for (auto _ : state) {
        prepareStatement();
        AccountStatementReport::instance().report().writePdf(output().filePath(QStringLiteral("cari.pdf")));
    }
    state.counters["pages"] = double(AccountStatementReport::instance().report().paginate().size());
}
BENCHMARK(Statement10kToPdf)->Unit(benchmark::kMillisecond);

// Every row wraps: the cost of breaking long texts into lines.
void StatementLongDescriptions2kToPdf(benchmark::State& state)
{
    ledger();
    AccountStatementReport& statement = AccountStatementReport::instance();
    for (auto _ : state) {
        statement.prepare(ledger().db(), kLongCode, QStringLiteral("ŞAHİN / 43 - ( Alıcı )"), QStringLiteral("1,00"),
                          QStringLiteral("2,00"), QStringLiteral("-1,00"));
        statement.report().writePdf(output().filePath(QStringLiteral("uzun.pdf")));
    }
    state.counters["pages"] = double(statement.report().paginate().size());
}
BENCHMARK(StatementLongDescriptions2kToPdf)->Unit(benchmark::kMillisecond);

void CustomerList10kPreviewOpen(benchmark::State& state)
{
    ledger();
    CustomerListReport list;
    for (auto _ : state)
        openPreviewAndClose([&] {
            prepareList(list);
            list.preview(nullptr);
        });
}
BENCHMARK(CustomerList10kPreviewOpen)->Unit(benchmark::kMillisecond);

void Statement10kPreviewOpen(benchmark::State& state)
{
    ledger();
    for (auto _ : state)
        openPreviewAndClose([&] {
            prepareStatement();
            AccountStatementReport::instance().preview(nullptr);
        });
}
BENCHMARK(Statement10kPreviewOpen)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
