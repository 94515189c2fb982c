#include "bills/BillHistory.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "schema/Schema.h"

#include <algorithm>

using namespace schema;

namespace {

QString Text(CDatabase &db, const char *column) {
    QString value;
    db.ReadFieldText(QLatin1String(column), value);
    return value;
}

double Number(CDatabase &db, const char *column) {
    double value = 0;
    db.ReadFieldNumber(QLatin1String(column), value);
    return value;
}

HistoryBook ReadBook(CDatabase &db, bool deleted) {
    HistoryBook b;
    b.deleted = deleted;
    b.kind = Text(db, Bill_Kind);
    b.beginChar = Text(db, Bill_Begin_Char);
    b.endChar = Text(db, Bill_End_Char);
    b.beginInt = Number(db, Bill_Begin_Int);
    b.endInt = Number(db, Bill_End_Int);
    b.flag = Text(db, Bill_Flag);
    b.remark = Text(db, Bill_Info_Remark);
    b.unitTotal = Number(db, Bill_Unit_Total);
    b.repositoryTime = Text(db, Bill_Repository_Time);
    b.repositoryManager = Text(db, Bill_Repository_Manager);
    b.madeUnits = Text(db, Bill_Made_Units);
    b.repositoryNo = Number(db, Bill_Repository_No);
    b.issueTime = Text(db, Bill_Issue_Time);
    b.issueDept = Text(db, Bill_Issue_Dept);
    b.issueBroker = Text(db, Bill_Issue_Broker);
    b.issueManager = Text(db, Bill_Issue_Manager);
    b.issueNo = Number(db, Bill_Issue_No);
    b.returnTime = Text(db, Bill_Return_Time);
    b.returnDept = Text(db, Bill_Return_Dept);
    b.returnBroker = Text(db, Bill_Return_Broker);
    b.returnManager = Text(db, Bill_Return_Manager);
    b.returnEndChar = Text(db, Bill_Return_End_Char);
    b.returnNo = Number(db, Bill_Return_No);
    b.returnEndInt = Number(db, Bill_Return_End_Int);
    b.returnCount = int(Number(db, Bill_Unit_Return_Amount));
    b.returnTotal = Number(db, Bill_Unit_Return_Total);
    b.invalidTime = Text(db, Bill_Invalid_Time);
    b.invalidManager = Text(db, Bill_Invalid_Manager);
    if (deleted) {
        b.deletionTime = Text(db, Bill_Recycle_Time);
        b.deletionManager = Text(db, Bill_Recycle_Manager);
    }
    return b;
}

void ReadBooks(const char *table, const QString &kind, int unitAmount, double value, QVector<HistoryBook> &books) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s WHERE %s = '%s' AND %s >= %f AND %s <= %f AND %s >= %f", table,
                                   Bill_Kind, Quote(kind).constData(), Bill_Begin_Int,
                                   value - (std::max(unitAmount, 1) - 1), Bill_Begin_Int, value, Bill_End_Int, value));
    for (; !db.IsEOF(); db.MoveNext())
        books.append(ReadBook(db, table == Bill_Recycle_Info));
    db.CloseQuery();
}

QString Document(double number) {
    return number > 0 ? FormatDocumentNumber(number) : QString();
}

// An operation after which the book's numbers are free again: the book is gone.
bool EndsBook(const QString &operation) {
    for (const char *end : {logop::Delete, logop::ForcedDelete, logop::KindDelete, logop::CancelStockIn})
        if (operation == QString::fromUtf8(end))
            return true;
    return false;
}

// The word of the history for an operation of the log; operations without one keep their own.
QString StepWord(const QString &operation) {
    static const std::pair<const char *, const char *> words[] = {
        {logop::StockIn, "入库"}, {logop::Issue, "发放"},        {logop::Return, "回收"},    {logop::Void, "作废"},
        {logop::Delete, "删除"},  {logop::ForcedDelete, "删除"}, {logop::KindDelete, "删除"}};
    for (const auto &[op, word] : words)
        if (operation == QString::fromUtf8(op))
            return QString::fromUtf8(word);
    return operation;
}

QString UsedText(const HistoryBook &book, double value) {
    return value <= book.returnEndInt ? QStringLiteral("本号已使用") : QStringLiteral("本号未使用");
}

// The log entries of every book that had this kind and first number, one road per book in the
// order they were stocked; the last road is still open when its book was not taken away.
struct LoggedRoads {
    QVector<QVector<HistoryStep>> roads;
    bool lastOpen = false;
};

LoggedRoads ReadLoggedRoads(const QString &kind, const QString &beginChar) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s WHERE %s = '%s' AND %s = '%s' ORDER BY %s", Bill_Log_Info,
                                   Bill_Log_Kind, Quote(kind).constData(), Bill_Log_Begin_Char,
                                   Quote(beginChar).constData(), Bill_Log_ID));
    LoggedRoads logged;
    for (; !db.IsEOF(); db.MoveNext()) {
        HistoryStep step;
        const QString operation = Text(db, Bill_Log_Operation);
        step.step = StepWord(operation);
        step.time = Text(db, Bill_Log_Time);
        step.manager = Text(db, Bill_Log_User);
        step.document = Document(Number(db, Bill_Log_Document_No));
        step.detail = Text(db, Bill_Log_Detail);
        if (!logged.lastOpen)
            logged.roads.append(QVector<HistoryStep>());
        logged.roads.last().append(step);
        logged.lastOpen = !EndsBook(operation);
    }
    db.CloseQuery();
    return logged;
}

// Gives each book its logged road. The log may have begun after the first books were stocked, so
// roads and books are matched from the newest: the live book takes the open road, deleted books
// the closed roads before it.
void AttachLoggedRoads(QVector<HistoryBook> &books) {
    for (int i = 0; i < books.size(); ++i) {
        bool seen = false;
        for (int j = 0; j < i && !seen; ++j)
            seen = books[j].kind == books[i].kind && books[j].beginChar == books[i].beginChar;
        if (seen)
            continue;
        LoggedRoads logged = ReadLoggedRoads(books[i].kind, books[i].beginChar);
        for (int j = int(books.size()) - 1; j >= i; --j) {
            HistoryBook &book = books[j];
            if (book.kind != books[i].kind || book.beginChar != books[i].beginChar || logged.roads.isEmpty())
                continue;
            if (book.deleted == logged.lastOpen) {
                // A live book without an open road, or a deleted one facing an open road: not logged.
                if (!book.deleted)
                    continue;
                logged.roads.removeLast();
                logged.lastOpen = false;
                if (logged.roads.isEmpty())
                    break;
            }
            book.loggedRoad = logged.roads.takeLast();
            logged.lastOpen = false;
        }
    }
}

} // namespace

bool ParseTypedBillNumber(const QString &typed, const KindParams &kind, double &value) {
    QString digits = typed.trimmed();
    if (!kind.prefix.isEmpty() && digits.startsWith(kind.prefix, Qt::CaseInsensitive))
        digits = digits.mid(kind.prefix.size());
    if (!kind.suffix.isEmpty() && digits.endsWith(kind.suffix, Qt::CaseInsensitive))
        digits.chop(kind.suffix.size());
    if (!IsDigitText(digits) || digits.size() > 15)
        return false;
    value = digits.toDouble();
    return true;
}

QVector<HistoryBook> FindBooksHolding(const QString &kind, int unitAmount, double value) {
    QVector<HistoryBook> books;
    ReadBooks(Bill_Recycle_Info, kind, unitAmount, value, books);
    ReadBooks(Bill_Info, kind, unitAmount, value, books);
    // Date-times are zero-padded texts, so text order is time order; the live book, stocked after any
    // deleted one of the same numbers, comes last.
    std::stable_sort(books.begin(), books.end(),
                     [](const HistoryBook &a, const HistoryBook &b) { return a.repositoryTime < b.repositoryTime; });
    AttachLoggedRoads(books);
    return books;
}

QVector<HistoryStep> BookRoad(const HistoryBook &book, double value) {
    // The log tells the road only when it holds the book from its stock-in; a book stocked before
    // the log began keeps the road its stamps tell.
    if (!book.loggedRoad.isEmpty() && book.loggedRoad.first().step == QStringLiteral("入库")) {
        QVector<HistoryStep> road = book.loggedRoad;
        // Only the book's return, the last one logged, says whether the number itself was used.
        for (auto step = road.rbegin(); step != road.rend() && book.returnNo > 0; ++step) {
            if (step->step == QStringLiteral("回收")) {
                step->detail += QStringLiteral("；") + UsedText(book, value);
                break;
            }
        }
        return road;
    }
    QVector<HistoryStep> road;
    HistoryStep in;
    in.step = QStringLiteral("入库");
    in.time = book.repositoryTime;
    in.manager = book.repositoryManager;
    in.document = Document(book.repositoryNo);
    in.detail = QStringLiteral("本号 %1 至 %2").arg(book.beginChar, book.endChar);
    if (!book.madeUnits.isEmpty())
        in.detail += QStringLiteral("，制造部门 %1").arg(book.madeUnits);
    road.append(in);
    // A cancelled issue or return document clears its number but leaves the other stamps, so the
    // number alone says whether the step still stands.
    if (book.issueNo > 0) {
        HistoryStep out;
        out.step = QStringLiteral("发放");
        out.time = book.issueTime;
        out.manager = book.issueManager;
        out.dept = book.issueDept;
        out.broker = book.issueBroker;
        out.document = Document(book.issueNo);
        road.append(out);
    }
    if (book.returnNo > 0) {
        HistoryStep back;
        back.step = QStringLiteral("回收");
        back.time = book.returnTime;
        back.manager = book.returnManager;
        back.dept = book.returnDept;
        back.broker = book.returnBroker;
        back.document = Document(book.returnNo);
        back.detail = QStringLiteral("回收张数 %1，返还结尾编号 %2，回收金额 %3；%4")
                          .arg(book.returnCount)
                          .arg(book.returnEndChar, FormatMoney(book.returnTotal), UsedText(book, value));
        road.append(back);
    }
    if (book.flag == QString::fromUtf8(FlagVoid)) {
        HistoryStep off;
        off.step = QStringLiteral("作废");
        off.time = book.invalidTime;
        off.manager = book.invalidManager;
        road.append(off);
    }
    if (book.deleted) {
        HistoryStep gone;
        gone.step = QStringLiteral("删除");
        gone.time = book.deletionTime;
        gone.manager = book.deletionManager;
        gone.detail = book.remark == QString::fromUtf8(RemarkKindDeleted)
                          ? QStringLiteral("随票据类型删除，已移入回收表")
                          : QStringLiteral("已移入回收表");
        road.append(gone);
    }
    return road;
}

QStringList HistoryTitles() {
    return {QStringLiteral("步骤"),   QStringLiteral("时间"),     QStringLiteral("票据管理员"), QStringLiteral("部门"),
            QStringLiteral("领票人"), QStringLiteral("单据编号"), QStringLiteral("说明")};
}

QStringList HistoryCells(const HistoryStep &s) {
    return {s.step, s.time, s.manager, s.dept, s.broker, s.document, s.detail};
}

QString BookSummary(const HistoryBook &book) {
    return QStringLiteral("票据类型 %1，本号 %2 至 %3，状态：%4%5")
        .arg(book.kind, book.beginChar, book.endChar, book.flag,
             book.deleted ? QStringLiteral("（已删除，在回收表中）") : QString());
}
