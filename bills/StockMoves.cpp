#include "bills/StockMoves.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "schema/Schema.h"

#include <QStringList>
#include <algorithm>
#include <numeric>
#include <tuple>

using namespace schema;

namespace {

QByteArray Q(const QString &text) {
    return Quote(text);
}

QString Text(CDatabase &db, const char *column) {
    QString value;
    db.ReadFieldText(QLatin1String(column), value);
    return value;
}

// The rows of runs in the order of kind and first number: every desk changes the runs of a move in
// this one order, so that two moves of the same runs wait for each other instead of deadlocking.
QVector<int> RowsInRunOrder(const QVector<RunKey> &runs) {
    QVector<int> rows(runs.size());
    std::iota(rows.begin(), rows.end(), 0);
    std::sort(rows.begin(), rows.end(), [&](int a, int b) {
        return std::tie(runs[a].kind, runs[a].beginChar) < std::tie(runs[b].kind, runs[b].beginChar);
    });
    return rows;
}

MoveOutcome Refused(MoveOutcome::Kind kind, QVector<int> rows) {
    std::sort(rows.begin(), rows.end());
    MoveOutcome outcome;
    outcome.kind = kind;
    outcome.row = rows.first();
    outcome.rows = rows;
    return outcome;
}

// The amount text of a line as it may stand in the statement, or empty when it is no number.
QString AmountText(const QString &cell) {
    const QString text = StripMoneySign(cell);
    return IsNumberText(text) ? text : QString();
}

} // namespace

bool FindRun(const QString &kind, const QString &beginChar, RunInfo &run, const char *flag) {
    CDatabase &db = TheDatabase();
    QString statement = QString::asprintf("SELECT * FROM %s WHERE %s = '%s' AND %s = '%s'", Bill_Info, Bill_Kind,
                                          Q(kind).constData(), Bill_Begin_Char, Q(beginChar).constData());
    if (flag)
        statement += QString::asprintf(" \t\t\t\t\tAND %s = '%s'", Bill_Flag, flag);
    db.OpenQuery(statement);
    const bool found = !db.IsEOF();
    if (found) {
        run = RunInfo();
        db.ReadFieldNumber(QLatin1String(Bill_Begin_Int), run.begin);
        db.ReadFieldNumber(QLatin1String(Bill_Unit_Price), run.unitPrice);
        db.ReadFieldNumber(QLatin1String(Bill_Unit_Total), run.total);
        double count = 0;
        db.ReadFieldNumber(QLatin1String(Bill_Unit_Amount), count);
        run.count = int(count);
        run.endChar = Text(db, Bill_End_Char);
        double noneFixed = 0;
        db.ReadFieldNumber(QLatin1String(Bill_NoneFixed_Sum), noneFixed);
        run.noneFixed = noneFixed != 0;
        run.flag = Text(db, Bill_Flag);
        run.mainKind = Text(db, Bill_Main_Kind);
        run.prefix = Text(db, Bill_Prefix);
        run.suffix = Text(db, Bill_Suffix);
        run.issueDept = Text(db, Bill_Issue_Dept);
        run.issueBroker = Text(db, Bill_Issue_Broker);
    }
    db.CloseQuery();
    return found;
}

// The moves state the state they expect through COALESCE, which no index holds: the run is found by
// its kind and first number, never through the index of states, where every book in stock sits.
QString IssueStatement(const IssueStamp &s, const RunKey &run) {
    return QString::asprintf(
        "UPDATE %s \t\t\t\t\tSET %s = '%s',\t\t\t\t\t%s = '%s',\t\t\t\t\t%s = '%s',\t\t\t\t\t%s = "
        "'%s',\t\t\t\t\t%s = '%s',\t\t\t\t\t%s = %f \t\t\t\t\tWHERE %s = '%s' AND %s = '%s' AND COALESCE(%s, '') = '%s'",
        Bill_Info, Bill_Issue_Time, Q(s.time).constData(), Bill_Issue_Dept, Q(s.dept).constData(), Bill_Issue_Broker,
        Q(s.broker).constData(), Bill_Issue_Manager, Q(s.manager).constData(), Bill_Flag, FlagIssued, Bill_Issue_No,
        s.documentNo, Bill_Kind, Q(run.kind).constData(), Bill_Begin_Char, Q(run.beginChar).constData(), Bill_Flag,
        FlagStock);
}

MoveOutcome IssueRuns(const QVector<RunKey> &runs, const IssueStamp &given) {
    return RunRetrying([&] {
        CDatabase &db = TheDatabase();
        CTransaction transaction(db);
        IssueStamp stamp = given;
        stamp.documentNo = ClaimDocumentNumber(Bill_Issue_No, given.documentNo, given.continuing);
        // The statement issues a run only while it is in stock: one that another desk took after it
        // was read changes nothing and is refused with the others.
        QVector<RunInfo> found(runs.size());
        QVector<int> taken;
        for (int row : RowsInRunOrder(runs)) {
            RunInfo &run = found[row];
            const bool inStock =
                FindRun(runs[row].kind, runs[row].beginChar, run) && run.flag == QString::fromUtf8(FlagStock);
            if (inStock)
                db.ExecuteStatement(IssueStatement(stamp, runs[row]));
            if (!inStock || db.ChangedRows() == 0)
                taken << row;
        }
        if (!taken.isEmpty())
            return Refused(MoveOutcome::NotInState, taken);
        QVector<LogEntry> log;
        const QString detail = QStringLiteral("发放给 %1 %2").arg(stamp.dept, stamp.broker);
        for (int row = 0; row < runs.size(); ++row)
            log.append({QString::fromUtf8(logop::Issue), stamp.documentNo, runs[row].kind, runs[row].beginChar,
                        found[row].endChar, found[row].count, found[row].total, detail});
        WriteLog(log);
        transaction.Commit();
        MoveOutcome done;
        done.documentNo = stamp.documentNo;
        done.rows.resize(runs.size());
        std::iota(done.rows.begin(), done.rows.end(), 0);
        return done;
    });
}

QString ReturnEndValue(double begin, int count) {
    return QString::asprintf("%.0f", begin + count - 1);
}

QString ReturnStatement(const ReturnStamp &s, const ReturnLine &l, const QString &endValue) {
    return QString::asprintf(
        "UPDATE %s \t\t\t\t\tSET %s = %s,\t\t\t\t\t%s = '%s',\t\t\t\t\t%s = '%s',\t\t\t\t\t%s = '%s',\t\t\t\t\t%s = "
        "'%s',\t\t\t\t\t%s = '%s',\t\t\t\t\t%s = '%s',\t\t\t\t\t%s = %s,\t\t\t\t\t%s = %s, \t\t\t\t\t%s = %s, "
        "\t\t\t\t\t%s = %f \t\t\t\t\tWHERE %s = '%s' AND %s = '%s' AND COALESCE(%s, '') = '%s'",
        Bill_Info, Bill_Unit_Return_Total, qUtf8Printable(l.returnTotal), Bill_Return_Time, Q(s.time).constData(),
        Bill_Return_Dept, Q(l.dept).constData(), Bill_Return_Broker, Q(l.broker).constData(), Bill_Return_Manager,
        Q(s.manager).constData(), Bill_Flag, FlagReturned, Bill_Return_End_Char, Q(l.returnEndChar).constData(),
        Bill_Unit_Return_Amount, qUtf8Printable(l.returnCount), Bill_Return_End_Int, qUtf8Printable(endValue),
        Bill_Unit_Total, qUtf8Printable(l.total), Bill_Return_No, s.documentNo, Bill_Kind, Q(l.run.kind).constData(),
        Bill_Begin_Char, Q(l.run.beginChar).constData(), Bill_Flag, FlagIssued);
}

bool IsNumberText(const QString &text) {
    const QStringView digits = text.startsWith(u'-') ? QStringView(text).mid(1) : QStringView(text);
    bool point = false;
    bool digit = false;
    for (QChar c : digits) {
        if (c == u'.' && !point)
            point = true;
        else if (c >= u'0' && c <= u'9')
            digit = true;
        else
            return false;
    }
    return digit;
}

MoveOutcome ReturnRuns(const QVector<ReturnLine> &given, const ReturnStamp &givenStamp) {
    QVector<RunKey> runs;
    for (const ReturnLine &line : given)
        runs << line.run;
    return RunRetrying([&] {
        CDatabase &db = TheDatabase();
        CTransaction transaction(db);
        ReturnStamp stamp = givenStamp;
        stamp.documentNo = ClaimDocumentNumber(Bill_Return_No, givenStamp.documentNo, givenStamp.continuing);
        QVector<ReturnLine> lines = given;
        QVector<RunInfo> found(lines.size());
        QVector<bool> returned(lines.size(), false);
        QVector<int> notIssued;
        QVector<int> badAmount;
        for (int row : RowsInRunOrder(runs)) {
            ReturnLine &line = lines[row];
            RunInfo &run = found[row];
            const bool exists = FindRun(line.run.kind, line.run.beginChar, run);
            if (exists && run.flag != QString::fromUtf8(FlagIssued)) {
                notIssued << row;
                continue;
            }
            const int count = ParseReturnCount(line.returnCount);
            line.returnCount = QString::number(count);
            if (exists && run.noneFixed) {
                // A book of non-fixed amount is worth what its single bills were recorded at.
                const QString sum =
                    QString::asprintf("%.2f", SingleBillTotal({line.run.kind, run.mainKind, line.run.beginChar}));
                line.total = sum;
                line.returnTotal = sum;
            } else {
                line.total = AmountText(line.total);
                line.returnTotal = AmountText(line.returnTotal);
                if (line.total.isEmpty() || line.returnTotal.isEmpty()) {
                    badAmount << row;
                    continue;
                }
            }
            db.ExecuteStatement(ReturnStatement(stamp, line, ReturnEndValue(exists ? run.begin : 0, count)));
            returned[row] = db.ChangedRows() > 0;
            // Issued when read, yet not changed: another desk moved it since.
            if (exists && !returned[row])
                notIssued << row;
        }
        // The first refused row in list order decides, as if the lines were taken one by one.
        const int firstNotIssued =
            notIssued.isEmpty() ? int(lines.size()) : *std::min_element(notIssued.begin(), notIssued.end());
        const int firstBad =
            badAmount.isEmpty() ? int(lines.size()) : *std::min_element(badAmount.begin(), badAmount.end());
        if (firstBad < firstNotIssued)
            return Refused(MoveOutcome::BadAmount, badAmount);
        if (!notIssued.isEmpty())
            return Refused(MoveOutcome::NotInState, notIssued);
        QVector<LogEntry> log;
        MoveOutcome done;
        for (int row = 0; row < lines.size(); ++row) {
            if (!returned[row])
                continue;
            done.rows << row;
            const ReturnLine &line = lines[row];
            const double collected = line.returnTotal.toDouble();
            log.append({QString::fromUtf8(logop::Return), stamp.documentNo, line.run.kind, line.run.beginChar,
                        found[row].endChar, line.returnCount.toInt(), collected,
                        QStringLiteral("退回 %1 张，实收%2，返还结尾编号 %3")
                            .arg(line.returnCount, FormatMoney(collected), line.returnEndChar)});
        }
        WriteLog(log);
        transaction.Commit();
        done.documentNo = stamp.documentNo;
        return done;
    });
}

int ClampReturnCount(int count, int bookCount) {
    return qMax(1, qMin(count, bookCount));
}

QString ReturnedLastNumber(const RunInfo &run, const QString &firstText, int count) {
    const int width = int(firstText.size() - run.prefix.size() - run.suffix.size());
    return FormatBillNumber(run.prefix, run.begin + count - 1, run.suffix, width);
}

QString SingleBillListStatement(const BookKey &b) {
    return QString::asprintf("SELECT %s AS %s,%s AS %s FROM %s WHERE %s = '%s' AND %s = '%s' AND %s = '%s' ORDER "
                             "BY %s ASC",
                             Bill_NoneFixed_Inner_Char, "票据编号", Bill_NoneFixed_Unit_Price, "票据金额",
                             Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Kind, Q(b.kind).constData(),
                             Bill_NoneFixed_Main_Kind, Q(b.mainKind).constData(), Bill_NoneFixed_Begin_Char,
                             Q(b.beginChar).constData(), Bill_NoneFixed_Inner_Char);
}

QString RecordAmountStatement(const BookKey &b, const QString &billNumber, double amount) {
    return QString::asprintf("UPDATE %s \t\tSET %s = %f \t\tWHERE %s = '%s' AND %s = '%s' AND %s = '%s' AND %s = '%s'",
                             Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Unit_Price, amount, Bill_NoneFixed_Kind,
                             Q(b.kind).constData(), Bill_NoneFixed_Main_Kind, Q(b.mainKind).constData(),
                             Bill_NoneFixed_Begin_Char, Q(b.beginChar).constData(), Bill_NoneFixed_Inner_Char,
                             Q(billNumber).constData());
}

void RecordBillAmount(const BookKey &book, const QString &billNumber, double amount) {
    RunRetrying([&] {
        CDatabase &db = TheDatabase();
        CTransaction transaction(db);
        db.ExecuteStatement(RecordAmountStatement(book, billNumber, amount));
        if (db.ChangedRows() > 0)
            WriteLog({QString::fromUtf8(logop::Amount), 0, book.kind, billNumber, billNumber, 1, amount,
                      QStringLiteral("本号 %1 的票据金额记为%2").arg(book.beginChar, FormatMoney(amount))});
        transaction.Commit();
    });
}

double SingleBillTotal(const BookKey &b) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT SUM(%s) AS %s FROM %s \t\tWHERE %s = '%s' AND %s = '%s' AND %s = '%s'",
                                   Bill_NoneFixed_Unit_Price, Bill_NoneFixed_Unit_Price, Bill_NoneFixed_Manifest_Info,
                                   Bill_NoneFixed_Kind, Q(b.kind).constData(), Bill_NoneFixed_Main_Kind,
                                   Q(b.mainKind).constData(), Bill_NoneFixed_Begin_Char, Q(b.beginChar).constData()));
    double total = 0;
    db.ReadFieldNumber(QLatin1String(Bill_NoneFixed_Unit_Price), total);
    db.CloseQuery();
    return total;
}

int CountAmounts(const QStringList &amountTexts) {
    int counted = 0;
    for (const QString &text : amountTexts) {
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        counted += ok && value != 0 ? 1 : 0;
    }
    return counted;
}
