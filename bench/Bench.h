#pragma once
#include "app/Dialect.h"

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

// Values bound to a prepared statement when a benchmark fills the store.
inline SqlValue TextValue(const QString &text) {
    SqlValue v;
    v.text = text;
    return v;
}

inline SqlValue RealValue(double real) {
    SqlValue v;
    v.type = SqlValue::Real;
    v.real = real;
    return v;
}

inline SqlValue IntegerValue(qint64 integer) {
    SqlValue v;
    v.type = SqlValue::Integer;
    v.integer = integer;
    return v;
}
