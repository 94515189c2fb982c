#include "masterdata/BillKindDlg.h"

#include "masterdata/AddBillKindDlg.h"
#include "masterdata/BillKinds.h"
#include "masterdata/NameTable.h"
#include "masterdata/RecycleBills.h"
#include "schema/Schema.h"

CBillKindDlg::CBillKindDlg(QWidget *parent)
    : CNameListDlg(
          {QStringLiteral("票据类型"),
           QStringLiteral("类型列表："),
           KindListStatement(),
           {QStringLiteral("单价"), QStringLiteral("金额")},
           QStringLiteral("不固定金额票据"),
           QStringLiteral("    警告：在删除该票据类型的同时，您将删除数据库中所有与该票据类型相关联的数据记录。"
                          "\n您确定真的要删除该票据类型吗？")},
          parent) {}

void CBillKindDlg::OnAdd() {
    CAddBillKindDlg dlg([this] { FillList(); }, this);
    dlg.exec();
}

bool CBillKindDlg::DeleteRow(const QString &name) {
    return DeleteKindWithBills(nametables::Kinds, name, schema::RemarkKindDeleted);
}
