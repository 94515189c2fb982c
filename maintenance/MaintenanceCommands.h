#pragma once
#include <QString>

class CMainDlg;
class CQueryListCtrl;

// The main window's commands on the runs selected in its list. The right was checked by the window
// before they run.
//  - Void asks for every selected run in turn, from the top, and voids each after its own OK; Cancel
//    ends the command with the runs before it voided. Each voided row leaves the list.
//  - Delete asks for the topmost selected run only and moves it and its single bills into the
//    recycle tables; its row leaves the list.
// A row that names no stored run (the list shows no kind or first number, or the run is gone) is
// told and ends the command; a failed statement is reported once and ends it too, leaving the runs
// done before it done and the rest untouched.
void VoidCommand(CMainDlg &main);
void DeleteCommand(CMainDlg &main);

// The kind and first number of a list row name a run; otherwise the clerk is told and false returned.
// what is the operation's word ("作废", "删除").
bool RowNamesRun(const CQueryListCtrl *list, int row, const char *what);
// Tells that the run is no longer stored; nothing was changed.
void ShowRunGone(const QString &kind, const QString &beginChar, const char *what);
