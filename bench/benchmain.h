// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The main() of every benchmark program: a QApplication on the offscreen platform, set up as the program
// sets itself up, around Google Benchmark. prepare runs before the benchmarks, cleanUp after them.
#include "startup/application.h"

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <functional>

namespace zelvora::bench {

// Milliseconds since the timer was started, to the nanosecond.
inline double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

inline int run(int argc, char** argv, const std::function<void()>& prepare = {},
               const std::function<void()>& cleanUp = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    benchmark::Initialize(&argc, argv);
    if (prepare)
        prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (cleanUp)
        cleanUp();
    return 0;
}

} // namespace zelvora::bench
