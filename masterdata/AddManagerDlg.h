#pragma once
#include "masterdata/AddNameDlg.h"

// "增加票据管理员": adds administrators, none of them current; the owning list is refreshed after each.
class CAddManagerDlg : public CAddNameDlg {
    Q_OBJECT
public:
    CAddManagerDlg(std::function<void()> refreshParentList, QWidget *parent = nullptr);
};
