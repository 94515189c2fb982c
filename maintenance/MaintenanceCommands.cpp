#include "maintenance/MaintenanceCommands.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "bills/BillNumbers.h"
#include "bills/StockDialogParts.h"
#include "lists/QueryListCtrl.h"
#include "maintenance/BillMaintenance.h"
#include "masterdata/Managers.h"

namespace {

// A selected run as its row reads.
struct SelectedRun {
    int row = -1;
    QString kind;
    QString begin;
    QString end;
};

// The topmost selected row of the list; row -1 when none is selected.
SelectedRun FirstSelectedRun(const CQueryListCtrl *list) {
    SelectedRun run;
    const QList<int> rows = list->SelectedRows();
    if (rows.isEmpty())
        return run;
    run.row = rows.first();
    run.kind = CellText(list, run.row, title::Kind);
    run.begin = CellText(list, run.row, title::Begin);
    run.end = CellText(list, run.row, title::End);
    return run;
}

QString RunText(const char *format, const SelectedRun &run) {
    return QString::asprintf(format, qUtf8Printable(run.kind), qUtf8Printable(run.begin), qUtf8Printable(run.end));
}

// A row that names no run: the list shows no kind or first number.
bool RowNamesRun(const CQueryListCtrl *list, int row, const char *what) {
    if (!CellText(list, row, title::Kind).isEmpty() && !CellText(list, row, title::Begin).isEmpty())
        return true;
    ShowMessage(QString::asprintf(
                    "所选的行没有票据类型或开始编号，不能%s。\n请在列有票据类型和开始编号的列表中选择票据。", what),
                QStringLiteral("提示"), MsgIcon::Exclamation);
    return false;
}

} // namespace

bool ChangeSelectedRun(CQueryListCtrl *list, const RunChangeTexts &texts, const RunChanger &change) {
    const SelectedRun run = FirstSelectedRun(list);
    if (run.row < 0 || !RowNamesRun(list, run.row, texts.what))
        return false;
    if (ShowMessage(RunText(texts.question, run), QStringLiteral("警告"), texts.questionIcon, texts.questionButtons) !=
        texts.go)
        return false;
    const QString time = FormatDateTime(QDateTime::currentDateTime());
    const QString manager = GetCurrentManager();
    RunChange outcome;
    try {
        outcome = change(run.kind, run.begin, time, manager);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
    if (outcome == RunChange::NoRun) {
        ShowMessage(QString::asprintf("%s:%s 已不在数据库中，没有%s。", qUtf8Printable(run.kind),
                                      qUtf8Printable(run.begin), texts.what),
                    QStringLiteral("提示"), MsgIcon::Exclamation);
        return false;
    }
    ShowMessage(RunText(texts.done, run), QStringLiteral("完成"), MsgIcon::Exclamation);
    list->DeleteRow(run.row);
    return true;
}

void VoidCommand(CQueryListCtrl *list) {
    static const RunChangeTexts texts{"作废",
                                      "%s:%s至%s 将被作废，您确定要作废吗?",
                                      MsgIcon::Exclamation,
                                      MsgButtons::OkCancel,
                                      MsgAnswer::Ok,
                                      "%s:%s至%s 已被作废!"};
    const int passes = int(list->SelectedRows().size());
    for (int pass = 0; pass < passes; ++pass)
        if (!ChangeSelectedRun(list, texts, VoidRun))
            return;
}

void DeleteCommand(CQueryListCtrl *list) {
    static const RunChangeTexts texts{"删除",
                                      "%s:%s至%s 将被删除，请谨慎使用该操作，您确定要删除吗?",
                                      MsgIcon::Exclamation,
                                      MsgButtons::OkCancel,
                                      MsgAnswer::Ok,
                                      "%s:%s至%s 已被删除!"};
    ChangeSelectedRun(list, texts,
                      [](const QString &kind, const QString &beginChar, const QString &time, const QString &manager) {
                          return RecycleRun(kind, beginChar, time, manager);
                      });
}
