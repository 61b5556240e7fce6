// The customer list on a large ledger: the main window's activation, a keystroke in the search box, and
// start-up to the main window. Run: build/bench/customerlist_bench
#include "app/application.h"
#include "customers/customerlistmodel.h"
#include "customers/mainwindow.h"
#include "data/clock.h"
#include "data/customerstore.h"
#include "data/dateformat.h"
#include "data/turkishtext.h"
#include "startup/splashwindow.h"
#include "startup/startup.h"
#include "testdatabase.h"

#include "benchmain.h"
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

constexpr int kCustomers = 100000;

const QStringList kFirst
    = {QStringLiteral("Ahmet"),  QStringLiteral("Ayşe"),  QStringLiteral("Çetin"),  QStringLiteral("Deniz"),
       QStringLiteral("Emine"),  QStringLiteral("Fatma"), QStringLiteral("Gökhan"), QStringLiteral("Hülya"),
       QStringLiteral("İsmail"), QStringLiteral("Kemal"), QStringLiteral("Leyla"),  QStringLiteral("Mehmet"),
       QStringLiteral("Nur"),    QStringLiteral("Osman"), QStringLiteral("Özlem"),  QStringLiteral("Şule"),
       QStringLiteral("Tuğba"),  QStringLiteral("Ümit"),  QStringLiteral("Yusuf"),  QStringLiteral("Zeynep")};
const QStringList kLast
    = {QStringLiteral("Yılmaz"), QStringLiteral("Kaya"),   QStringLiteral("Demir"), QStringLiteral("Şahin"),
       QStringLiteral("Çelik"),  QStringLiteral("Yıldız"), QStringLiteral("Aydın"), QStringLiteral("Öztürk"),
       QStringLiteral("Arslan"), QStringLiteral("Doğan"),  QStringLiteral("Kılıç"), QStringLiteral("Koç")};

// One large ledger for the whole run.
test::TestDatabase& ledger()
{
    static test::TestDatabase* t = [] {
        auto* db = new test::TestDatabase;
        QRandomGenerator random(42);
        const QDate today(2026, 12, 9);
        {
            ScopedTransaction transaction(db->db());
            QSqlQuery insert = db->db().prepare(QStringLiteral("INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, "
                                                               "Bakiye, Sonislem, sira_anahtari, arama_anahtari) "
                                                               "VALUES (?, ?, ?, ?, ?, ?, ?)"));
            for (int i = 1; i <= kCustomers; ++i) {
                const QString name = kFirst.at(random.bounded(kFirst.size())) + QLatin1Char(' ')
                    + kLast.at(random.bounded(kLast.size())) + QLatin1Char(' ') + QString::number(i);
                insert.addBindValue(QString::number(i));
                insert.addBindValue(name);
                insert.addBindValue(random.bounded(4) == 0 ? QStringLiteral("Satıcı") : QStringLiteral("Alıcı"));
                insert.addBindValue(qint64(random.bounded(2000000)) - 200000);
                insert.addBindValue(dates::isoDate(today.addDays(-random.bounded(400))));
                insert.addBindValue(turkish::sortKey(name));
                insert.addBindValue(turkish::searchKey(name));
                Database::run(insert);
            }
            transaction.commit();
        }
        db->close();
        return db;
    }();
    return *t;
}

void paintFirstScreen(MainWindow& window)
{
    auto* grid = window.findChild<QTableView*>(QStringLiteral("customerGrid"));
    benchmark::DoNotOptimize(grid->viewport()->grab());
}

void BM_MainWindowActivation(benchmark::State& state)
{
    test::TestDatabase& t = ledger();
    t.reopen();
    Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
    MainWindow window(t.db());
    window.show();
    window.onActivated(); // the day's first activation rewrites every day count once
    for (auto _ : state) {
        window.onActivated();
        paintFirstScreen(window);
    }
    state.counters["rows"] = window.model()->rowCount();
    Clock::reset();
}
BENCHMARK(BM_MainWindowActivation)->Unit(benchmark::kMillisecond);

// The first activation of a new day, when every customer's day count changes.
void BM_MainWindowActivationNewDay(benchmark::State& state)
{
    test::TestDatabase& t = ledger();
    t.reopen();
    MainWindow window(t.db());
    window.show();
    int day = 0;
    for (auto _ : state) {
        Clock::setFixed(QDateTime(QDate(2027, 1, 1).addDays(day++), QTime(10, 0)));
        window.onActivated();
        paintFirstScreen(window);
    }
    Clock::reset();
}
BENCHMARK(BM_MainWindowActivationNewDay)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SearchKeystroke(benchmark::State& state)
{
    test::TestDatabase& t = ledger();
    t.reopen();
    MainWindow window(t.db());
    window.show();
    window.onActivated();
    auto* search = window.findChild<QLineEdit*>(QStringLiteral("searchBox"));
    const QStringList texts = {QStringLiteral("a"), QStringLiteral("ay"), QStringLiteral("ayş"), QString(),
                               QStringLiteral("m"), QStringLiteral("me"), QStringLiteral("meh"), QStringLiteral("ş")};
    qsizetype i = 0;
    for (auto _ : state) {
        search->setText(texts.at(i++ % texts.size()));
        paintFirstScreen(window);
    }
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);

// Argument 0: a start on the same day as the last one; 1: the first start of each new day, Esc at once, so
// the main window's first activation rewrites every day count.
void BM_StartupToMainWindow(benchmark::State& state)
{
    const bool newDay = state.range(0) == 1;
    test::TestDatabase& t = ledger();
    t.close();
    int day = 0;
    for (auto _ : state) {
        Clock::setFixed(QDateTime(newDay ? QDate(2028, 1, 1).addDays(day++) : QDate(2026, 12, 9), QTime(10, 0)));
        auto startup = std::make_unique<Startup>();
        // The clock stops when the main window stands painted under the sign-in window.
        QTimer::singleShot(0, [&] {
            paintFirstScreen(*startup->mainWindow());
            state.PauseTiming();
            if (auto* login = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                login->done(QDialog::Accepted);
        });
        startup->start();
        QTest::keyClick(startup->splash(), Qt::Key_Escape);
        startup.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    Clock::reset();
}
BENCHMARK(BM_StartupToMainWindow)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartupToMainWindow)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
