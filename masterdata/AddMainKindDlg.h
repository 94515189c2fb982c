#pragma once
#include "masterdata/AddNameDlg.h"

// "增加主类型": adds main kinds; the owning list is refreshed after each one.
class CAddMainKindDlg : public CAddNameDlg {
    Q_OBJECT
public:
    CAddMainKindDlg(std::function<void()> refreshParentList, QWidget *parent = nullptr);
};
