// SPDX-License-Identifier: GPL-3.0-or-later
// The customer list on 1,000,000 customers (bench/ledger.h): what the user waits for in the main window, each
// next to the raw SQL of the same reads run directly in the same run. Run: build/bench/customerlist_bench
// (the first run builds the ledger file, which takes a few minutes).
//
// Counters: raw_ms is the baseline's time per iteration (the same statements run directly, without the
// window), ratio the program's time over it. The background
// upkeep benchmarks also report the longest pause of the window's event loop (max_pause_ms) and the peak
// memory of the process (peak_mib).
#include "app/messagebox.h"
#include "customers/customerlistmodel.h"
#include "customers/customerupkeep.h"
#include "customers/listtotalspanel.h"
#include "customers/listtotalsstore.h"
#include "customers/mainwindow.h"
#include "data/clock.h"
#include "data/customerstore.h"
#include "data/dateformat.h"
#include "data/turkishtext.h"
#include "ledger.h"
#include "testdatabase.h"
#include "widgets/lumbutton/lumbutton.h"

#include "benchmain.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSqlQuery>
#include <QTableView>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <functional>

using namespace zelvora;

namespace {

constexpr int kCustomers = 1000000;
constexpr int kMovements = 1000000;

test::TestDatabase& ledger()
{
    static test::TestDatabase* t = [] {
        auto* db = new test::TestDatabase;
        if (!bench::loadLedger(*db, kCustomers, kMovements))
            qFatal("the ledger file could not be built");
        return db;
    }();
    return *t;
}

QTableView* gridOf(MainWindow& window)
{
    return window.findChild<QTableView*>(QStringLiteral("customerGrid"));
}

// Painting the grid reads every row it shows.
void paintGrid(MainWindow& window)
{
    benchmark::DoNotOptimize(gridOf(window)->viewport()->grab());
}

// The reads a new list source makes, run directly: the count, whether rows lack keys, the first screen.
void rawListRead(const Database& db, const CustomerListQuery& query)
{
    const CustomerStore store(db);
    benchmark::DoNotOptimize(store.count(query));
    benchmark::DoNotOptimize(store.missingNameKeys(1));
    benchmark::DoNotOptimize(
        store.rows(query, bench::kLedgerDay, CustomerListWindow::top(0, CustomerListModel::PageSize)));
}

// Times fn, returns milliseconds.
double timed(const std::function<void()>& fn)
{
    QElapsedTimer timer;
    timer.start();
    fn();
    return bench::msSince(timer);
}

void report(benchmark::State& state, double programMs, double rawMs)
{
    state.counters["program_ms"] = programMs / double(state.iterations());
    state.counters["raw_ms"] = rawMs / double(state.iterations());
    state.counters["ratio"] = programMs / std::max(rawMs, 1e-9);
}

struct Fixture
{
    Fixture()
    {
        MessageBox::setHandler([](const MessageBox::Message&) { return MessageBox::Answer::Ok; });
        Clock::setFixed(QDateTime(bench::kLedgerDay, QTime(10, 0)));
        ledger().reopen();
        window = std::make_unique<MainWindow>(ledger().db());
        window->show();
        window->onActivated();
        window->upkeep()->waitUntilDone();
        paintGrid(*window);
    }
    ~Fixture()
    {
        window.reset();
        Clock::reset();
        MessageBox::setHandler({});
    }
    std::unique_ptr<MainWindow> window;
};

// A child window closed: the list read again from the top, the grid painted.
void BM_Activation(benchmark::State& state)
{
    Fixture f;
    const Database& db = ledger().db();
    const QString iso = dates::isoDate(bench::kLedgerDay);
    double program = 0;
    double raw = 0;
    for (auto _ : state) {
        program += timed([&] {
            f.window->onActivated();
            paintGrid(*f.window);
        });
        state.PauseTiming();
        raw += timed([&] {
            const CustomerStore store(db);
            benchmark::DoNotOptimize(store.missingNameKeys(CustomerUpkeep::AtOnce + 1));
            benchmark::DoNotOptimize(store.staleDayCounts(bench::kLedgerDay, CustomerUpkeep::AtOnce + 1));
            benchmark::DoNotOptimize(store.count(CustomerListQuery::allByName()));
            benchmark::DoNotOptimize(store.missingNameKeys(1));
            benchmark::DoNotOptimize(store.rows(CustomerListQuery::allByName(), bench::kLedgerDay,
                                                CustomerListWindow::top(0, CustomerListModel::PageSize)));
            benchmark::DoNotOptimize(store.hasCustomers());
        });
        state.ResumeTiming();
    }
    report(state, program, raw);
    state.counters["rows"] = f.window->model()->rowCount();
}
BENCHMARK(BM_Activation)->Unit(benchmark::kMillisecond)->UseRealTime();

// One keystroke into the empty search box, then BackSpace to empty; argument: the letter typed. The window
// shows the first screen of matches at once and counts them on another thread: count_ms is the time from the
// keystroke until that count has joined the grid (not part of the keystroke's time). Raw: the statements the
// window waits for (whether rows lack keys, the first screen), and raw_all_ms the same with the count.
void BM_OneLetterSearch(benchmark::State& state, const QString& letter)
{
    Fixture f;
    auto* search = f.window->findChild<QLineEdit*>(QStringLiteral("searchBox"));
    const Database& db = ledger().db();
    const auto query = CustomerListQuery::namePrefix(letter);
    double program = 0;
    double raw = 0;
    double rawAll = 0;
    double counted = 0;
    for (auto _ : state) {
        QElapsedTimer sinceKey;
        sinceKey.start();
        program += timed([&] {
            search->setText(letter);
            paintGrid(*f.window);
        });
        state.PauseTiming();
        while (!f.window->model()->isCountSettled())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        counted += bench::msSince(sinceKey);
        if (f.window->model()->rowCount() != CustomerStore(db).count(query))
            state.SkipWithError("the list's count differs from the matches");
        search->setText(QString());
        raw += timed([&] {
            const CustomerStore store(db);
            benchmark::DoNotOptimize(store.missingNameKeys(1));
            benchmark::DoNotOptimize(
                store.rows(query, bench::kLedgerDay, CustomerListWindow::top(0, CustomerListModel::PageSize)));
        });
        rawAll += timed([&] { rawListRead(db, query); });
        search->setText(letter);
        state.ResumeTiming();
        // BackSpace: the whole table in the order the rows were added.
        search->setText(QString());
        paintGrid(*f.window);
    }
    state.counters["matches"] = double(CustomerStore(db).count(query));
    state.counters["count_ms"] = counted / double(state.iterations());
    state.counters["raw_all_ms"] = rawAll / double(state.iterations());
    report(state, program, raw);
}
BENCHMARK_CAPTURE(BM_OneLetterSearch, common_u, QStringLiteral("u"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_OneLetterSearch, common_a, QStringLiteral("a"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_OneLetterSearch, rare_v, QStringLiteral("v"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_OneLetterSearch, none_q, QStringLiteral("q"))->Unit(benchmark::kMillisecond)->UseRealTime();
// BackSpace to an empty box after one letter.
void BM_BackSpaceToEmpty(benchmark::State& state)
{
    Fixture f;
    auto* search = f.window->findChild<QLineEdit*>(QStringLiteral("searchBox"));
    const Database& db = ledger().db();
    double program = 0;
    double raw = 0;
    for (auto _ : state) {
        state.PauseTiming();
        search->setText(QStringLiteral("m"));
        paintGrid(*f.window);
        state.ResumeTiming();
        program += timed([&] {
            search->setText(QString());
            paintGrid(*f.window);
        });
        state.PauseTiming();
        raw += timed([&] { rawListRead(db, CustomerListQuery::tableOrder()); });
        state.ResumeTiming();
    }
    report(state, program, raw);
}
BENCHMARK(BM_BackSpaceToEmpty)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Listeyi Topla": the panel with its sums and count painted, then its "Kapat" (not timed).
void BM_ListeyiTopla(benchmark::State& state)
{
    Fixture f;
    auto* totalButton = f.window->findChild<LumButton*>(QStringLiteral("listTotalButton"));
    auto* closeButton = f.window->listTotalsPanel()->findChild<LumButton*>(QStringLiteral("listTotalsCloseButton"));
    const Database& db = ledger().db();
    double program = 0;
    double raw = 0;
    for (auto _ : state) {
        program += timed([&] {
            totalButton->click();
            benchmark::DoNotOptimize(f.window->grab());
        });
        state.PauseTiming();
        if (f.window->listTotalsPanel()->countText() != QString::number(kCustomers))
            state.SkipWithError("wrong count");
        closeButton->click();
        raw += timed([&] { benchmark::DoNotOptimize(ListTotalsStore(db).sums()); });
        state.ResumeTiming();
    }
    report(state, program, raw);
}
BENCHMARK(BM_ListeyiTopla)->Unit(benchmark::kMillisecond)->UseRealTime();

// The grid scrolled to its last page (End on the scroll bar), painted; then back to the top (not timed).
void BM_LastPage(benchmark::State& state)
{
    Fixture f;
    QScrollBar* bar = gridOf(*f.window)->verticalScrollBar();
    const Database& db = ledger().db();
    double program = 0;
    double raw = 0;
    for (auto _ : state) {
        program += timed([&] {
            bar->setValue(bar->maximum());
            paintGrid(*f.window);
        });
        state.PauseTiming();
        // Each iteration starts from a freshly read list, so no page near the end is known yet.
        f.window->onActivated();
        paintGrid(*f.window);
        raw += timed([&] {
            benchmark::DoNotOptimize(CustomerStore(db).rows(CustomerListQuery::allByName(), bench::kLedgerDay,
                                                            {CustomerListWindow::From::Bottom, {}, 0, 128}));
        });
        state.ResumeTiming();
    }
    report(state, program, raw);
}
BENCHMARK(BM_LastPage)->Unit(benchmark::kMillisecond)->UseRealTime();

long peakMemoryKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// Runs the event loop until the upkeep has ended, scrolling the grid down a screen every 20 ms as a user
// holding Page Down would (from the top again at the end); returns the longest time between two turns of
// the loop.
double runUntilUpkeepEnds(MainWindow& window, int atLeastMs = 0)
{
    QElapsedTimer gap;
    gap.start();
    double longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, bench::msSince(gap));
        gap.restart();
    });
    QScrollBar* bar = gridOf(window)->verticalScrollBar();
    QTimer scroll;
    scroll.setInterval(20);
    QObject::connect(&scroll, &QTimer::timeout, [&] {
        bar->setValue(bar->value() >= bar->maximum() ? 0 : bar->value() + bar->pageStep());
        window.update();
    });
    tick.start();
    scroll.start();
    QElapsedTimer running;
    running.start();
    while (window.upkeep()->isBusy() || running.elapsed() < atLeastMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return longest;
}

// The first activation of a new day: every stored day count is rewritten in the background while the grid
// is scrolled. Raw: the same rewrite as one UPDATE on the window's connection.
void BM_NewDayRewrite(benchmark::State& state)
{
    Fixture f;
    const Database& db = ledger().db();
    double program = 0;
    double raw = 0;
    double pause = 0;
    int day = 1;
    for (auto _ : state) {
        const QDate today = bench::kLedgerDay.addDays(day++);
        Clock::setFixed(QDateTime(today, QTime(10, 0)));
        program += timed([&] {
            f.window->onActivated();
            paintGrid(*f.window);
            pause = std::max(pause, runUntilUpkeepEnds(*f.window));
        });
        state.PauseTiming();
        if (CustomerStore(db).staleDayCounts(today, 1) != 0)
            state.SkipWithError("day counts left stale");
        const QString iso = dates::isoDate(today.addDays(1));
        const QString days = QStringLiteral("CAST(round(julianday(Sonislem) - julianday(?)) AS INTEGER)");
        raw += timed([&] {
            db.exec(QStringLiteral("UPDATE musteriler SET Gun = %1 WHERE Gun IS NOT %1").arg(days), {iso, iso});
        });
        ++day;
        state.ResumeTiming();
    }
    report(state, program, raw);
    state.counters["max_pause_ms"] = pause;
    state.counters["peak_mib"] = double(peakMemoryKiB()) / 1024.0;
}
BENCHMARK(BM_NewDayRewrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Every row's name keys lost (rows written by another tool), then the window activated: the keys are filled
// in the background while the grid is scrolled, and the list read again. Raw: the same fill as one statement
// over the whole table on the window's connection (no batches, so the window would stand still meanwhile).
void BM_NameKeyFill(benchmark::State& state)
{
    Fixture f;
    const Database& db = ledger().db();
    double program = 0;
    double raw = 0;
    double pause = 0;
    const auto dropKeys
        = [&] { db.exec(QStringLiteral("UPDATE musteriler SET sira_anahtari = NULL, arama_anahtari = NULL")); };
    for (auto _ : state) {
        state.PauseTiming();
        dropKeys();
        state.ResumeTiming();
        program += timed([&] {
            f.window->onActivated();
            paintGrid(*f.window);
            pause = std::max(pause, runUntilUpkeepEnds(*f.window));
            paintGrid(*f.window);
        });
        state.PauseTiming();
        if (CustomerStore(db).missingNameKeys(1) != 0)
            state.SkipWithError("keys left missing");
        dropKeys();
        raw += timed([&] {
            db.exec(QStringLiteral("UPDATE musteriler SET sira_anahtari = zv_sira_anahtari(MusteriFirma), "
                                   "arama_anahtari = zv_arama_anahtari(MusteriFirma) WHERE sira_anahtari IS NULL "
                                   "OR arama_anahtari IS NULL"));
        });
        state.ResumeTiming();
    }
    report(state, program, raw);
    state.counters["max_pause_ms"] = pause;
    // The control: the same scrolling for two seconds with nothing to do in the background.
    state.counters["idle_pause_ms"] = runUntilUpkeepEnds(*f.window, 2000);
    state.counters["peak_mib"] = double(peakMemoryKiB()) / 1024.0;
}
BENCHMARK(BM_NameKeyFill)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
