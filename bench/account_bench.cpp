// Opening an account with 10,000 movements, and storing an entry followed by the account's reload.
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "app/messagebox.h"
#include "entry/entrywindow.h"
#include "testdatabase.h"
#include "widgets/lumbutton/lumbutton.h"

#include "benchmain.h"
#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

const QString kKod = QStringLiteral("42");

std::unique_ptr<test::TestDatabase> accountWith(int movements)
{
    auto t = std::make_unique<test::TestDatabase>();
    t->addCustomer(kKod, QStringLiteral("AHMET YILMAZ"));
    for (int i = 0; i < 2000; ++i)
        t->addCustomer(QString::number(1000 + i), QStringLiteral("Müşteri %1").arg(i));
    // Other customers' movements too, so the account is read out of a realistic table.
    t->db().exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                     "INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen) "
                     "SELECT CASE WHEN i % 3 = 0 THEN ? ELSE CAST(1000 + i % 2000 AS TEXT) END, "
                     "date('2020-01-01', '+' || (i / 10) || ' days'), '12:00:00', 'Satış ' || i, 2, 'Adet', 1.18, "
                     "CASE WHEN i % 9 = 0 THEN NULL ELSE 2360 END, CASE WHEN i % 9 = 0 THEN 1000 ELSE NULL END FROM n"),
                 {movements * 3, kKod});
    return t;
}

void readFirstScreen(const MovementListModel* model)
{
    for (int row = 0; row < std::min(model->rowCount(), 30); ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            benchmark::DoNotOptimize(model->index(row, column).data());
}

void OpenAccount10k(benchmark::State& state)
{
    const auto t = accountWith(10000);
    MessageBox::setHandler([](const MessageBox::Message&) { return MessageBox::Answer::Ok; });
    for (auto _ : state) {
        AccountWindow window(t->db());
        window.setCustomerNumber(kKod);
        window.onActivated();
        readFirstScreen(window.model());
        if (window.model()->rowCount() != 10000)
            state.SkipWithError("wrong movement count");
    }
    MessageBox::setHandler({});
}
BENCHMARK(OpenAccount10k)->Unit(benchmark::kMillisecond);

// The same, with the window laid out and painted once.
void OpenAccount10kPainted(benchmark::State& state)
{
    const auto t = accountWith(10000);
    for (auto _ : state) {
        AccountWindow window(t->db());
        window.setCustomerNumber(kKod);
        window.onActivated();
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(OpenAccount10kPainted)->Unit(benchmark::kMillisecond);

void StoreEntryAndReload10k(benchmark::State& state)
{
    const auto t = accountWith(10000);
    AccountWindow account(t->db());
    account.setCustomerNumber(kKod);
    account.onActivated();
    MessageBox::setHandler([&state](const MessageBox::Message& m) {
        state.SkipWithError(m.text.toStdString().c_str());
        return MessageBox::Answer::Ok;
    });
    for (auto _ : state) {
        state.PauseTiming();
        auto entry = std::make_unique<EntryWindow>(t->db(), &account);
        entry->setCustomerNumber(kKod);
        entry->openPanel(EntryWindow::Panel::Credit, QStringLiteral("VERESİYE EKLE - "));
        entry->findChild<QLineEdit*>(QStringLiteral("quantityBox"))->setText(QStringLiteral("2"));
        entry->findChild<QLineEdit*>(QStringLiteral("unitPriceBox"))->setText(QStringLiteral("10"));
        state.ResumeTiming();
        // "Onayla", then one tick of the account's reload timer.
        entry->findChild<LumButton*>(QStringLiteral("creditConfirmButton"))->click();
        account.ara();
        account.updateButtonStates();
        readFirstScreen(account.model());
    }
    MessageBox::setHandler({});
}
BENCHMARK(StoreEntryAndReload10k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
