// SPDX-License-Identifier: GPL-3.0-or-later
// Backing up the 1,000,000-customer ledger through the backup window against a plain copy of the same file in
// this process (read and write in 128 KiB blocks, then fsync of the copy and of its folder), in the same run.
// All files live in a temporary folder under /tmp and are deleted at the end.
#include "backup/copyfilewindow.h"
#include "ledger.h"
#include "messagerecorder.h"
#include "startup/application.h"
#include "testdatabase.h"
#include "widgets/lumbutton/lumbutton.h"

#include "benchmain.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>

#include <algorithm>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

using namespace zelvora;

namespace {

constexpr int kCustomers = 1000000;

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

// The plain copy the backup is held against: what any careful program does to put a file's bytes on disk under
// another name. Returns the milliseconds taken, or -1.
double plainCopy(const QString& source, const QString& target)
{
    QElapsedTimer clock;
    clock.start();
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = in >= 0 && out >= 0;
    std::vector<char> buffer(128 * 1024);
    while (ok) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            ok = w > 0;
            done += w;
        }
    }
    ok = ok && ::fsync(out) == 0;
    if (in >= 0)
        ::close(in);
    if (out >= 0)
        ok = ::close(out) == 0 && ok;
    const int folder = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    ok = ok && folder >= 0 && ::fsync(folder) == 0;
    if (folder >= 0)
        ::close(folder);
    return ok ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
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
    const QString source = g_database->path();
    std::vector<double> backups, plain;
    // Both copies leave the same file behind, which is removed before the next one. Their order alternates, so
    // that neither always meets the disk still busy with the other's removal.
    const auto runPlain = [&] {
        const double ms = plainCopy(source, targetPath());
        QFile::remove(targetPath());
        if (ms >= 0)
            plain.push_back(ms);
        return ms >= 0;
    };
    const auto runBackup = [&] {
        PaintWatch watch;
        bar->installEventFilter(&watch);
        QElapsedTimer clock;
        clock.start();
        backup->click();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        bar->removeEventFilter(&watch);
        longestGapMs = std::max(longestGapMs, watch.longestGapMs);
        paints += watch.paints;
        const bool copied
            = messages.messages().size() == 1 && QFileInfo(targetPath()).size() == QFileInfo(source).size();
        messages.clear();
        QFile::remove(targetPath());
        if (copied)
            backups.push_back(ms);
        return copied;
    };
    bool plainFirst = true;
    for (auto _ : state) {
        const bool ok = plainFirst ? runPlain() && runBackup() : runBackup() && runPlain();
        plainFirst = !plainFirst;
        if (!ok) {
            state.SkipWithError("a copy failed");
            break;
        }
        state.SetIterationTime(backups.back() / 1e3);
    }
    if (backups.empty())
        return;
    state.SetBytesProcessed(state.iterations() * QFileInfo(source).size());
    state.counters["megabytes"] = double(QFileInfo(source).size()) / (1024 * 1024);
    state.counters["median_ms"] = median(backups);
    state.counters["min_ms"] = *std::min_element(backups.begin(), backups.end());
    state.counters["max_ms"] = *std::max_element(backups.begin(), backups.end());
    state.counters["plain_median_ms"] = median(plain);
    state.counters["plain_min_ms"] = *std::min_element(plain.begin(), plain.end());
    state.counters["plain_max_ms"] = *std::max_element(plain.begin(), plain.end());
    state.counters["ratio"] = median(backups) / median(plain);
    state.counters["bar_paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
    state.counters["bar_moves"] = benchmark::Counter(moves, benchmark::Counter::kAvgIterations);
    state.counters["longest_paint_gap_ms"] = static_cast<double>(longestGapMs);
}

BENCHMARK(BackupWindow)->Iterations(8)->Unit(benchmark::kMillisecond)->UseManualTime();

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
            // The program's own database: the backup takes it under its read lock, as in the shop.
            if (!bench::loadLedger(*database, kCustomers, kCustomers))
                qFatal("the ledger could not be made");
            database->close();
        },
        [&] {
            g_database = nullptr;
            database.reset(); // removes the folder and everything in it
        });
}
