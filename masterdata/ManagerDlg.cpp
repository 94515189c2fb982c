#include "masterdata/ManagerDlg.h"

#include "masterdata/AddManagerDlg.h"
#include "masterdata/Managers.h"
#include "masterdata/NameTable.h"
#include "schema/Schema.h"

#include <QPushButton>

using namespace schema;

CManagerDlg::CManagerDlg(QWidget *parent)
    : CNameListDlg({QStringLiteral("票据管理员"),
                    QString(),
                    QString::asprintf("SELECT %s AS 票据管理员,%s AS 有效 FROM %s ORDER BY %s ASC", Bill_Manager_Name,
                                      Bill_Manager_Cur, Bill_Manager_Info, Bill_Manager_ID),
                    {},
                    QStringLiteral("有效")},
                   parent),
      m_setCurrent(AddCommandButton(QStringLiteral("有效"))) {
    m_setCurrent->setObjectName(QStringLiteral("setCurrent"));
    connect(m_setCurrent, &QPushButton::clicked, this, &CManagerDlg::OnSetCurrent);
}

void CManagerDlg::OnAdd() {
    CAddManagerDlg dlg([this] { FillList(); }, this);
    dlg.exec();
}

bool CManagerDlg::DeleteRow(const QString &name) {
    return DeleteName(nametables::Managers, name);
}

void CManagerDlg::OnSetCurrent() {
    QString name;
    if (SelectedName(name) && SetCurrentManager(name))
        FillList();
}
