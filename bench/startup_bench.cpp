// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the real program on large ledgers, timed from the moment its process is spawned, as the user waits
// for it: to the customer grid painted with its first rows (the splash skipped, the sign-in window open over the
// grid), and through the sign-in to the grid painted again after the main window's reload. The program runs on
// the offscreen platform from a portable folder (the executable beside a copy of the ledger) and reports through
// its ZELVORA_BENCH_STARTUP probe. Beside every run, in the same run of this program, the raw baseline: a minimal
// process (startup_rawread) that opens the same file with SQLite and reads the customer count and the first 128
// rows in name order.
//
// StartupToGrid and StartupSignedIn start on a file whose day counts are already right for today (a later start
// on the same day); FirstStartOfDay starts on yesterday's file, so the program's day-count upkeep runs meanwhile.
// Run: build/bench/startup_bench
#include "data/clock.h"
#include "data/customerstore.h"
#include "data/database.h"
#include "data/schema.h"
#include "ledger.h"
#include "testdatabase.h"

#include "benchmain.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace zelvora;

namespace {

constexpr int kIterations = 11;
constexpr int kFirstOfDayIterations = 5;

// One process run: when its first line came, and when it ended.
struct Run
{
    double lineMs = -1;
    double exitMs = -1;
    QByteArray line;
    int status = -1;

    bool ok() const { return status == 0 && lineMs >= 0; }
};

// Spawns program with the arguments and the extra environment, its output into a pipe and its errors appended to
// errorLog, and reads until its first line and then its end.
Run spawnUntilLine(const QByteArray& program, const QList<QByteArray>& arguments, const QList<QByteArray>& extraEnv,
                   const QByteArray& errorLog)
{
    Run run;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.constData(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    std::vector<char*> argv {const_cast<char*>(program.constData())};
    for (const QByteArray& a : arguments)
        argv.push_back(const_cast<char*>(a.constData()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e)
        envp.push_back(*e);
    for (const QByteArray& e : extraEnv)
        envp.push_back(const_cast<char*>(e.constData()));
    envp.push_back(nullptr);

    using SteadyClock = std::chrono::steady_clock;
    const auto msSince = [](SteadyClock::time_point start) {
        return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
    };
    const SteadyClock::time_point start = SteadyClock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        return run;
    }
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        if (run.lineMs < 0) {
            run.line.append(buffer, n);
            if (run.line.contains('\n'))
                run.lineMs = msSince(start);
        }
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitMs = msSince(start);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.line = run.line.left(run.line.indexOf('\n'));
    return run;
}

bool copyToDisk(const QString& source, const QString& target)
{
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return false;
    QFile file(target);
    return file.open(QIODevice::ReadWrite) && ::fsync(file.handle()) == 0;
}

// Brings the file's stored day counts to the given day, as the program's upkeep leaves them.
bool setDayCounts(const QString& path, const QDate& day)
{
    const std::unique_ptr<Database> db = Database::open(path);
    return db && CustomerStore(*db).updateDayCounts(day) && CustomerStore(*db).staleDayCounts(day, 1) == 0;
}

// A portable program folder: the program (linked, else copied) beside its veresiye.dll.
struct ProgramFolder
{
    QString folder;
    QByteArray program;
    QString database;
    QByteArray errorLog;
    // FirstStartOfDay: the file as it stood yesterday, put back before every run.
    QString yesterdaysFile;
};

QTemporaryDir& root()
{
    static QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("zelvora-startbench-XXXXXX")));
    return dir;
}

// Made once per size and kind for the whole run; nullptr when it cannot be made.
const ProgramFolder* programFolder(int customers, bool firstOfDay)
{
    static std::map<std::pair<int, bool>, std::unique_ptr<ProgramFolder>> folders;
    auto& slot = folders[{customers, firstOfDay}];
    if (slot)
        return slot.get();
    const QString ledger = bench::ledgerFile(customers, customers);
    if (ledger.isEmpty() || !root().isValid())
        return nullptr;
    auto f = std::make_unique<ProgramFolder>();
    f->folder = QDir(root().path())
                    .filePath(QStringLiteral("%1-%2").arg(customers).arg(firstOfDay ? QStringLiteral("dun")
                                                                                    : QStringLiteral("bugun")));
    QDir().mkpath(f->folder);
    const QString program = QDir(f->folder).filePath(QStringLiteral("zelvora"));
    if (::link(ZELVORA_EXE, QFile::encodeName(program).constData()) != 0
        && !QFile::copy(QStringLiteral(ZELVORA_EXE), program))
        return nullptr;
    f->program = QFile::encodeName(program);
    f->database = QDir(f->folder).filePath(QStringLiteral("veresiye.dll"));
    f->errorLog = QFile::encodeName(QDir(f->folder).filePath(QStringLiteral("hatalar.log")));
    const QDate today = Clock::today();
    if (firstOfDay) {
        f->yesterdaysFile = QDir(root().path()).filePath(QStringLiteral("%1-dun.dll").arg(customers));
        if (!copyToDisk(ledger, f->yesterdaysFile) || !setDayCounts(f->yesterdaysFile, today.addDays(-1)))
            return nullptr;
    } else if (!copyToDisk(ledger, f->database) || !setDayCounts(f->database, today)) {
        return nullptr;
    }
    slot = std::move(f);
    return slot.get();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// until: "grid" or "signed-in".
void runStartup(benchmark::State& state, const char* until, bool firstOfDay)
{
    const int customers = int(state.range(0));
    const ProgramFolder* f = programFolder(customers, firstOfDay);
    if (!f) {
        state.SkipWithError("the program folder could not be made");
        return;
    }
    const QList<QByteArray> env {"QT_QPA_PLATFORM=offscreen", QByteArray("ZELVORA_BENCH_STARTUP=") + until};
    const QByteArray rawRead = ZELVORA_RAWREAD;
    const QByteArray database = QFile::encodeName(f->database);
    const auto prepareFile = [&] { return !firstOfDay || copyToDisk(f->yesterdaysFile, f->database); };

    // Once unmeasured, so both read a file that lies in the page cache, as it does at a later start.
    if (!prepareFile()) {
        state.SkipWithError("the database could not be copied");
        return;
    }
    const Run rawWarm = spawnUntilLine(rawRead, {database}, {}, f->errorLog);
    const Run warm = spawnUntilLine(f->program, {}, env, f->errorLog);
    if (!rawWarm.ok() || rawWarm.line.split(' ').value(0).toLongLong() != customers) {
        state.SkipWithError("the raw read failed");
        return;
    }
    if (!warm.ok()) {
        state.SkipWithError(("the program failed, see " + f->errorLog).constData());
        return;
    }

    std::vector<double> program, raw, self, exits;
    for (auto _ : state) {
        if (!prepareFile()) {
            state.SkipWithError("the database could not be copied");
            break;
        }
        const Run r = spawnUntilLine(rawRead, {database}, {}, f->errorLog);
        const Run p = spawnUntilLine(f->program, {}, env, f->errorLog);
        if (!r.ok() || !p.ok()) {
            state.SkipWithError(("a run failed, see " + f->errorLog).constData());
            break;
        }
        state.SetIterationTime(p.lineMs / 1e3);
        program.push_back(p.lineMs);
        raw.push_back(r.lineMs);
        self.push_back(p.line.toDouble());
        exits.push_back(p.exitMs);
    }
    if (program.empty())
        return;
    state.counters["median_ms"] = median(program);
    state.counters["min_ms"] = *std::min_element(program.begin(), program.end());
    state.counters["max_ms"] = *std::max_element(program.begin(), program.end());
    state.counters["raw_median_ms"] = median(raw);
    state.counters["ratio"] = median(program) / median(raw);
    // The program's own figure, from its process start time (10 ms ticks), and the time to its end.
    state.counters["self_median_ms"] = median(self);
    state.counters["exit_median_ms"] = median(exits);
}

void StartupToGrid(benchmark::State& state)
{
    runStartup(state, "grid", false);
}

void StartupSignedIn(benchmark::State& state)
{
    runStartup(state, "signed-in", false);
}

void FirstStartOfDay(benchmark::State& state)
{
    runStartup(state, "grid", true);
}

// The first start of this version on a file of the first format: the splash painted (line), and the program's
// end (exit), which waits for the upgrade it started under the splash. Raw: the upgrade's statements run in this
// process on another copy of the same file (upgrade_raw_ms), and the minimal reader (raw_median_ms).
void FirstStartOfANewVersion(benchmark::State& state)
{
    const int customers = int(state.range(0));
    const ProgramFolder* f = programFolder(customers, false);
    if (!f) {
        state.SkipWithError("the program folder could not be made");
        return;
    }
    const QString oldFile = QDir(root().path()).filePath(QStringLiteral("%1-eski.dll").arg(customers));
    if (!QFile::exists(oldFile)) {
        if (!copyToDisk(f->database, oldFile)) {
            state.SkipWithError("the database could not be copied");
            return;
        }
        const std::unique_ptr<Database> db = Database::open(oldFile);
        test::makeFirstVersion(*db);
    }
    const QString rawCopy = f->database + QStringLiteral(".ham");
    const QList<QByteArray> env {"QT_QPA_PLATFORM=offscreen", "ZELVORA_BENCH_STARTUP=splash"};
    const QByteArray database = QFile::encodeName(f->database);
    std::vector<double> splash, exits, raw, upgradeRaw;
    for (auto _ : state) {
        if (!copyToDisk(oldFile, f->database) || !copyToDisk(oldFile, rawCopy)) {
            state.SkipWithError("the database could not be copied");
            break;
        }
        const Run r = spawnUntilLine(ZELVORA_RAWREAD, {database}, {}, f->errorLog);
        const Run p = spawnUntilLine(f->program, {}, env, f->errorLog);
        if (!r.ok() || !p.ok()) {
            state.SkipWithError(("a run failed, see " + f->errorLog).constData());
            break;
        }
        const std::unique_ptr<Database> db = Database::open(f->database);
        if (!db || schema::needsUpgrade(*db)) {
            state.SkipWithError("the program left the file without its upgrade");
            break;
        }
        const std::unique_ptr<Database> rawDb = Database::open(rawCopy);
        QElapsedTimer timer;
        timer.start();
        if (!rawDb || !schema::upgrade(*rawDb, nullptr)) {
            state.SkipWithError("the raw upgrade failed");
            break;
        }
        upgradeRaw.push_back(bench::msSince(timer));
        state.SetIterationTime(p.lineMs / 1e3);
        splash.push_back(p.lineMs);
        exits.push_back(p.exitMs);
        raw.push_back(r.lineMs);
    }
    QFile::remove(rawCopy);
    // Later benchmarks start on today's file again.
    if (!copyToDisk(bench::ledgerFile(customers, customers), f->database) || !setDayCounts(f->database, Clock::today()))
        state.SkipWithError("the database could not be put back");
    if (splash.empty())
        return;
    state.counters["splash_median_ms"] = median(splash);
    state.counters["exit_median_ms"] = median(exits);
    state.counters["raw_median_ms"] = median(raw);
    state.counters["upgrade_raw_median_ms"] = median(upgradeRaw);
}

BENCHMARK(StartupToGrid)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(kIterations)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(StartupSignedIn)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(kIterations)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(FirstStartOfDay)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(kFirstOfDayIterations)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(FirstStartOfANewVersion)->Arg(1000000)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
