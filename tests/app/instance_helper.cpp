// A copy of the program's start as far as the single-instance guard: waits for "go" on its input,
// takes the guard and prints "run" or "yield". A copy that runs keeps the guard until its input ends.
#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    std::string line;
    std::getline(std::cin, line);
    CSingleInstanceGuard guard(QString::fromLocal8Bit(argv[1]));
    const bool runs = guard.Acquire();
    std::printf(runs ? "run\n" : "yield\n");
    std::fflush(stdout);
    if (runs)
        while (std::getline(std::cin, line)) {
        }
    return 0;
}
