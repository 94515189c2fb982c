#include "masterdata/AddMadeDeptDlg.h"

#include "masterdata/NameTable.h"

CAddMadeDeptDlg::CAddMadeDeptDlg(std::function<void()> refreshParentList, QWidget *parent)
    : CAddNameDlg({QStringLiteral("增加票据制作部门"), QStringLiteral("新增票据制作部门名称："),
                   QStringLiteral("%s 已经存在,请重新输入票据制作部门!")},
                  &nametables::MakingDepartments, std::move(refreshParentList), parent) {}
