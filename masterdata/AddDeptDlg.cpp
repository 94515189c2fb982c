#include "masterdata/AddDeptDlg.h"

#include "masterdata/NameTable.h"

CAddDeptDlg::CAddDeptDlg(std::function<void()> showDepartmentViewAgain, QWidget *parent)
    : CAddNameDlg({QStringLiteral("增加部门"), QStringLiteral("部门名称："),
                   QStringLiteral("%s 已经存在,请重新输入部门名称!"), QStringLiteral("确定"), QStringLiteral("取消")},
                  &nametables::Departments, std::move(showDepartmentViewAgain), parent) {}
