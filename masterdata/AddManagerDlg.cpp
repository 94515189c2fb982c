#include "masterdata/AddManagerDlg.h"

#include "masterdata/NameTable.h"

CAddManagerDlg::CAddManagerDlg(std::function<void()> refreshParentList, QWidget *parent)
    : CAddNameDlg({QStringLiteral("增加票据管理员"), QStringLiteral("新增票据管理员姓名："),
                   QStringLiteral("%s 已经存在,请重新输入票据管理员!")},
                  &nametables::Managers, std::move(refreshParentList), parent) {}
