// Export of a department view of 100,000 books to an Excel workbook, as "导出" writes it.
#include "app/Dialect.h"
#include "bench/Bench.h"
#include "lists/QueryListCtrl.h"
#include "reports/ExportList.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QDir>

using namespace schema;

namespace {

constexpr int kRows = 100000;

const BenchRegistration xlsx("export_xlsx_100k_rows_s", "s", [] {
    TestDatabase t;
    {
        CTransaction transaction;
        t.Db().ExecutePrepared(
            QString::asprintf("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i + 1 < %d) "
                              "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) SELECT '行政事业性收费票据', "
                              "'赵领票', printf('%%08d', i * 100 + 1), printf('%%08d', i * 100 + 100), 2.5, 100, "
                              "250 + i %% 7 * 0.01, '2026-01-09 09:05:00', '张三', '%s' FROM n",
                              kRows, Bill_Info, Bill_Kind, Bill_Issue_Broker, Bill_Begin_Char, Bill_End_Char,
                              Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Issue_Time, Bill_Issue_Manager,
                              Bill_Flag, FlagIssued),
            {{}});
        transaction.Commit();
    }
    const QString statement =
        QString::asprintf(" SELECT %s AS 票据类型,%s AS 领票人,%s AS 开始编号,%s AS 结尾编号,%s AS 单价,%s AS 张数,%s "
                          "AS 金额,%s AS 领票时间,%s AS 发票人 FROM %s ORDER BY %s ASC ",
                          Bill_Kind, Bill_Issue_Broker, Bill_Begin_Char, Bill_End_Char, Bill_Unit_Price,
                          Bill_Unit_Amount, Bill_Unit_Total, Bill_Issue_Time, Bill_Issue_Manager, Bill_Info, Bill_ID);
    CQueryListCtrl list;
    list.SetStatement(statement, 3);
    list.SetMoneyColumns({"单价", "金额"}, "￥", 2);
    if (!list.FillFromStatement(statement) || list.RowCount() != kRows)
        return -1.0;
    bool ok = false;
    QString error;
    const double s =
        SecondsOf([&] { ok = ExportListTo(list, "部门清单", QDir(t.Dir()).filePath("部门清单.xlsx"), &error); });
    return ok ? s : -1.0;
});

} // namespace
