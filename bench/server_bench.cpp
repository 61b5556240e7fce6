// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger on a PostgreSQL server (a private one, over its Unix socket): the 1,000,000-customer ledger of
// bench/ledger.h, whose customer "1" holds 100,000 movements, copied in with the program's --copy-to-server
// path (itself one benchmark). On it, what the user waits for on the real windows: the main window's
// activation, a one-letter search, "Listeyi Topla", opening the big account, an entry stored through the entry
// window and seen in the account, and seen in a second till's account window. Each beside the statements it ran
// (as the server logged them) run again straight through libpq in the same run. Run: build/bench/server_bench
// (the first run builds the ledger file; every run fills a fresh server).
//
// Counters: program_ms the window's time, raw_ms the baseline's, ratio the one over the other; load1 the load
// average. Statements of a window slower than 5 ms are printed with their EXPLAIN ANALYZE.
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "app/messagebox.h"
#include "cli/servercopy.h"
#include "customers/customerlistmodel.h"
#include "customers/customerupkeep.h"
#include "customers/listtotalspanel.h"
#include "customers/mainwindow.h"
#include "data/clock.h"
#include "entry/entrywindow.h"
#include "pgserver.h"
#include "users/userstore.h"
#include "widgets/lumbutton/lumbutton.h"

#include "benchmain.h"
#include "ledger.h"
#include "serverlog.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <functional>
#include <iostream>

using namespace zelvora;

namespace {

constexpr int kCustomers = 1000000;
constexpr int kMovements = 1000000;
constexpr double kExplainAboveMs = 5;

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

// The private server, reached over its Unix socket, and its log.
struct Server
{
    test::PgServer* pg = nullptr;
    QString socketFolder;
    QString logFile;

    // A fresh empty database on it.
    ServerSettings emptyDatabase() const
    {
        ServerSettings settings;
        QString error;
        if (!pg->createDatabase(&settings, &error))
            qFatal("%s", qPrintable(error));
        settings.host = socketFolder;
        return settings;
    }
};

const Server& server()
{
    static const Server s = [] {
        Server made;
        QString error;
        made.pg = test::PgServer::instance(&error);
        if (!made.pg)
            qFatal("%s", qPrintable(error));
        const auto admin = Database::openServer(made.pg->maintenance(), &error);
        if (!admin)
            qFatal("%s", qPrintable(error));
        made.socketFolder = admin->scalar(QStringLiteral("SHOW unix_socket_directories")).toString();
        made.logFile = made.socketFolder + QStringLiteral("/server.log");
        return made;
    }();
    return s;
}

// The ledger file as a shop has it: with a user to sign in with (the copy checks for one), in a folder of
// its own for this run.
QString shopFile()
{
    static QTemporaryDir folder(QDir::temp().filePath(QStringLiteral("zv-serverbench-XXXXXX")));
    static const QString file = [] {
        const QString source = bench::ledgerFile(kCustomers, kMovements);
        const QString copy = folder.filePath(QStringLiteral("veresiye.dll"));
        if (source.isEmpty() || !QFile::copy(source, copy))
            qFatal("the ledger file could not be built");
        QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        const auto db = Database::open(copy);
        if (!db || UserStore(*db).add(QStringLiteral("PATRON"), QStringLiteral("1234")) != UserStore::AddResult::Added)
            qFatal("no user could be added to the ledger file");
        return copy;
    }();
    return file;
}

// Copies the ledger file into a fresh database; the milliseconds it took, or a negative number on failure.
double copyLedger(ServerSettings* into)
{
    const QString file = shopFile();
    *into = server().emptyDatabase();
    QElapsedTimer timer;
    timer.start();
    const cli::ServerCopyResult result = cli::copyToServer(file, *into);
    const double ms = bench::msSince(timer);
    if (!result.ok) {
        std::cerr << "copy: " << result.error.toStdString() << '\n';
        return -1;
    }
    return ms;
}

std::optional<ServerSettings> g_ledger;

// The filled server ledger; the copy benchmark's when it ran first.
const ServerSettings& ledger()
{
    if (!g_ledger) {
        ServerSettings settings;
        if (copyLedger(&settings) < 0)
            qFatal("the ledger could not be copied to the server");
        g_ledger = settings;
    }
    return *g_ledger;
}

std::unique_ptr<Database> connect()
{
    QString error;
    auto db = Database::openServer(ledger(), &error);
    if (!db)
        qFatal("%s", qPrintable(error));
    return db;
}

// The program's time beside the raw replay of what it ran, per iteration; slow statements explained once.
struct Figures
{
    double program = 0;
    double raw = 0;
    bool explained = false;
    double loadBefore = loadAverage();

    void add(benchmark::State& state, double programMs, const QStringList& statements, bench::RawConnection& raw_)
    {
        // Once untimed, so the raw connection has its caches as warm as the window's (writes are undone).
        raw_.replay(statements);
        const double rawMs = raw_.replay(statements);
        program += programMs;
        raw += rawMs;
        state.SetIterationTime(programMs / 1e3);
        if (!std::exchange(explained, true)) {
            std::cerr << statements.size() << " statements:\n  "
                      << statements.join(QStringLiteral("\n  ")).left(3000).toStdString() << "\n";
            raw_.explainSlow(statements, kExplainAboveMs);
        }
    }
    void report(benchmark::State& state) const
    {
        const double n = double(state.iterations());
        state.counters["program_ms"] = program / n;
        state.counters["raw_ms"] = raw / n;
        state.counters["ratio"] = program / std::max(raw, 1e-9);
        state.counters["load1"] = (loadBefore + loadAverage()) / 2;
    }
};

double timed(const std::function<void()>& fn)
{
    QElapsedTimer timer;
    timer.start();
    fn();
    return bench::msSince(timer);
}

// --copy-to-server of the whole ledger file into a fresh database, as the program's option does it.
void CopyToServer(benchmark::State& state)
{
    for (auto _ : state) {
        ServerSettings settings;
        const double ms = copyLedger(&settings);
        if (ms < 0) {
            state.SkipWithError("the copy failed");
            break;
        }
        state.SetIterationTime(ms / 1e3);
        state.counters["copy_s"] = ms / 1e3;
        if (!g_ledger)
            g_ledger = settings;
    }
    state.counters["load1"] = loadAverage();
}
BENCHMARK(CopyToServer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

QTableView* gridOf(QWidget& window, const char* name)
{
    return window.findChild<QTableView*>(QString::fromLatin1(name));
}

struct MainFixture
{
    MainFixture()
        : db(connect())
        , raw(ledger())
    {
        window = std::make_unique<MainWindow>(*db);
        window->show();
        window->onActivated();
        window->upkeep()->waitUntilDone();
        paint();
    }
    void paint() { benchmark::DoNotOptimize(gridOf(*window, "customerGrid")->viewport()->grab()); }

    std::unique_ptr<Database> db;
    bench::RawConnection raw;
    std::unique_ptr<MainWindow> window;
};

// A child window closed: the list read again from the top, the grid painted.
void Activation(benchmark::State& state)
{
    MainFixture f;
    Figures figures;
    for (auto _ : state) {
        bench::ServerLog log(*f.db, server().logFile);
        const double ms = timed([&] {
            f.window->onActivated();
            f.paint();
        });
        figures.add(state, ms, log.statements(), f.raw);
    }
    figures.report(state);
    state.counters["rows"] = f.window->model()->rowCount();
}
BENCHMARK(Activation)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

// One letter typed into the empty search box, the first screen of matches painted (the count joins later from
// another thread, not waited for); BackSpace afterwards, not timed.
void OneLetterSearch(benchmark::State& state, const QString& letter)
{
    MainFixture f;
    auto* search = f.window->findChild<QLineEdit*>(QStringLiteral("searchBox"));
    Figures figures;
    for (auto _ : state) {
        std::optional<bench::ServerLog> log;
        log.emplace(*f.db, server().logFile);
        const double ms = timed([&] {
            search->setText(letter);
            f.paint();
        });
        const QStringList statements = log->statements();
        log.reset();
        figures.add(state, ms, statements, f.raw);
        while (!f.window->model()->isCountSettled())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        search->setText(QString());
        f.paint();
    }
    figures.report(state);
}
BENCHMARK_CAPTURE(OneLetterSearch, common_a, QStringLiteral("a"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();
BENCHMARK_CAPTURE(OneLetterSearch, rare_v, QStringLiteral("v"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// "Listeyi Topla": the panel with its sums and count, the window painted; its "Kapat" afterwards, not timed.
void ListeyiTopla(benchmark::State& state)
{
    MainFixture f;
    auto* totalButton = f.window->findChild<LumButton*>(QStringLiteral("listTotalButton"));
    auto* closeButton = f.window->listTotalsPanel()->findChild<LumButton*>(QStringLiteral("listTotalsCloseButton"));
    Figures figures;
    for (auto _ : state) {
        std::optional<bench::ServerLog> log;
        log.emplace(*f.db, server().logFile);
        const double ms = timed([&] {
            totalButton->click();
            benchmark::DoNotOptimize(f.window->grab());
        });
        const QStringList statements = log->statements();
        log.reset();
        figures.add(state, ms, statements, f.raw);
        if (f.window->listTotalsPanel()->countText() != QString::number(kCustomers))
            state.SkipWithError("wrong count");
        closeButton->click();
    }
    figures.report(state);
}
BENCHMARK(ListeyiTopla)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

std::unique_ptr<AccountWindow> accountWindow(Database& db)
{
    auto window = std::make_unique<AccountWindow>(db);
    window->setWindowTitle(QStringLiteral("AHMET YILMAZ / 1 - ( Alıcı )"));
    window->setCustomerNumber(bench::kBigAccount);
    // Laid out and polished as a shown window is before its first activation.
    benchmark::DoNotOptimize(window->grab());
    return window;
}

// Opening the account of 100,000 movements: its activation and the window painted with the grid's first screen.
void OpenAccount100k(benchmark::State& state)
{
    const auto db = connect();
    bench::RawConnection raw(ledger());
    Figures figures;
    for (auto _ : state) {
        const auto window = accountWindow(*db);
        std::optional<bench::ServerLog> log;
        log.emplace(*db, server().logFile);
        const double ms = timed([&] {
            window->onActivated();
            benchmark::DoNotOptimize(window->grab());
        });
        const QStringList statements = log->statements();
        log.reset();
        figures.add(state, ms, statements, raw);
        if (window->model()->rowCount() < 100000)
            state.SkipWithError("the big account is not there");
    }
    figures.report(state);
}
BENCHMARK(OpenAccount100k)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void runUntil(const std::function<bool()>& done, int limitMs = 10000)
{
    QElapsedTimer guard;
    guard.start();
    while (!done() && guard.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A credit sale stored through the entry window on the big account: from "Onayla" until the grid, moved to its
// end and painted, shows it (raw: the statements run until then); and until a second till's account window of
// the same customer, on a connection of its own, shows it (through the change notifications).
void StoreCredit100k(benchmark::State& state)
{
    const auto db = connect();
    const auto otherDb = connect();
    bench::RawConnection raw(ledger());
    const auto account = accountWindow(*db);
    account->show();
    account->onActivated();
    const auto other = accountWindow(*otherDb);
    other->move(900, 0);
    other->show();
    other->onActivated();
    account->activateWindow();
    auto* grid = gridOf(*account, "movementGrid");
    auto* button = account->findChild<LumButton*>(QStringLiteral("creditButton"));
    runUntil([] { return false; }, 300);

    static int serial = 0;
    Figures figures;
    double otherMs = 0;
    for (auto _ : state) {
        const QString description = QStringLiteral("ölçüm %1").arg(++serial);
        const int otherRows = other->model()->rowCount();
        std::optional<bench::ServerLog> log;
        QElapsedTimer fromConfirm;
        QTimer::singleShot(0, [&] {
            auto* entry = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
            runUntil([&] { return entry->isActiveWindow(); });
            QCoreApplication::processEvents();
            entry->findChild<QLineEdit*>(QStringLiteral("descriptionBox"))->setText(description);
            entry->findChild<QLineEdit*>(QStringLiteral("quantityBox"))->setText(QStringLiteral("2"));
            entry->findChild<QLineEdit*>(QStringLiteral("unitPriceBox"))->setText(QStringLiteral("10"));
            log.emplace(*db, server().logFile);
            fromConfirm.start();
            entry->findChild<LumButton*>(QStringLiteral("creditConfirmButton"))->click();
        });
        button->click();
        grid->scrollToBottom();
        benchmark::DoNotOptimize(grid->viewport()->grab());
        const double seen = bench::msSince(fromConfirm);
        const QStringList statements = log->statements();
        log.reset();
        const int last = account->model()->rowCount() - 1;
        if (account->model()->index(last, MovementListModel::Aciklama).data().toString() != description)
            state.SkipWithError("the new movement is not the grid's last row");
        runUntil([&] { return other->model()->rowCount() > otherRows; }, 5000);
        const double elsewhere = bench::msSince(fromConfirm);
        auto* otherGrid = gridOf(*other, "movementGrid");
        otherGrid->scrollToBottom();
        const int otherLast = other->model()->rowCount() - 1;
        if (other->model()->index(otherLast, MovementListModel::Aciklama).data().toString() != description)
            state.SkipWithError("the second till does not show the new movement");
        otherMs += elsewhere;
        figures.add(state, seen, statements, raw);
        // The first till's reload period over before the next entry.
        runUntil([&] { return !account->findChild<QTimer*>(QStringLiteral("reloadTimer"))->isActive(); });
    }
    figures.report(state);
    state.counters["other_till_ms"] = otherMs / double(state.iterations());
}
BENCHMARK(StoreCredit100k)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return bench::run(
        argc, argv,
        [] {
            Clock::setFixed(QDateTime(bench::kLedgerDay, QTime(10, 0)));
            MessageBox::setHandler([](const MessageBox::Message& m) {
                std::cerr << "message: " << m.text.toStdString() << '\n';
                return MessageBox::Answer::Ok;
            });
        },
        [] { MessageBox::setHandler({}); });
}
