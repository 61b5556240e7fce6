// SPDX-License-Identifier: GPL-3.0-or-later
// Opening each window as the user waits for it: from the call the click makes to the window shown, activated
// (where its data is read) and painted on screen. The figure ends when a paint event of the window has been
// handled after its activation, so the painted screen holds the data. Beside it, the statements the opening
// ran, run again directly on the same file in the same run. The ledger is the large one: 1,000,000 customers,
// and customer "1" holds 100,000 movements.
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "customers/mainwindow.h"
#include "entry/entrywindow.h"
#include "entry/newcustomerwindow.h"
#include "rates/rateswindow.h"
#include "update/updatewindow.h"
#include "users/userwindow.h"

#include "benchmain.h"
#include "ledger.h"
#include "statementlog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>
#include <functional>
#include <memory>

using namespace zelvora;

namespace {

test::TestDatabase* g_ledger = nullptr;

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

// Watches every widget of the program for the window's activation and for a paint of any widget of the window
// after it: the repaint that follows the activation paints every widget the activation changed in one pass.
class PaintWatch final : public QObject
{
public:
    QWidget* window = nullptr;
    bool activated = false;
    int paintsAfterActivation = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!window || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (widget == window && event->type() == QEvent::ActivationChange && window->isActiveWindow())
            activated = true;
        else if (activated && event->type() == QEvent::Paint && widget->window() == window)
            ++paintsAfterActivation;
        return false;
    }
};

using Make = std::function<std::unique_ptr<QWidget>()>;

// Opens the window made by make and waits until it is painted after its activation; its time in ms, or a
// negative figure when the window never got there.
double openPainted(const Make& make, PaintWatch& watch)
{
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<QWidget> window = make();
    watch.window = window.get();
    watch.activated = false;
    watch.paintsAfterActivation = 0;
    window->show();
    while (watch.paintsAfterActivation == 0 && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const bool painted = watch.paintsAfterActivation > 0;
    watch.window = nullptr;
    window->hide();
    window.reset();
    // Deferred deletions and the hidden window's events, outside the figure.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return painted ? ms : -1;
}

void openWindow(benchmark::State& state, double& firstMs, const Make& make)
{
    PaintWatch watch;
    qApp->installEventFilter(&watch);
    double openMs = 0, rawMs = 0;
    qsizetype statements = 0;
    const double loadBefore = loadAverage();
    for (auto _ : state) {
        bench::StatementLog log(g_ledger->db());
        const double ms = openPainted(make, watch);
        if (ms < 0) {
            state.SkipWithError("the window was not painted after its activation");
            break;
        }
        state.SetIterationTime(ms / 1e3);
        if (firstMs < 0)
            firstMs = ms;
        openMs += ms;
        statements = log.statements().size();
        rawMs += log.runDirectly(log.statements());
    }
    qApp->removeEventFilter(&watch);
    const double n = double(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["open_ms"] = openMs / n;
    state.counters["raw_ms"] = rawMs / n;
    state.counters["statements"] = double(statements);
    // The first opening of the window in the process, with whatever it loads once.
    state.counters["first_ms"] = firstMs;
    state.counters["load1"] = (loadBefore + loadAverage()) / 2;
}

#define ZV_WINDOW_BENCH(name)                                                                                          \
    BENCHMARK(name)->UseManualTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly()

void OpenAccountWindow100k(benchmark::State& state)
{
    static double firstMs = -1;
    openWindow(state, firstMs, [] {
        auto window = std::make_unique<AccountWindow>(g_ledger->db());
        window->setWindowTitle(QStringLiteral("AHMET YILMAZ / 1 - ( Alıcı )"));
        window->setCustomerNumber(bench::kBigAccount);
        return window;
    });
}
ZV_WINDOW_BENCH(OpenAccountWindow100k);

void OpenEntryWindow(benchmark::State& state)
{
    static double firstMs = -1;
    openWindow(state, firstMs, [] {
        auto window = std::make_unique<EntryWindow>(g_ledger->db());
        window->setCustomerNumber(bench::kBigAccount);
        window->openPanel(EntryWindow::Panel::Credit, QStringLiteral("VERESİYE EKLE - AHMET YILMAZ / 1 - ( Alıcı )"));
        return window;
    });
}
ZV_WINDOW_BENCH(OpenEntryWindow);

void OpenNewCustomerWindow(benchmark::State& state)
{
    static double firstMs = -1;
    openWindow(state, firstMs, [] { return std::make_unique<NewCustomerWindow>(g_ledger->db()); });
}
ZV_WINDOW_BENCH(OpenNewCustomerWindow);

void OpenUserWindow(benchmark::State& state)
{
    static double firstMs = -1;
    openWindow(state, firstMs, [] { return std::make_unique<UserWindow>(g_ledger->db()); });
}
ZV_WINDOW_BENCH(OpenUserWindow);

void OpenRatesWindow(benchmark::State& state)
{
    static double firstMs = -1;
    openWindow(state, firstMs, [] { return std::make_unique<RatesWindow>(); });
}
ZV_WINDOW_BENCH(OpenRatesWindow);

void OpenVersionWindow(benchmark::State& state)
{
    static double firstMs = -1;
    openWindow(state, firstMs, [] { return std::make_unique<UpdateWindow>(); });
}
ZV_WINDOW_BENCH(OpenVersionWindow);

void OpenMainWindow(benchmark::State& state)
{
    static double firstMs = -1;
    openWindow(state, firstMs, [] { return std::make_unique<MainWindow>(g_ledger->db()); });
}
ZV_WINDOW_BENCH(OpenMainWindow);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::runOnLedger(argc, argv, g_ledger);
}
