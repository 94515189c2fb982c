#include "masterdata/AddMainKindDlg.h"

#include "masterdata/NameTable.h"

CAddMainKindDlg::CAddMainKindDlg(std::function<void()> refreshParentList, QWidget *parent)
    : CAddNameDlg({QStringLiteral("增加主类型"), QStringLiteral("主类型名称："),
                   QStringLiteral("%s 已经存在,请重新输入票据主分类名称!")},
                  &nametables::MainKinds, std::move(refreshParentList), parent) {}
