#pragma once
#include "app/Messages.h"
#include "maintenance/BillMaintenance.h"

#include <QString>
#include <functional>

class CQueryListCtrl;

// The main window's commands on the runs selected in the list it hands them (its main list), so that
// they need nothing else of the window. The right was checked by the window before they run.
//  - Void asks for every selected run in turn, from the top, and voids each after its own OK; Cancel
//    ends the command with the runs before it voided. Each voided row leaves the list.
//  - Delete asks for the topmost selected run only and moves it and its single bills into the
//    recycle tables; its row leaves the list.
// A row that names no stored run (the list shows no kind or first number, or the run is gone) is
// told and ends the command; a failed statement is reported once and ends it too, leaving the runs
// done before it done and the rest untouched.
void VoidCommand(CQueryListCtrl *list);
void DeleteCommand(CQueryListCtrl *list);

// One confirmed change of the topmost selected run of a list that shows "票据类型", "开始编号" and
// "结尾编号": a row naming no run is told; the question (its %s: kind, first and last number) must
// be answered with go; the change runs stamped with now and the current administrator; a failure is
// reported, a run gone is told; once done the completion message shows and the row leaves the list.
// False when nothing was changed, and the command ends.
struct RunChangeTexts {
    const char *what; // the operation's word in the messages ("作废", "删除")
    const char *question;
    MsgIcon questionIcon;
    MsgButtons questionButtons;
    MsgAnswer go;
    const char *done; // %s: kind, first and last number
};
using RunChanger = std::function<RunChange(const QString &kind, const QString &beginChar, const QString &time,
                                           const QString &manager)>;
bool ChangeSelectedRun(CQueryListCtrl *list, const RunChangeTexts &texts, const RunChanger &change);
