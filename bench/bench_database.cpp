// Figures of the data access layer: the statement-text path against the store's own best.
#include "app/Dialect.h"
#include "bench/Bench.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <cstdio>

using namespace schema;

namespace {

constexpr int kRows = 100000;

QString InsertText(int i) {
    return QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s) VALUES ('%s',%f,%d,'%s','%s',%f,'%s')", Bill_Info,
                             Bill_Kind, Bill_Unit_Price, Bill_Unit_Amount, Bill_Begin_Char, Bill_Flag, Bill_Begin_Int,
                             Bill_Repository_Time, "票据甲", 2.5, 100, qPrintable(QString::number(i)), FlagStock,
                             double(i), "2026-1-9 9:5:0");
}

const BenchRegistration textInsert("insert_text_rows_per_s", "rows/s", [] {
    TestDatabase t;
    const double s = SecondsOf([&] {
        CTransaction transaction;
        for (int i = 0; i < kRows; ++i)
            t.Db().ExecuteStatement(InsertText(i));
        transaction.Commit();
    });
    return kRows / s;
});

const BenchRegistration preparedInsert("insert_prepared_rows_per_s", "rows/s", [] {
    TestDatabase t;
    QVector<QVector<SqlValue>> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows.push_back({TextValue(QStringLiteral("票据甲")), RealValue(2.5), IntegerValue(100),
                        TextValue(QString::number(i)), TextValue(QString::fromUtf8(FlagStock)), RealValue(i),
                        TextValue(QStringLiteral("2026-01-09 09:05:00"))});
    const QString statement = QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s) VALUES (?,?,?,?,?,?,?)",
                                                Bill_Info, Bill_Kind, Bill_Unit_Price, Bill_Unit_Amount,
                                                Bill_Begin_Char, Bill_Flag, Bill_Begin_Int, Bill_Repository_Time);
    const double s = SecondsOf([&] {
        CTransaction transaction;
        t.Db().ExecutePrepared(statement, rows);
        transaction.Commit();
    });
    return kRows / s;
});

const BenchRegistration readRows("read_rows_per_s", "rows/s", [] {
    TestDatabase t;
    {
        CTransaction transaction;
        for (int i = 0; i < kRows; ++i)
            t.Db().ExecuteStatement(InsertText(i));
        transaction.Commit();
    }
    qint64 characters = 0;
    const double s = SecondsOf([&] {
        CDatabase &db = t.Db();
        db.OpenQuery(QString::asprintf("SELECT %s,%s,%s,%s FROM %s ORDER BY %s ASC", Bill_Kind, Bill_Begin_Char,
                                       Bill_Unit_Price, Bill_Repository_Time, Bill_Info, Bill_ID));
        QString value;
        for (; !db.IsEOF(); db.MoveNext()) {
            for (const char *column : {Bill_Kind, Bill_Begin_Char, Bill_Unit_Price, Bill_Repository_Time}) {
                db.ReadFieldText(QLatin1String(column), value);
                characters += value.size();
            }
        }
        db.CloseQuery();
    });
    return characters > 0 ? kRows / s : 0;
});

} // namespace

namespace {

// Start-up's open with its checks (every page read and checked, version, tables and columns) on a
// file of 1,000,000 runs.
const BenchRegistration openCheck("startup_open_check_1m_runs_s", "s", [] {
    constexpr int kRuns = 1000000;
    TestDatabase t;
    const QString statement = QString::asprintf(
        "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)", Bill_Info, Bill_Kind,
        Bill_Main_Kind, Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Begin_Char, Bill_End_Char, Bill_Flag,
        Bill_Begin_Int, Bill_End_Int, Bill_Repository_Time, Bill_Repository_No);
    const QStringList kinds{QStringLiteral("行政事业性收费票据"), QStringLiteral("政府性基金票据"),
                            QStringLiteral("非税收入一般缴款书")};
    {
        CTransaction transaction;
        QVector<QVector<SqlValue>> rows;
        rows.reserve(10000);
        for (int i = 0; i < kRuns; ++i) {
            const double begin = 1 + 100.0 * (i / 3);
            rows.push_back({TextValue(kinds[i % 3]), TextValue(QStringLiteral("行政事业")), RealValue(2.5),
                            IntegerValue(100), RealValue(250), TextValue(QString::asprintf("A%08d", int(begin))),
                            TextValue(QString::asprintf("A%08d", int(begin) + 99)),
                            TextValue(QString::fromUtf8(FlagStock)), RealValue(begin), RealValue(begin + 99),
                            TextValue(QStringLiteral("2026-01-09 09:05:00")), RealValue(100000000000000.0 + i / 50)});
            if (rows.size() == 10000) {
                t.Db().ExecutePrepared(statement, rows);
                rows.clear();
            }
        }
        transaction.Commit();
    }
    const QString path = t.FilePath();
    t.Db().Close();
    CDatabase db;
    QString error;
    bool opened = false;
    const double s = SecondsOf([&] { opened = db.Open(path, &error); });
    db.Close();
    if (!opened)
        std::fprintf(stderr, "open failed: %s\n", qUtf8Printable(error));
    return opened ? s : -1;
});

} // namespace
