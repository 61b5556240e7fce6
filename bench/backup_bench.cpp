// Backing up a 200 MB database through the backup window against `cp` followed by `sync` of the same file.
// All files live in a temporary folder under /tmp and are deleted at the end.
#include "app/application.h"
#include "backup/copyfilewindow.h"
#include "messagerecorder.h"
#include "testdatabase.h"
#include "widgets/lumbutton/lumbutton.h"

#include "benchmain.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>

#include <benchmark/benchmark.h>
#include <memory>

using namespace zelvora;

namespace {

constexpr int kMegabytes = 200;

test::TestDatabase* g_database = nullptr;

QString targetPath()
{
    return QDir(g_database->folder()).filePath(QStringLiteral("kopya.ydk"));
}

// Counts the progress bar's paints and the longest time between two of them while the copy runs.
class PaintWatch final : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            if (clock.isValid())
                longestGapMs = std::max(longestGapMs, clock.restart());
            else
                clock.start();
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }

    QElapsedTimer clock;
    qint64 longestGapMs = 0;
    int paints = 0;
};

void CpAndSync(benchmark::State& state)
{
    const QString command = QStringLiteral("cp '%1' '%2' && sync").arg(g_database->path(), targetPath());
    for (auto _ : state) {
        const int rc = QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
        state.PauseTiming();
        if (rc != 0)
            state.SkipWithError("cp failed");
        QFile::remove(targetPath());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(g_database->path()).size());
}

void BackupWindow(benchmark::State& state)
{
    test::MessageRecorder messages;
    CopyFileWindow window;
    window.show();
    QApplication::processEvents();
    window.findChild<QLineEdit*>(QStringLiteral("targetBox"))->setText(targetPath());
    auto* bar = window.findChild<QProgressBar*>(QStringLiteral("progressBar"));
    auto* backup = window.findChild<LumButton*>(QStringLiteral("backupButton"));
    qint64 longestGapMs = 0;
    int paints = 0;
    int moves = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&moves] { ++moves; });
    for (auto _ : state) {
        PaintWatch watch;
        bar->installEventFilter(&watch);
        backup->click();
        state.PauseTiming();
        bar->removeEventFilter(&watch);
        longestGapMs = std::max(longestGapMs, watch.longestGapMs);
        paints += watch.paints;
        if (messages.messages().size() != 1 || QFileInfo(targetPath()).size() != QFileInfo(g_database->path()).size())
            state.SkipWithError("backup failed");
        messages.clear();
        QFile::remove(targetPath());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(g_database->path()).size());
    state.counters["bar_paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
    state.counters["bar_moves"] = benchmark::Counter(moves, benchmark::Counter::kAvgIterations);
    state.counters["longest_paint_gap_ms"] = static_cast<double>(longestGapMs);
}

BENCHMARK(CpAndSync)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BackupWindow)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void fill(test::TestDatabase& database)
{
    Database& db = database.db();
    db.exec(QStringLiteral("CREATE TABLE dolgu (b BLOB)"));
    db.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < kMegabytes; ++i)
        db.exec(QStringLiteral("INSERT INTO dolgu (b) VALUES (randomblob(1048576))"));
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
            database.reset(); // removes the folder and everything in it
        });
}
