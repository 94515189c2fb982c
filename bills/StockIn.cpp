#include "bills/StockIn.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "schema/Schema.h"

#include <algorithm>

using namespace schema;

namespace {

QString ReadText(CDatabase &db, const char *column) {
    QString value;
    db.ReadFieldText(QLatin1String(column), value);
    return value;
}

void ReadNumber(CDatabase &db, const char *column, double &value) {
    db.ReadFieldNumber(QLatin1String(column), value);
}

void ReadNumber(CDatabase &db, const char *column, int &value) {
    double number = value;
    if (db.ReadFieldNumber(QLatin1String(column), number))
        value = int(number);
}

bool ReadFlag(CDatabase &db, const char *column) {
    double flag = 0;
    db.ReadFieldNumber(QLatin1String(column), flag);
    return flag != 0;
}

} // namespace

bool ReadKind(const QString &name, KindParams &params, const char *orderColumn) {
    CDatabase &db = TheDatabase();
    QString statement =
        QString::asprintf("SELECT * FROM %s WHERE %s = '%s'", Bill_Kind_Info, Bill_Kind_Name, Quote(name).constData());
    if (orderColumn)
        statement += QString::asprintf(" ORDER BY %s ASC", orderColumn);
    db.OpenQuery(statement);
    const bool found = !db.IsEOF();
    if (found) {
        params.name = name;
        params.prefix = ReadText(db, Bill_Kind_Prefix);
        params.suffix = ReadText(db, Bill_Kind_Suffix);
        params.mainKind = ReadText(db, Bill_Kind_Main_Kind);
        ReadNumber(db, Bill_Kind_Unit_Price, params.unitPrice);
        ReadNumber(db, Bill_Kind_Unit_Amount, params.unitAmount);
        ReadNumber(db, Bill_Kind_Unit_Total, params.bookTotal);
        ReadNumber(db, Bill_Kind_Length, params.length);
        params.noneFixed = ReadFlag(db, Bill_Kind_NoneFixed);
        // Bills of non-fixed amount get their amounts one by one at return; a price left over from
        // another kind must not be stocked with them.
        if (params.noneFixed) {
            params.unitPrice = 0;
            params.bookTotal = 0;
        }
    }
    db.CloseQuery();
    return found;
}

namespace {

// The texts every statement of an entry repeats, quoted once for the whole entry.
struct EntryTexts {
    explicit EntryTexts(const StockInEntry &e)
        : kind(Quote(e.kind.name)), mainKind(Quote(e.kind.mainKind)), prefix(Quote(e.prefix)), suffix(Quote(e.suffix)),
          stockTime(Quote(e.stockTime)), manager(Quote(e.manager)), madeTime(Quote(e.madeTime)),
          madeUnits(Quote(e.madeUnits)) {}

    // A bill number of the entry as it stands quoted in a statement.
    QByteArray Number(double value, int width) const {
        return prefix + FormatBillDigits(value, width).toLatin1() + suffix;
    }

    QByteArray kind, mainKind, prefix, suffix, stockTime, manager, madeTime, madeUnits;
};

QString RunStatement(const StockInEntry &e, const EntryTexts &t, int book) {
    const double first = e.BookBegin(book);
    const double last = e.BookBegin(book + 1) - 1;
    return QString::asprintf(
        "INSERT INTO %s \t\t\t\t\t\t\t(%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) \t\t\t\t\t\t\tVALUES "
        "\t\t\t\t\t\t\t('%s',%f,%d,%f,'%s','%s', \t\t\t\t\t\t\t'%s','%s',%f,%f,'%s','%s','%s','%s','%s','%s',%s,%f)",
        Bill_Info, Bill_Kind, Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Begin_Char, Bill_End_Char,
        Bill_Prefix, Bill_Suffix, Bill_Begin_Int, Bill_End_Int, Bill_Repository_Time, Bill_Repository_Manager,
        Bill_Made_Time, Bill_Made_Units, Bill_Flag, Bill_Main_Kind, Bill_NoneFixed_Sum, Bill_Repository_No,
        t.kind.constData(), e.kind.unitPrice, e.kind.unitAmount, e.kind.bookTotal, t.Number(first, e.width).constData(),
        t.Number(last, e.width).constData(), t.prefix.constData(), t.suffix.constData(), first, last,
        t.stockTime.constData(), t.manager.constData(), t.madeTime.constData(), t.madeUnits.constData(), FlagStock,
        t.mainKind.constData(), e.kind.noneFixed ? "TRUE" : "FALSE", e.documentNo);
}

QString SingleStatement(const EntryTexts &t, const QByteArray &bookBegin, const QByteArray &billNumber,
                        double position) {
    return QString::asprintf("INSERT INTO %s \t\t\t\t\t\t\t\t\t(%s,%s,%s,%s,%s,%s) \t\t\t\t\t\t\t\t\tVALUES "
                             "\t\t\t\t\t\t\t\t\t('%s','%s','%s','%s',%f, \t\t\t\t\t\t\t\t\t%f)",
                             Bill_NoneFixed_Manifest_Info, Bill_NoneFixed_Kind, Bill_NoneFixed_Main_Kind,
                             Bill_NoneFixed_Begin_Char, Bill_NoneFixed_Inner_Char, Bill_NoneFixed_Inner_Int,
                             Bill_NoneFixed_Unit_Price, t.kind.constData(), t.mainKind.constData(),
                             bookBegin.constData(), billNumber.constData(), position, 0.0);
}

// The single-bill statements of one book differ only in the bill's number and position. The book's
// statement is composed once with marks in those two places and completed per bill, which gives the
// same text as composing each whole at a fraction of the cost for a hundred thousand bills.
class CSingleBillTexts {
public:
    CSingleBillTexts(const StockInEntry &e, const EntryTexts &t, int book)
        : m_entry(e), m_texts(t), m_begin(e.BookBegin(book)) {
        const QString marked = SingleStatement(t, t.Number(m_begin, e.width), QByteArray(kNumberMark), kPositionMark);
        // Only the position and the amount follow the bill's number, so its last mark is the one.
        const int number = int(marked.lastIndexOf(QLatin1String(kNumberMark)));
        const QString position = QString::number(kPositionMark, 'f', 6);
        const int at = int(marked.indexOf(position, number));
        m_head = marked.left(number);
        m_middle = marked.mid(number + 1, at - number - 1);
        m_tail = marked.mid(at + position.size());
    }

    QString Statement(int position) const {
        return m_head + QString::fromUtf8(m_texts.Number(m_begin + position - 1, m_entry.width)) + m_middle +
               QString::number(double(position), 'f', 6) + m_tail;
    }

private:
    static constexpr const char *kNumberMark = "\x01";
    static constexpr double kPositionMark = -1;

    const StockInEntry &m_entry;
    const EntryTexts &m_texts;
    double m_begin;
    QString m_head;
    QString m_middle;
    QString m_tail;
};

} // namespace

QString StockInStatement(const StockInEntry &entry, int book) {
    return RunStatement(entry, EntryTexts(entry), book);
}

QString SingleBillStatement(const StockInEntry &entry, int book, int position) {
    const EntryTexts texts(entry);
    const double begin = entry.BookBegin(book);
    return SingleStatement(texts, texts.Number(begin, entry.width), texts.Number(begin + position - 1, entry.width),
                           position);
}

StockInOutcome InsertStockRuns(const StockInEntry &given, const std::function<void(int, int)> &progress) {
    return RunRetrying([&] {
        CDatabase &db = TheDatabase();
        CTransaction transaction(db);
        StockInOutcome outcome;
        db.HoldUntilCommit(QStringLiteral("stock-in of %1").arg(given.kind.name));
        if (FindOverlap(given.kind.name, given.kind.unitAmount, given.begin, given.Last(), outcome.shared)) {
            outcome.overlap = true;
            return outcome;
        }
        StockInEntry entry = given;
        entry.documentNo = ClaimDocumentNumber(Bill_Repository_No, given.documentNo, given.continuing);
        const EntryTexts texts(entry);
        QVector<LogEntry> log;
        log.reserve(entry.books);
        const QString detail =
            QStringLiteral("入库 %1 张，制造部门 %2").arg(entry.kind.unitAmount).arg(entry.madeUnits);
        for (int book = 0; book < entry.books; ++book) {
            db.ExecuteStatement(RunStatement(entry, texts, book));
            log.append({QString::fromUtf8(logop::StockIn), entry.documentNo, entry.kind.name,
                        FormatBillNumber(entry.prefix, entry.BookBegin(book), entry.suffix, entry.width),
                        FormatBillNumber(entry.prefix, entry.BookBegin(book + 1) - 1, entry.suffix, entry.width),
                        entry.kind.unitAmount, entry.kind.bookTotal, detail});
            if (entry.kind.noneFixed) {
                const CSingleBillTexts bills(entry, texts, book);
                for (int position = 1; position <= entry.kind.unitAmount; ++position)
                    db.ExecuteStatement(bills.Statement(position));
            }
            if (progress)
                progress(book + 1, entry.books);
        }
        WriteLog(log);
        transaction.Commit();
        outcome.documentNo = entry.documentNo;
        return outcome;
    });
}

bool FindOverlap(const QString &kind, int unitAmount, double first, double last, double &shared) {
    // Walking the kind's runs in begin order, joining books that follow each other into blocks and
    // refusing at the first block that touches [first, last], names max(block begin, first). That
    // block holds the lowest run that touches the range, and either the range begins inside the
    // block or the block begins at that run, so the lowest such run alone gives the same number.
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT MIN(%s) AS %s FROM %s WHERE %s = '%s' AND %s >= %f AND %s <= %f",
                                   Bill_Begin_Int, Bill_Begin_Int, Bill_Info, Bill_Kind, Quote(kind).constData(),
                                   Bill_Begin_Int, first - (unitAmount - 1), Bill_Begin_Int, last));
    double lowest = 0;
    const bool found = db.ReadFieldNumber(0, lowest);
    db.CloseQuery();
    if (found)
        shared = std::max(lowest, first);
    return found;
}

QString OverlapMessage(int width, double shared) {
    const QString format =
        QString::asprintf("录入票据的编号,与数据库中的编号有重复部分!\n\n提示：数据库中已经存在(%%0%d.0f)编号!", width);
    return QString::asprintf(format.toUtf8().constData(), shared);
}
