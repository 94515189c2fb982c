// One desk of a unit working on a shared server: logs in as the clerk named and runs a random mix of
// stock-ins, issues, returns, voids, deletes and document cancels on one kind, choosing its books
// from what it read a moment before, so that desks working at once keep taking the same books.
//   clerk_helper URL CLERK SEED OPERATIONS   mixed operations; prints its tally and latencies
//   clerk_helper URL CLERK SEED stock-ins    stock-ins of 300 books, one after the other, until killed;
//                                            prints "writing" before each
#include "app/Database.h"
#include "app/Dialect.h"
#include "app/ServerStore.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "bills/StockIn.h"
#include "bills/StockMoves.h"
#include "maintenance/BillMaintenance.h"
#include "schema/Schema.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

using namespace schema;

namespace {

const QString kKind = QStringLiteral("定额票据");

struct Tally {
    int done = 0;
    int refused = 0;
    qint64 entries = 0; // log entries the operations that were done wrote
    QStringList latencies;
};

QString Now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// The first column of every row of the query.
QStringList FirstColumn(const QString &statement) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(statement);
    QStringList texts;
    for (; !db.IsEOF(); db.MoveNext()) {
        QString text;
        db.ReadFieldText(0, text);
        texts << text;
    }
    db.CloseQuery();
    return texts;
}

// The first numbers of the kind's runs in the state, or of all runs without one.
QStringList RunsIn(const char *flag) {
    QString where = QString::asprintf("%s = '%s'", Bill_Kind, Quote(kKind).constData());
    if (flag)
        where += QString::asprintf(" AND %s = '%s'", Bill_Flag, flag);
    return FirstColumn(QString::asprintf("SELECT %s FROM %s WHERE %s ORDER BY %s", Bill_Begin_Char, Bill_Info,
                                         qUtf8Printable(where), Bill_Begin_Int));
}

QStringList Pick(QStringList from, int most, QRandomGenerator &random) {
    QStringList picked;
    const int count = qMin(int(from.size()), 1 + int(random.bounded(most)));
    for (int i = 0; i < count; ++i)
        picked << from.takeAt(int(random.bounded(int(from.size()))));
    return picked;
}

StockInEntry Entry(double begin, int books) {
    StockInEntry entry;
    ReadKind(kKind, entry.kind);
    entry.width = entry.kind.length;
    entry.begin = begin;
    entry.books = books;
    entry.stockTime = Now();
    entry.madeTime = entry.stockTime;
    entry.manager = LogUser();
    entry.madeUnits = QStringLiteral("印刷厂");
    double next = 0;
    NextDocumentNumber(Bill_Repository_No, next);
    entry.documentNo = next;
    return entry;
}

// One operation; true when it was done, with the log entries it wrote.
bool StockIn(QRandomGenerator &random, qint64 &entries) {
    const int books = 1 + int(random.bounded(3));
    const StockInOutcome outcome = InsertStockRuns(Entry(1 + 10.0 * random.bounded(200), books));
    entries = outcome.overlap ? 0 : books;
    return !outcome.overlap;
}

bool Issue(QRandomGenerator &random, qint64 &entries) {
    QVector<RunKey> runs;
    for (const QString &begin : Pick(RunsIn(FlagStock), 3, random))
        runs.append({kKind, begin});
    double next = 0;
    NextDocumentNumber(Bill_Issue_No, next);
    const MoveOutcome outcome =
        IssueRuns(runs, {Now(), QStringLiteral("发放部门"), QStringLiteral("领票人"), LogUser(), next});
    entries = outcome.kind == MoveOutcome::Done ? outcome.rows.size() : 0;
    return outcome.kind == MoveOutcome::Done && !runs.isEmpty();
}

bool Return(QRandomGenerator &random, qint64 &entries) {
    QVector<ReturnLine> lines;
    for (const QString &begin : Pick(RunsIn(FlagIssued), 2, random)) {
        RunInfo run;
        if (FindRun(kKind, begin, run))
            lines.append({{kKind, begin},
                          QStringLiteral("发放部门"),
                          QStringLiteral("领票人"),
                          QString::number(run.total),
                          run.endChar,
                          QString::number(run.count),
                          QString::number(run.total)});
    }
    double next = 0;
    NextDocumentNumber(Bill_Return_No, next);
    const MoveOutcome outcome = ReturnRuns(lines, {Now(), LogUser(), next});
    entries = outcome.kind == MoveOutcome::Done ? outcome.rows.size() : 0;
    return outcome.kind == MoveOutcome::Done && !outcome.rows.isEmpty();
}

bool TakeOutOfUse(QRandomGenerator &random, bool remove, qint64 &entries) {
    const QStringList run = Pick(RunsIn(nullptr), 1, random);
    if (run.isEmpty())
        return false;
    const RunChange change =
        remove ? RecycleRun(kKind, run.first(), Now(), LogUser()) : VoidRun(kKind, run.first(), Now(), LogUser());
    entries = change == RunChange::Done ? 1 : 0;
    return change == RunChange::Done;
}

bool Cancel(QRandomGenerator &random, qint64 &entries) {
    const DocumentKind &kind = DocumentKinds().at(int(random.bounded(3)));
    const QStringList numbers = FirstColumn(QString::asprintf("SELECT DISTINCT %s FROM %s WHERE %s IS NOT NULL",
                                                              kind.numberColumn, Bill_Info, kind.numberColumn));
    if (numbers.isEmpty())
        return false;
    const DocumentCancel cancel = CancelDocument(kind, Pick(numbers, 1, random).first());
    entries = cancel.outcome == DocumentCancel::Done ? cancel.runs : 0;
    return cancel.outcome == DocumentCancel::Done;
}

bool Operate(QRandomGenerator &random, qint64 &entries) {
    const int roll = int(random.bounded(100));
    if (roll < 20)
        return StockIn(random, entries);
    if (roll < 50)
        return Issue(random, entries);
    if (roll < 70)
        return Return(random, entries);
    if (roll < 78)
        return TakeOutOfUse(random, false, entries);
    if (roll < 85)
        return TakeOutOfUse(random, true, entries);
    return Cancel(random, entries);
}

int MixedOperations(QRandomGenerator &random, int operations) {
    Tally tally;
    for (int i = 0; i < operations; ++i) {
        QElapsedTimer timer;
        timer.start();
        qint64 entries = 0;
        try {
            if (Operate(random, entries))
                ++tally.done;
            else
                ++tally.refused;
        } catch (const CDbError &e) {
            // A conflict the retries could not settle is a refusal like the others; anything else
            // is a fault of the program.
            if (e.Failure() != DbFailure::Conflict) {
                std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
                return 1;
            }
            ++tally.refused;
        }
        tally.entries += entries;
        tally.latencies << QString::number(timer.nsecsElapsed() / 1e6, 'f', 2);
    }
    std::printf("done %d refused %d entries %lld\nlatencies %s\n", tally.done, tally.refused, tally.entries,
                qPrintable(tally.latencies.join(u' ')));
    return 0;
}

int StockInsUntilKilled(QRandomGenerator &random) {
    for (;;) {
        std::printf("writing\n");
        std::fflush(stdout);
        InsertStockRuns(Entry(1000000 + 10.0 * random.bounded(100000) * 300, 300));
    }
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 5)
        return 2;
    QString error;
    if (!TheDatabase().OpenServer(ParseServerUrl(QString::fromLocal8Bit(argv[1])), QString(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    SetLogUser(QString::fromLocal8Bit(argv[2]));
    QRandomGenerator random(quint32(QByteArray(argv[3]).toUInt()));
    const QByteArray mode = argv[4];
    try {
        return mode == "stock-ins" ? StockInsUntilKilled(random) : MixedOperations(random, mode.toInt());
    } catch (const CDbError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 1;
    }
}
