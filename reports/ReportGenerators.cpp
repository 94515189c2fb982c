#include "reports/ReportGenerators.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "schema/Schema.h"

#include <QHash>
#include <QVector>
#include <algorithm>
#include <array>
#include <cmath>

using namespace schema;

QStringList &CReportTable::AppendRow() {
    rows.append(QStringList());
    QStringList &row = rows.last();
    for (int i = 0; i < titles.size(); ++i)
        row.append(QString());
    return row;
}

namespace {

const QString Books = QStringLiteral("%1本");
const QString SubtotalWord = QStringLiteral("小计");
const QString TotalWord = QStringLiteral("合计");

QString BookCount(qint64 books) {
    return Books.arg(books);
}

QString Period(const QString &from, const QString &to) {
    return from + QStringLiteral("至") + to;
}

// A money cell that stays empty for 0.
QString CentsUnlessZero(qint64 cents) {
    return cents ? FormatCents(cents) : QString();
}

// Reads the fields of one record by their positions in the select list.
class CRecordReader {
public:
    explicit CRecordReader(CDatabase &db) : m_db(db) {}
    QString Text(int column) const {
        QString value;
        m_db.ReadFieldText(column, value);
        return value;
    }
    bool Number(int column, double &value) const { return m_db.ReadFieldNumber(column, value); }
    bool Cents(int column, qint64 &cents) const {
        double value = 0;
        if (!m_db.ReadFieldNumber(column, value))
            return false;
        cents = ToCents(value);
        return true;
    }

private:
    CDatabase &m_db;
};

// "%s AS %s,..." over the template's columns and their titles.
QString TemplateStatement(const char *table, const QList<QPair<const char *, QString>> &columns) {
    QStringList parts;
    for (const auto &column : columns)
        parts << QStringLiteral("%1 AS %2").arg(QLatin1String(column.first), column.second);
    return QStringLiteral("SELECT %1 FROM %2").arg(parts.join(QLatin1Char(',')), QLatin1String(table));
}

// The template's titles as the table's columns and its stored rows as the first rows.
CReportTable LoadTemplate(const char *table, const QList<QPair<const char *, QString>> &columns) {
    CReportTable report;
    for (const auto &column : columns) {
        report.titles << column.second;
        report.widths << CReportTable::TitleWidth;
    }
    CDatabase &db = TheDatabase();
    try {
        db.OpenQuery(TemplateStatement(table, columns));
        const CRecordReader record(db);
        for (; !db.IsEOF(); db.MoveNext()) {
            QStringList &row = report.AppendRow();
            for (int i = 0; i < columns.size(); ++i)
                row[i] = record.Text(i);
        }
        db.CloseQuery();
    } catch (const CDbError &error) {
        db.CloseQuery();
        ReportDbError(error);
    }
    return report;
}

QStringList ReadListedNames(const char *table, const char *nameColumn, const char *orderColumn) {
    QStringList names;
    try {
        names = ReadNames(table, nameColumn, orderColumn);
    } catch (const CDbError &error) {
        TheDatabase().CloseQuery();
        ReportDbError(error);
    }
    names.removeAll(QString());
    return names;
}

// Runs a statement and hands each record to the reader; a failure is reported, the records read
// before it stay handed over and false is returned.
template <typename Read> bool ReadRecords(const QString &statement, Read &&read) {
    CDatabase &db = TheDatabase();
    try {
        db.OpenQuery(statement);
        const CRecordReader record(db);
        for (; !db.IsEOF(); db.MoveNext())
            read(record);
        db.CloseQuery();
        return true;
    } catch (const CDbError &error) {
        db.CloseQuery();
        ReportDbError(error);
        return false;
    }
}

void Tell(const ReportProgress &progress, int done, int total) {
    if (progress)
        progress(done, total);
}

// Records between two progress reports of a generator that reads one statement.
constexpr int ProgressStep = 2000;

// --- Monthly and quarterly report ------------------------------------------------------------------

namespace month {
const QString IssueDate = QStringLiteral("发放日期");
const QString HasReward = QStringLiteral("类别");
const QString BillName = QStringLiteral("领用票据名称");
const QString Begin = QStringLiteral("开始编号");
const QString End = QStringLiteral("结尾编号");
const QString Units = QStringLiteral("本数");
const QString Price = QStringLiteral("每本金额");
const QString ReturnSum = QStringLiteral("返还金额");
const QString Tolerance = QStringLiteral("差额");
const QString ReturnDate = QStringLiteral("返还日期");
const QString Remark = QStringLiteral("备注信息");
enum Column {
    IssueDateCol,
    HasRewardCol,
    BillNameCol,
    BeginCol,
    EndCol,
    UnitsCol,
    PriceCol,
    ReturnSumCol,
    ToleranceCol,
    ReturnDateCol,
    RemarkCol
};
} // namespace month

// Count and money of a set of books.
struct BookSums {
    qint64 books = 0;
    qint64 amount = 0;
    qint64 returned = 0;
    qint64 difference = 0;

    void Add(const BookSums &other) {
        books += other.books;
        amount += other.amount;
        returned += other.returned;
        difference += other.difference;
    }
};

// A subtotal or total row of the monthly layout.
void AppendMonthlySums(CReportTable &report, const QString &word, const BookSums &sums, const QString &remark) {
    QStringList &row = report.AppendRow();
    row[month::IssueDateCol] = word;
    row[month::UnitsCol] = BookCount(sums.books);
    row[month::PriceCol] = CentsUnlessZero(sums.amount);
    row[month::ReturnSumCol] = CentsUnlessZero(sums.returned);
    row[month::ToleranceCol] = CentsUnlessZero(sums.difference);
    row[month::RemarkCol] = remark;
}

// Books issued in the period and still out, by department (or of the one department given) and
// issue time, books of equal times in the order they were stored (Bill_ID), so a report printed twice
// is the same. With subtotals, each department closes with its own; the last one closes even when
// no book was read.
CReportTable Monthly(const QString &from, const QString &to, const QString *department,
                     const ReportProgress &progress) {
    CReportTable report = MonthlyTemplate();
    const QString columns =
        QString::asprintf("%s,%s,%s,%s,%s,%s,%s,%s", Bill_Issue_Time, Bill_Kind, Bill_Begin_Char, Bill_End_Char,
                          Bill_Unit_Total, Bill_Unit_Return_Total, Bill_Return_Time, Bill_Issue_Dept);
    enum { IssueTime, Kind, BeginChar, EndChar, Total, ReturnTotal, ReturnTime, Dept };
    QString statement;
    if (department)
        statement = QString::asprintf(" SELECT %s FROM %s \t\t\t\t\tWHERE \t\t\t\t\t(%s BETWEEN #%s# AND #%s#) "
                                      "\t\t\t\t\tAND (%s = %s) \t\t\t\t\tAND (%s <> '%s') \t\t\t\t\tAND (%s = '%s') "
                                      "\t\t\t\t\tORDER BY \t\t\t\t\t %s ASC, %s ASC",
                                      qUtf8Printable(columns), Bill_Info, Bill_Issue_Time, qUtf8Printable(from),
                                      qUtf8Printable(to), Bill_Issue_Dept, qUtf8Printable(QuoteText(*department)),
                                      Bill_Flag, FlagVoid, Bill_Flag, FlagIssued, Bill_Issue_Time, Bill_ID);
    else
        statement = QString::asprintf(" SELECT %s FROM %s \t\t\t\t\tWHERE \t\t\t\t\t(%s BETWEEN #%s# AND #%s#) "
                                      "\t\t\t\t\tAND (%s <> '%s') \t\t\t\t\tAND (%s = '%s') \t\t\t\t\tORDER BY "
                                      "\t\t\t\t\t %s,%s,%s ASC",
                                      qUtf8Printable(columns), Bill_Info, Bill_Issue_Time, qUtf8Printable(from),
                                      qUtf8Printable(to), Bill_Flag, FlagVoid, Bill_Flag, FlagIssued, Bill_Issue_Dept,
                                      Bill_Issue_Time, Bill_ID);
    BookSums all;
    BookSums ofDept;
    QString previousDept;
    Tell(progress, 0, 0);
    const bool read = ReadRecords(statement, [&](const CRecordReader &record) {
        BookSums book;
        book.books = 1;
        qint64 total = 0;
        qint64 returned = 0;
        const bool hasTotal = record.Cents(Total, total);
        const bool hasReturned = record.Cents(ReturnTotal, returned);
        book.amount = hasTotal ? total : 0;
        book.returned = hasReturned ? returned : 0;
        book.difference = book.amount - book.returned;
        const QString dept = record.Text(Dept);
        if (!department && !previousDept.isEmpty() && previousDept != dept) {
            AppendMonthlySums(report, SubtotalWord, ofDept, previousDept);
            ofDept = BookSums();
        }
        QStringList &row = report.AppendRow();
        row[month::IssueDateCol] = record.Text(IssueTime);
        row[month::BillNameCol] = record.Text(Kind);
        row[month::BeginCol] = record.Text(BeginChar);
        row[month::EndCol] = record.Text(EndChar);
        row[month::UnitsCol] = BookCount(1);
        row[month::PriceCol] = CentsUnlessZero(book.amount);
        row[month::ReturnSumCol] = CentsUnlessZero(book.returned);
        row[month::ToleranceCol] = CentsUnlessZero(book.difference);
        row[month::ReturnDateCol] = record.Text(ReturnTime);
        all.Add(book);
        ofDept.Add(book);
        previousDept = dept;
        if (all.books % ProgressStep == 0)
            Tell(progress, int(all.books), 0);
    });
    // A failed reading leaves its last department without a subtotal rather than with a wrong one.
    if (!department && read)
        AppendMonthlySums(report, SubtotalWord, ofDept, previousDept);
    if (all.books)
        AppendMonthlySums(report, TotalWord, all, department ? *department : QString());
    return report;
}

// --- Annual audit table ----------------------------------------------------------------------------

namespace year {
enum Column { NameCol, LastCol, ThisCol, AfterCol, BeginCol, EndCol, SumCol, ActualCol, ToleranceCol };
} // namespace year

struct AnnualRecord {
    qint64 amount = 0;   // the book's face amount
    qint64 returned = 0; // the money returned for it
    double sheets = 0;   // sheets used, or the book's sheets when no return count is stored
    bool nonFixed = false;
    bool hasBegin = false;
    double begin = 0;
    QString beginText;
    QString endText;
};

// Figures of one kind, or of the whole report.
struct AnnualSums {
    qint64 books[3] = {0, 0, 0};
    qint64 returned = 0;
    qint64 shortfall = 0;
    qint64 face = 0;

    bool IsZero() const { return !books[0] && !books[1] && !books[2] && !returned && !shortfall && !face; }
    void Add(const AnnualSums &other) {
        for (int i = 0; i < 3; ++i)
            books[i] += other.books[i];
        returned += other.returned;
        shortfall += other.shortfall;
        face += other.face;
    }
};

// Consecutive books of one kind read from one statement; for a kind of fixed amount they also share
// one book amount, so the range's amount and shortfall are its own books'.
struct NumberRange {
    bool open = false;
    double last = 0;
    QString beginText;
    QString endText;
    qint64 books = 0;
    qint64 returned = 0;
    qint64 face = 0;
    qint64 amount = 0;
    bool nonFixed = false;

    bool Continues(const AnnualRecord &record) const {
        return open && record.begin == last + 1 && record.nonFixed == nonFixed && (nonFixed || record.amount == amount);
    }
    void Start(const AnnualRecord &record) {
        open = true;
        beginText = record.beginText;
        books = 0;
        returned = 0;
        face = 0;
        amount = record.amount;
        nonFixed = record.nonFixed;
        Grow(record);
    }
    void Grow(const AnnualRecord &record) {
        last = record.begin + record.sheets - 1;
        endText = record.endText;
        ++books;
        returned += record.returned;
        face += record.amount;
    }
};

void WriteRange(CReportTable &report, const QString &kind, int column, const NumberRange &range, AnnualSums &sums) {
    QStringList &row = report.AppendRow();
    row[year::NameCol] = kind;
    row[year::BeginCol] = range.beginText;
    row[year::EndCol] = range.endText;
    row[year::LastCol + column] = BookCount(range.books);
    sums.books[column] += range.books;
    if (!range.nonFixed)
        row[year::SumCol] = FormatCents(range.amount);
    if (range.returned) {
        row[year::ActualCol] = FormatCents(range.returned);
        sums.returned += range.returned;
        const qint64 shortfall = range.face - range.returned;
        if (shortfall) {
            if (!range.nonFixed)
                row[year::ToleranceCol] = FormatCents(shortfall);
            sums.shortfall += shortfall;
        }
    }
}

void AppendAnnualSums(CReportTable &report, const QString &word, const AnnualSums &sums) {
    QStringList &row = report.AppendRow();
    row[year::NameCol] = word;
    for (int i = 0; i < 3; ++i)
        if (sums.books[i])
            row[year::LastCol + i] = BookCount(sums.books[i]);
    row[year::SumCol] = CentsUnlessZero(sums.face);
    row[year::ActualCol] = CentsUnlessZero(sums.returned);
    row[year::ToleranceCol] = CentsUnlessZero(sums.shortfall);
}

// The books of each kind in each of the three columns, in number order.
using KindRecords = QVector<std::array<QVector<AnnualRecord>, 3>>;

// Carried over: drawn before the period and returned in it. Drawn: drawn and returned in the period.
// Carried forward: drawn in the period and still out. One pass over the books reads all three
// columns of every kind; a pass per column and kind would read the table sixty times for twenty kinds.
KindRecords ReadAnnualRecords(const QStringList &kinds, const QString &from, const QString &to) {
    const QByteArray f = from.toUtf8();
    const QByteArray t = to.toUtf8();
    const QString carriedOver =
        QString::asprintf("(%s < #%s# ) AND (%s BETWEEN #%s# AND #%s#) AND %s = '%s'", Bill_Issue_Time, f.constData(),
                          Bill_Return_Time, f.constData(), t.constData(), Bill_Flag, FlagReturned);
    const QString drawn = QString::asprintf("(%s BETWEEN #%s# AND #%s#) AND (%s BETWEEN #%s# AND #%s#) AND %s = '%s'",
                                            Bill_Issue_Time, f.constData(), t.constData(), Bill_Return_Time,
                                            f.constData(), t.constData(), Bill_Flag, FlagReturned);
    const QString carriedForward = QString::asprintf("(%s BETWEEN #%s# AND #%s#) AND %s = '%s'", Bill_Issue_Time,
                                                     f.constData(), t.constData(), Bill_Flag, FlagIssued);
    const QString statement = QString::asprintf(
        " SELECT CASE WHEN %s THEN 0 WHEN %s THEN 1 ELSE 2 END,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s FROM %s NOT INDEXED "
        "WHERE (%s) OR (%s) OR (%s)",
        qUtf8Printable(carriedOver), qUtf8Printable(drawn), Bill_Kind, Bill_Unit_Total, Bill_Unit_Return_Total,
        Bill_Unit_Return_Amount, Bill_Unit_Amount, Bill_NoneFixed_Sum, Bill_Begin_Int, Bill_Begin_Char,
        Bill_Return_End_Char, Bill_End_Char, Bill_Info, qUtf8Printable(carriedOver), qUtf8Printable(drawn),
        qUtf8Printable(carriedForward));
    enum {
        Column,
        Kind,
        Total,
        ReturnTotal,
        ReturnAmount,
        Amount,
        NoneFixed,
        BeginInt,
        BeginChar,
        ReturnEndChar,
        EndChar
    };
    QHash<QString, int> kindIndex;
    for (int k = 0; k < kinds.size(); ++k)
        kindIndex.insert(kinds[k], k);
    KindRecords records(kinds.size());
    ReadRecords(statement, [&](const CRecordReader &in) {
        const auto kind = kindIndex.constFind(in.Text(Kind));
        if (kind == kindIndex.constEnd())
            return;
        double column = 2;
        in.Number(Column, column);
        AnnualRecord record;
        in.Cents(Total, record.amount);
        in.Cents(ReturnTotal, record.returned);
        if (!in.Number(ReturnAmount, record.sheets))
            in.Number(Amount, record.sheets);
        double flag = 0;
        record.nonFixed = in.Number(NoneFixed, flag) && flag != 0;
        record.hasBegin = in.Number(BeginInt, record.begin);
        if (record.hasBegin) {
            record.beginText = in.Text(BeginChar);
            record.endText = in.Text(ReturnEndChar);
            if (record.endText.isEmpty())
                record.endText = in.Text(EndChar);
        }
        records[*kind][std::clamp(int(column), 0, 2)].append(std::move(record));
    });
    // Books in number order; books of one number keep the order they were stored in.
    for (auto &columns : records)
        for (QVector<AnnualRecord> &books : columns)
            std::stable_sort(books.begin(), books.end(), [](const AnnualRecord &a, const AnnualRecord &b) {
                // Books without a number come first, as the store orders NULL.
                if (a.hasBegin != b.hasBegin)
                    return !a.hasBegin;
                return a.begin < b.begin;
            });
    return records;
}

} // namespace

QStringList ReadReportNames() {
    return ReadListedNames(Report_Info, Report_Info_Name, Report_Info_ID);
}

QStringList ReadReportKinds() {
    return ReadListedNames(Bill_Kind_Info, Bill_Kind_Name, Bill_Kind_Name);
}

CReportTable AnnualTemplate() {
    return LoadTemplate(Report_Year_Info, {{Report_Year_Info_Name, QStringLiteral("领用票据名称")},
                                           {Report_Year_Info_Last, QStringLiteral("去年结转")},
                                           {Report_Year_Info_This, QStringLiteral("本年领用")},
                                           {Report_Year_Info_After, QStringLiteral("结转明年")},
                                           {Report_Year_Info_Begin, QStringLiteral("开始编号")},
                                           {Report_Year_Info_End, QStringLiteral("结尾编号")},
                                           {Report_Year_Info_Sum, QStringLiteral("每本金额")},
                                           {Report_Year_Info_Actual, QStringLiteral("实缴专户金额")},
                                           {Report_Year_Info_Tolerance, QStringLiteral("差额")},
                                           {Report_Year_Info_Reason, QStringLiteral("存在的问题及原因")},
                                           {Report_Year_Info_Suggest, QStringLiteral("审核处理意见")}});
}

CReportTable MonthlyTemplate() {
    return LoadTemplate(Report_Month_Info, {{Report_Month_Issue_Date, month::IssueDate},
                                            {Report_Month_Has_Reward, month::HasReward},
                                            {Report_Month_Bill_Name, month::BillName},
                                            {Report_Month_Bill_Begin, month::Begin},
                                            {Report_Month_Bill_End, month::End},
                                            {Report_Month_Bill_Units, month::Units},
                                            {Report_Month_Bill_Price, month::Price},
                                            {Report_Month_Return_Sum, month::ReturnSum},
                                            {Report_Month_Tolerance, month::Tolerance},
                                            {Report_Month_Return_Date, month::ReturnDate},
                                            {Report_Month_Remark, month::Remark}});
}

CReportTable InventorySummary(const QStringList &kinds, const QString &from, const QString &to,
                              const ReportProgress &progress) {
    CReportTable report;
    report.titles = QStringList{QStringLiteral("票据类型"), QStringLiteral("库存数"), QStringLiteral("每本金额"),
                                QStringLiteral("合计金额"), QStringLiteral("备注")};
    report.widths = {120, 100, 100, 120, 200};
    Tell(progress, 0, 1);
    // Every book amount of a kind is a group of its own, and every group counts in the total.
    struct Group {
        qint64 books = 0;
        bool hasAmount = false;
        qint64 amount = 0;
    };
    QHash<QString, QVector<Group>> groups;
    ReadRecords(QString::asprintf(
                    " SELECT %s,COUNT(*) AS %s,%s \t\t\t\t\tFROM %s \t\t\t\t\tWHERE \t\t\t\t\t(%s BETWEEN "
                    "#%s# AND #%s#) \t\t\t\t\tAND \t\t\t\t\t( %s = '%s') \t\t\t\t\tGROUP BY %s,%s "
                    "\t\t\t\t\tORDER BY %s,%s",
                    Bill_Kind, "库存数", Bill_Unit_Total, Bill_Info, Bill_Repository_Time, qUtf8Printable(from),
                    qUtf8Printable(to), Bill_Flag, FlagStock, Bill_Kind, Bill_Unit_Total, Bill_Kind, Bill_Unit_Total),
                [&](const CRecordReader &record) {
                    Group group;
                    double books = 0;
                    record.Number(1, books);
                    group.books = qint64(books);
                    group.hasAmount = record.Cents(2, group.amount);
                    groups[record.Text(0)].append(group);
                });
    qint64 totalBooks = 0;
    qint64 totalAmount = 0;
    for (const QString &kind : kinds) {
        for (const Group &group : groups.value(kind)) {
            QStringList &row = report.AppendRow();
            row[0] = kind;
            row[1] = BookCount(group.books);
            totalBooks += group.books;
            if (group.hasAmount) {
                row[2] = FormatCents(group.amount);
                row[3] = FormatCents(group.books * group.amount);
                totalAmount += group.books * group.amount;
            }
        }
    }
    QStringList &total = report.AppendRow();
    total[0] = TotalWord;
    if (totalBooks)
        total[1] = BookCount(totalBooks);
    total[3] = CentsUnlessZero(totalAmount);
    total[4] = Period(from, to);
    Tell(progress, 1, 1);
    return report;
}

CReportTable MonthlyReport(const QString &from, const QString &to, const ReportProgress &progress) {
    return Monthly(from, to, nullptr, progress);
}

CReportTable DepartmentMonthlyReport(const QString &from, const QString &to, const QString &department,
                                     const ReportProgress &progress) {
    return Monthly(from, to, &department, progress);
}

CReportTable CancellationDetail(const QString &from, const QString &to, const ReportProgress &progress) {
    CReportTable report;
    report.titles =
        QStringList{QStringLiteral("使用日期"), QStringLiteral("票据开始编号"), QStringLiteral("票据结尾编号"),
                    QStringLiteral("执收对象"), QStringLiteral("票据金额"),     QStringLiteral("实缴专户"),
                    QStringLiteral("差额"),     QStringLiteral("备注")};
    report.widths = {80, 100, 100, 80, 80, 80, 80, 180};
    enum { DateCol, BeginCol, EndCol, PayerCol, AmountCol, ReturnedCol, DifferenceCol, RemarkCol };
    BookSums sums;
    Tell(progress, 0, 0);
    ReadRecords(QString::asprintf(" SELECT %s,%s,%s,%s FROM %s \t\t\t\t\tWHERE \t\t\t\t\t(%s BETWEEN #%s# AND #%s#) "
                                  "\t\t\t\t\tORDER BY \t\t\t\t\t %s ASC, %s ASC",
                                  Bill_Begin_Char, Bill_End_Char, Bill_Unit_Total, Bill_Unit_Return_Total, Bill_Info,
                                  Bill_Return_Time, qUtf8Printable(from), qUtf8Printable(to), Bill_Return_Time,
                                  Bill_ID),
                [&](const CRecordReader &record) {
                    QStringList &row = report.AppendRow();
                    row[BeginCol] = record.Text(0);
                    row[EndCol] = record.Text(1);
                    qint64 amount = 0;
                    qint64 returned = 0;
                    if (record.Cents(2, amount))
                        row[AmountCol] = FormatCents(amount);
                    if (record.Cents(3, returned))
                        row[ReturnedCol] = FormatCents(returned);
                    row[DifferenceCol] = CentsUnlessZero(amount - returned);
                    ++sums.books;
                    sums.amount += amount;
                    sums.returned += returned;
                    sums.difference += amount - returned;
                    if (sums.books % ProgressStep == 0)
                        Tell(progress, int(sums.books), 0);
                });
    if (sums.books) {
        QStringList &row = report.AppendRow();
        row[DateCol] = TotalWord;
        row[AmountCol] = CentsUnlessZero(sums.amount);
        row[ReturnedCol] = CentsUnlessZero(sums.returned);
        row[DifferenceCol] = CentsUnlessZero(sums.difference);
        row[RemarkCol] = Period(from, to);
    }
    return report;
}

CReportTable AnnualAuditTable(const QStringList &kinds, const QString &from, const QString &to,
                              const ReportProgress &progress) {
    CReportTable report = AnnualTemplate();
    const int steps = 1 + int(kinds.size());
    Tell(progress, 0, steps);
    const KindRecords records = ReadAnnualRecords(kinds, from, to);
    AnnualSums all;
    for (int k = 0; k < kinds.size(); ++k) {
        Tell(progress, 1 + k, steps);
        const QString &kind = kinds[k];
        AnnualSums sums;
        bool nonFixed = false;
        for (int column = 0; column < 3; ++column) {
            NumberRange range;
            for (const AnnualRecord &record : records[k][column]) {
                sums.face += record.amount;
                nonFixed = record.nonFixed;
                if (!record.hasBegin)
                    continue;
                if (range.Continues(record)) {
                    range.Grow(record);
                    continue;
                }
                if (range.open)
                    WriteRange(report, kind, column, range, sums);
                range.Start(record);
            }
            if (range.open)
                WriteRange(report, kind, column, range, sums);
        }
        if (sums.IsZero())
            continue;
        // A book of non-fixed amount is worth what was returned for it.
        if (nonFixed) {
            sums.face = sums.returned;
            sums.shortfall = 0;
        }
        AppendAnnualSums(report, SubtotalWord, sums);
        all.Add(sums);
    }
    if (!all.IsZero())
        AppendAnnualSums(report, TotalWord, all);
    Tell(progress, steps, steps);
    return report;
}
