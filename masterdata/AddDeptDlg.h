#pragma once
#include "masterdata/AddNameDlg.h"

// "增加部门": adds receiving departments; after each one the main window shows its department view
// again, so the new department appears in the tree.
class CAddDeptDlg : public CAddNameDlg {
    Q_OBJECT
public:
    CAddDeptDlg(std::function<void()> showDepartmentViewAgain, QWidget *parent = nullptr);
};
