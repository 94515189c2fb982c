// Figures of the operation log and of the audit of the books, over a million entries or books.
#include "app/Dialect.h"
#include "audit/BookAudit.h"
#include "audit/LogChain.h"
#include "audit/LogQuery.h"
#include "audit/OperationLog.h"
#include "bench/Bench.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QDateTime>

using namespace schema;

namespace {

constexpr int kEntries = 1000000;
constexpr int kUsers = 10;
constexpr int kBatch = 20000;
// A million entries over about a thousand days: one every 86 seconds.
const QDateTime kFirstEntry(QDate(2024, 1, 1), QTime(8, 0));

// A million issue entries of ten users, chained as the program chains them.
void FillLog(CDatabase &db) {
    const QString insert = QString::asprintf(
        "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)", Bill_Log_Info,
        Bill_Log_No, Bill_Log_Time, Bill_Log_User, Bill_Log_Operation, Bill_Log_Document_No, Bill_Log_Kind,
        Bill_Log_Begin_Char, Bill_Log_End_Char, Bill_Log_Amount, Bill_Log_Total, Bill_Log_Detail, Bill_Log_Hash);
    const QByteArray operation = QByteArray(logop::Issue);
    const QByteArray kind = QByteArrayLiteral("定额票据");
    const QByteArray detail = QByteArrayLiteral("发放给 收费科 赵领票");
    QByteArray previous;
    QByteArray message;
    CTransaction transaction(db);
    QVector<QVector<SqlValue>> rows;
    for (int i = 0; i < kEntries; ++i) {
        const QByteArray time = kFirstEntry.addSecs(qint64(i) * 86).toString("yyyy-MM-dd HH:mm:ss").toUtf8();
        const QByteArray user = QStringLiteral("用户%1").arg(i % kUsers).toUtf8();
        const QByteArray first = QByteArray::number(i * 100 + 1).rightJustified(10, '0');
        const QByteArray last = QByteArray::number(i * 100 + 100).rightJustified(10, '0');
        const double document = 200000000000000.0 + i / 100;
        const LogHashFields fields{i + 1, time, user, operation, document, kind, first, last, 100, 200, detail};
        previous = LogEntryHash(fields, previous, message);
        rows.append({RealValue(i + 1), TextValue(QString::fromUtf8(time)), TextValue(QString::fromUtf8(user)),
                     TextValue(QString::fromUtf8(operation)), RealValue(document), TextValue(QString::fromUtf8(kind)),
                     TextValue(QString::fromUtf8(first)), TextValue(QString::fromUtf8(last)), RealValue(100),
                     RealValue(200), TextValue(QString::fromUtf8(detail)), TextValue(QString::fromLatin1(previous))});
        if (rows.size() == kBatch || i + 1 == kEntries) {
            db.ExecutePrepared(insert, rows);
            rows.clear();
        }
    }
    transaction.Commit();
}

const BenchRegistration logVerify("log_verify_1m_entries_s", "s", [] {
    TestDatabase t;
    FillLog(t.Db());
    LogCheck check;
    const double s = SecondsOf([&] { check = CheckLogChain(t.Db()); });
    return check.finding == LogCheck::Whole && check.entries == kEntries ? s : -1;
});

const BenchRegistration logQuery("log_query_1m_entries_ms", "ms", [] {
    TestDatabase t;
    FillLog(t.Db());
    // One month of one user, as the log dialog lists it.
    const QString statement =
        LogListStatement({QDate(2025, 3, 1), QDate(2025, 3, 31), QStringLiteral("用户3"), {}, {}});
    CQueryListCtrl list;
    bool filled = false;
    const double s = SecondsOf([&] {
        list.ClearColumns();
        list.SetStatement(statement, 3);
        filled = list.FillFromStatement(statement);
    });
    return filled && list.RowCount() > 1000 ? s * 1000 : -1;
});

const BenchRegistration bookAudit("book_audit_1m_runs_s", "s", [] {
    TestDatabase t;
    KindSpec kind;
    kind.name = QStringLiteral("定额票据");
    kind.mainKind = QStringLiteral("行政事业性收费");
    kind.length = 10;
    AddKind(kind);
    {
        // A million books in a row, every tenth issued a year ago and every tenth returned as used.
        CTransaction transaction;
        t.Db().ExecutePrepared(
            QString::asprintf(
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %d) "
                "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) SELECT '%s', '', '', "
                "printf('%%010d', i * 100 + 1), printf('%%010d', i * 100 + 100), i * 100 + 1, i * 100 + 100, 100, 2, "
                "CASE i %% 10 WHEN 0 THEN '%s' WHEN 1 THEN '%s' ELSE '%s' END, "
                "CASE i %% 10 WHEN 0 THEN '2025-01-01 08:00:00' END, '收费科', '赵领票', "
                "CASE i %% 10 WHEN 1 THEN 100 END, CASE i %% 10 WHEN 1 THEN 200 END, "
                "CASE i %% 10 WHEN 1 THEN i * 100 + 100 END, 0 FROM n",
                kEntries, Bill_Info, Bill_Kind, Bill_Prefix, Bill_Suffix, Bill_Begin_Char, Bill_End_Char,
                Bill_Begin_Int, Bill_End_Int, Bill_Unit_Amount, Bill_Unit_Price, Bill_Flag, Bill_Issue_Time,
                Bill_Issue_Dept, Bill_Issue_Broker, Bill_Unit_Return_Amount, Bill_Unit_Return_Total,
                Bill_Return_End_Int, Bill_NoneFixed_Sum, qUtf8Printable(kind.name), FlagIssued, FlagReturned,
                FlagStock),
            {{}});
        transaction.Commit();
    }
    QVector<AuditFinding> findings;
    const double s = SecondsOf([&] { findings = AuditBooks({}); });
    // Every issued book is overdue; nothing else is wrong.
    return findings.size() == kEntries / 10 ? s : -1;
});

} // namespace
