// SPDX-License-Identifier: GPL-3.0-or-later
// The list totals over 100,000 customers: the two sums alone, and the whole "Listeyi Topla" command as the
// main window runs it (lock, sums, count, panel shown) followed by the panel's "Kapat".
#include "app/messagebox.h"
#include "customers/listtotalspanel.h"
#include "customers/listtotalsstore.h"
#include "customers/mainwindow.h"
#include "data/customerstore.h"
#include "data/database.h"
#include "testdatabase.h"
#include "widgets/lumbutton/lumbutton.h"

#include "benchmain.h"
#include <QApplication>
#include <QSqlQuery>

#include <benchmark/benchmark.h>
#include <memory>

using namespace zelvora;

namespace {

constexpr int kCustomers = 100000;

std::unique_ptr<test::TestDatabase> filledDatabase()
{
    auto t = std::make_unique<test::TestDatabase>();
    ScopedTransaction transaction(t->db());
    QSqlQuery insert = t->db().prepare(QStringLiteral(
        "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Telefon1, Sehir, Adres, Bakiye, Sonislem, Gun) "
        "VALUES (?, ?, ?, '0212 555 00 00', 'İstanbul', 'Atatürk Caddesi No: 12 Kadıköy', ?, '2026-11-30', -10)"));
    for (int i = 1; i <= kCustomers; ++i) {
        insert.bindValue(0, QString::number(i));
        insert.bindValue(1, QStringLiteral("Müşteri Şirketi Ltd. Şti. %1").arg(i));
        insert.bindValue(2, i % 3 ? QStringLiteral("Alıcı") : QStringLiteral("Satıcı"));
        insert.bindValue(3, i % 10 ? QVariant(qint64(i) * 1237 % 5000000 - 100000) : QVariant());
        insert.exec();
    }
    transaction.commit();
    CustomerStore(t->db()).refreshNameKeys();
    return t;
}

test::TestDatabase& database()
{
    static const std::unique_ptr<test::TestDatabase> t = filledDatabase();
    return *t;
}

void BM_ListTotalsSums(benchmark::State& state)
{
    const ListTotalsStore store(database().db());
    for (auto _ : state) {
        auto totals = store.sums();
        benchmark::DoNotOptimize(totals);
    }
}
BENCHMARK(BM_ListTotalsSums)->Unit(benchmark::kMillisecond);

void BM_ListToplaCommand(benchmark::State& state)
{
    MessageBox::setHandler([](const MessageBox::Message&) { return MessageBox::Answer::Ok; });
    MainWindow main(database().db());
    main.show();
    main.onActivated();
    auto* totalButton = main.findChild<LumButton*>(QStringLiteral("listTotalButton"));
    auto* closeButton = main.listTotalsPanel()->findChild<LumButton*>(QStringLiteral("listTotalsCloseButton"));
    for (auto _ : state) {
        totalButton->click();
        QApplication::processEvents();
        state.PauseTiming();
        if (main.listTotalsPanel()->countText() != QString::number(kCustomers))
            state.SkipWithError("wrong count");
        closeButton->click();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    MessageBox::setHandler({});
}
BENCHMARK(BM_ListToplaCommand)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
