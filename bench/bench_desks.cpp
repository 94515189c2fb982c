// Several desks on one server: eight clerk programs each running 200 mixed operations on one stock,
// and how soon a desk's window shows that another desk changed the books.
#include "app/Database.h"
#include "app/ServerStore.h"
#include "bench/Bench.h"
#include "bills/StockIn.h"
#include "mainwindow/MainCommands.h"
#include "mainwindow/MainDlg.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProcess>
#include <algorithm>
#include <memory>

using namespace schema;

namespace {

constexpr int kDesks = 8;
constexpr int kOperations = 200;

struct DeskFigures {
    double operationsPerSecond = -1;
    double p99Milliseconds = -1;
};

void StockHundredBooks() {
    KindSpec kind{QStringLiteral("定额票据"), QStringLiteral("行政事业性收费"), {}, {}, 10, 10, 1.0, false};
    AddKind(kind);
    StockInEntry entry;
    ReadKind(kind.name, entry.kind);
    entry.width = kind.length;
    entry.begin = 1;
    entry.books = 100;
    entry.stockTime = QStringLiteral("2026-01-05 09:00:00");
    entry.madeTime = entry.stockTime;
    entry.manager = QStringLiteral("管理员");
    entry.madeUnits = QStringLiteral("印刷厂");
    entry.documentNo = 100000000000000.0;
    InsertStockRuns(entry);
}

// One run of the eight desks; on the file, where desks do not share a stock, nothing is measured.
DeskFigures MeasureDesks() {
    DeskFigures figures;
    if (!OnServer())
        return figures;
    TestDatabase t;
    StockHundredBooks();
    std::vector<std::unique_ptr<QProcess>> desks;
    QList<double> latencies;
    const double seconds = SecondsOf([&] {
        for (int desk = 1; desk <= kDesks; ++desk) {
            desks.emplace_back(new QProcess);
            desks.back()->start(BuiltResourceFile(QStringLiteral("tests/bills/clerk_helper")),
                                {ConfiguredServerUrl(), QStringLiteral("柜员%1").arg(desk), QString::number(desk),
                                 QString::number(kOperations)});
        }
        for (auto &desk : desks) {
            desk->waitForFinished(-1);
            const QList<QByteArray> lines = desk->readAllStandardOutput().split('\n');
            if (lines.size() > 1)
                for (const QByteArray &ms : lines[1].split(' ').mid(1))
                    latencies << ms.toDouble();
        }
    });
    if (latencies.size() != kDesks * kOperations)
        return figures;
    std::sort(latencies.begin(), latencies.end());
    figures.operationsPerSecond = latencies.size() / seconds;
    figures.p99Milliseconds = latencies.at(int(latencies.size() * 99 / 100));
    return figures;
}

const DeskFigures &Desks() {
    static const DeskFigures figures = MeasureDesks();
    return figures;
}

const BenchRegistration opsPerSecond("8_clerks_ops_per_s", "ops/s", [] { return Desks().operationsPerSecond; });

const BenchRegistration p99("8_clerks_p99_ms", "ms", [] { return Desks().p99Milliseconds; });

// Milliseconds from another desk's commit to this desk's window showing it, the median of five.
double NotifyToRefreshMilliseconds() {
    TestDatabase t;
    CMainDlg window;
    window.SetCurrentUser(QStringLiteral("管理员"));
    window.ShowDepartmentViewAgain();
    auto *stale = window.findChild<QLabel *>(QStringLiteral("staleLabel"));
    CDatabase other;
    if (!stale || !t.OpenAnotherDesk(other))
        return -1;
    QList<double> delays;
    for (int round = 0; round < 5; ++round) {
        window.RunCommand(cmd::Refresh);
        other.ExecuteStatement(
            QString::asprintf("INSERT INTO %s (%s) VALUES ('部门%d')", Bill_Dept_Info, Bill_Dept_Name, round));
        const double seconds = SecondsOf([&] {
            QElapsedTimer waited;
            waited.start();
            while (stale->isHidden() && waited.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        });
        if (stale->isHidden())
            return -1;
        delays << seconds * 1000;
    }
    std::sort(delays.begin(), delays.end());
    return delays.at(2);
}

const BenchRegistration notifyToRefresh("notify_to_refresh_ms", "ms", NotifyToRefreshMilliseconds);

} // namespace
