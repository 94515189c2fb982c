#include "masterdata/MainKindDlg.h"

#include "masterdata/AddMainKindDlg.h"
#include "masterdata/BillKinds.h"
#include "masterdata/NameTable.h"
#include "masterdata/RecycleBills.h"
#include "schema/Schema.h"

CMainKindDlg::CMainKindDlg(QWidget *parent)
    : CNameListDlg({QStringLiteral("票据主类型"),
                    QString(),
                    MainKindListStatement(),
                    {},
                    QString(),
                    QStringLiteral("    警告：在删除该主票据类型的同时，您将删除数据库中所有与该主票据类型相关联的数据"
                                   "记录。\n您确定真的要删除该票据类型吗？")},
                   parent) {}

void CMainKindDlg::OnAdd() {
    CAddMainKindDlg dlg([this] { FillList(); }, this);
    dlg.exec();
}

bool CMainKindDlg::DeleteRow(const QString &name) {
    return DeleteKindWithBills(nametables::MainKinds, name, schema::RemarkMainKindDeleted);
}
