#pragma once
#include "masterdata/AddNameDlg.h"

// "增加票据制作部门": adds making departments; the owning list is refreshed after each one.
class CAddMadeDeptDlg : public CAddNameDlg {
    Q_OBJECT
public:
    CAddMadeDeptDlg(std::function<void()> refreshParentList, QWidget *parent = nullptr);
};
