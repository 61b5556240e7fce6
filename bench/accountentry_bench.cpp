// Storing an entry on an account of 100,000 movements: from "Onayla" until the account shows it, and the
// whole reload period after it (the 4 s of blinking) until the program is idle, against the raw statements.
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "app/messagebox.h"
#include "entry/entrywindow.h"
#include "testdatabase.h"
#include "widgets/lumbutton/lumbutton.h"

#include "benchmain.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace zelvora;

namespace {

const QString kKod = QStringLiteral("1");
constexpr int kMovements = 100000;

double cpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

std::unique_ptr<test::TestDatabase> ledger()
{
    auto t = std::make_unique<test::TestDatabase>();
    t->addCustomer(kKod, QStringLiteral("AHMET YILMAZ"));
    for (int i = 2; i <= 1000; ++i)
        t->addCustomer(QString::number(i), QStringLiteral("Müşteri %1").arg(i));
    t->db().exec(QStringLiteral(
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                     "INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen) "
                     "SELECT CASE WHEN i % 2 = 0 THEN ? ELSE CAST(2 + i % 999 AS TEXT) END, "
                     "date('2020-01-01', '+' || (i / 100) || ' days'), '12:00:00', 'Satış ' || i, 2, 'Adet', 1.18, "
                     "CASE WHEN i % 9 = 0 THEN NULL ELSE 2360 END, CASE WHEN i % 9 = 0 THEN 1000 ELSE NULL END FROM n"),
                 {kMovements * 2, kKod});
    return t;
}

// What one reload must read and write, as plain statements on the same file.
double rawReloadMs(const Database& db)
{
    QElapsedTimer timer;
    timer.start();
    db.scalar(QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu = ?"), {kKod});
    QSqlQuery page = db.prepare(QStringLiteral("SELECT * FROM veresiye WHERE mus_kodu = ? ORDER BY id LIMIT 128"));
    page.addBindValue(kKod);
    page.exec();
    while (page.next()) { }
    db.scalar(QStringLiteral("SELECT sum(Eklenen) + sum(Odenen) FROM veresiye WHERE mus_kodu = ?"), {kKod});
    db.scalar(QStringLiteral("SELECT MusteriFirma FROM musteriler WHERE mus_kodu = ?"), {kKod});
    return timer.nsecsElapsed() / 1e6;
}

void StoreEntryUntilIdle100k(benchmark::State& state)
{
    const auto t = ledger();
    MessageBox::setHandler([&state](const MessageBox::Message& m) {
        state.SkipWithError(m.text.toStdString().c_str());
        return MessageBox::Answer::Ok;
    });
    AccountWindow account(t->db());
    account.setCustomerNumber(kKod);
    account.show();
    account.onActivated();
    auto* reload = account.findChild<QTimer*>(QStringLiteral("reloadTimer"));
    auto* stop = account.findChild<QTimer*>(QStringLiteral("stopTimer"));
    double seenMs = 0, busyMs = 0, rawMs = 0, rereads = 0;
    for (auto _ : state) {
        QElapsedTimer fromConfirm;
        QTimer::singleShot(0, [&] {
            auto* entry = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
            entry->findChild<QLineEdit*>(QStringLiteral("quantityBox"))->setText(QStringLiteral("2"));
            entry->findChild<QLineEdit*>(QStringLiteral("unitPriceBox"))->setText(QStringLiteral("10"));
            fromConfirm.start();
            entry->findChild<LumButton*>(QStringLiteral("creditConfirmButton"))->click();
        });
        QSignalSpy resets(account.model(), &QAbstractItemModel::modelReset);
        account.findChild<LumButton*>(QStringLiteral("creditButton"))->click();
        const double seen = fromConfirm.nsecsElapsed() / 1e6;
        state.SetIterationTime(seen / 1e3);
        seenMs += seen;

        // The rest of the reload period: CPU the program spends until its reload timers have stopped.
        const double cpuBefore = cpuMs();
        QEventLoop period;
        QObject::connect(stop, &QTimer::timeout, &period, &QEventLoop::quit);
        QTimer::singleShot(10000, &period, &QEventLoop::quit);
        if (reload->isActive() || stop->isActive())
            period.exec();
        busyMs += cpuMs() - cpuBefore;
        rereads += resets.size();
        rawMs += rawReloadMs(t->db());
    }
    const double n = double(state.iterations());
    state.counters["seen_ms"] = seenMs / n;
    state.counters["raw_reload_ms"] = rawMs / n;
    state.counters["seen_vs_raw"] = seenMs / std::max(rawMs, 1e-6);
    state.counters["period_cpu_ms"] = busyMs / n;
    state.counters["rereads_per_entry"] = rereads / n;
    MessageBox::setHandler({});
}
BENCHMARK(StoreEntryUntilIdle100k)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
