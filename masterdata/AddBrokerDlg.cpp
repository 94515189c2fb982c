#include "masterdata/AddBrokerDlg.h"

#include "masterdata/Departments.h"

#include <QComboBox>
#include <QFormLayout>

CAddBrokerDlg::CAddBrokerDlg(std::function<void()> showDepartmentViewAgain, QWidget *parent)
    : CAddNameDlg({QStringLiteral("增加领票人"), QStringLiteral("领票人姓名："),
                   QStringLiteral("%s 已经存在,请重新输入领票人姓名!"), QStringLiteral("确定"), QStringLiteral("取消")},
                  nullptr, std::move(showDepartmentViewAgain), parent),
      m_department(new QComboBox(this)) {
    m_department->setObjectName(QStringLiteral("department"));
    Form()->insertRow(0, QStringLiteral("部门名称："), m_department);
    m_department->addItems(DepartmentNames());
    if (m_department->count() > 0)
        m_department->setCurrentIndex(0);
}

bool CAddBrokerDlg::HasRequiredValues(const QString &name) const {
    return !name.isEmpty() && !m_department->currentText().isEmpty();
}

bool CAddBrokerDlg::IsNameFree(const QString &name) const {
    return IsBrokerNameFree(name);
}

bool CAddBrokerDlg::InsertEntry(const QString &name) {
    return InsertBroker(name, m_department->currentText());
}
