#include "masterdata/MadeDeptDlg.h"

#include "masterdata/AddMadeDeptDlg.h"
#include "masterdata/NameTable.h"
#include "schema/Schema.h"

using namespace schema;

CMadeDeptDlg::CMadeDeptDlg(QWidget *parent)
    : CNameListDlg({QStringLiteral("票据制作部门"), QString(),
                    QString::asprintf("SELECT %s AS 票据制作部门 FROM %s ORDER BY %s ASC", Bill_Made_Name,
                                      Bill_Made_Info, Bill_Made_ID)},
                   parent) {}

void CMadeDeptDlg::OnAdd() {
    CAddMadeDeptDlg dlg([this] { FillList(); }, this);
    dlg.exec();
}

bool CMadeDeptDlg::DeleteRow(const QString &name) {
    return DeleteName(nametables::MakingDepartments, name);
}
