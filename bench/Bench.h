#pragma once
#include <QElapsedTimer>
#include <functional>
#include <vector>

// A benchmark figure: a name, its unit and the function that measures it.
struct BenchFigure {
    const char *name;
    const char *unit;
    std::function<double()> measure;
};

std::vector<BenchFigure> &BenchFigures();

struct BenchRegistration {
    BenchRegistration(const char *name, const char *unit, std::function<double()> measure) {
        BenchFigures().push_back({name, unit, std::move(measure)});
    }
};

// Seconds taken by work.
inline double SecondsOf(const std::function<void()> &work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}
