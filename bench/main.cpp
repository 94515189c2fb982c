// Prints one line per figure, "name: value unit". With arguments, only the figures named.
#include "bench/Bench.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <cstdio>

std::vector<BenchFigure> &BenchFigures() {
    static std::vector<BenchFigure> figures;
    return figures;
}

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    MessageCapture messages; // no message box may block a measurement
    const QStringList wanted = app.arguments().mid(1);
    for (const BenchFigure &figure : BenchFigures()) {
        if (!wanted.isEmpty() && !wanted.contains(QLatin1String(figure.name)))
            continue;
        if (figure.serverOnly && !OnServer()) {
            std::fprintf(stderr, "%s is measured on a server only: run bench/server-bench.sh\n", figure.name);
            continue;
        }
        const double value = figure.measure();
        std::printf("%s: %.6g %s\n", figure.name, value, figure.unit);
        std::fflush(stdout);
    }
    if (messages.Count() > 0)
        std::fprintf(stderr, "note: %d message(s) were shown during the run, first: %s\n", messages.Count(),
                     qUtf8Printable(messages.Messages().first().text));
    return 0;
}
