#pragma once
#include "app/Dialect.h"

#include <QElapsedTimer>
#include <functional>
#include <vector>

// A benchmark figure: a name, its unit and the function that measures it. A figure of a server alone
// is measured only in a run on a server (PELORVANIDE_TEST_STORE=server, as bench/server-bench.sh runs).
struct BenchFigure {
    const char *name;
    const char *unit;
    std::function<double()> measure;
    bool serverOnly = false;
};

std::vector<BenchFigure> &BenchFigures();

enum class BenchStore { Either, ServerOnly };

struct BenchRegistration {
    BenchRegistration(const char *name, const char *unit, std::function<double()> measure,
                      BenchStore store = BenchStore::Either) {
        BenchFigures().push_back({name, unit, std::move(measure), store == BenchStore::ServerOnly});
    }
};

// Seconds taken by work.
inline double SecondsOf(const std::function<void()> &work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}
