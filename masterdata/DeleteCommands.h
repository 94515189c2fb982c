#pragma once

class CMainDlg;

// The main window's commands that delete the department or the recipient selected in its department
// tree: right check, only in the department view, a refusal for an item of the other kind, a
// confirmation, the delete, and then the item leaves the tree (a department with its recipients).
// Deleting a department deletes its recipients with it; bill runs keep the names they carry.
void DeleteDeptCommand(CMainDlg &main);
void DeleteBrokerCommand(CMainDlg &main);
