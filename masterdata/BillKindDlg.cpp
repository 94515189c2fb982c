#include "masterdata/BillKindDlg.h"

#include "masterdata/AddBillKindDlg.h"
#include "masterdata/BillKinds.h"
#include "masterdata/NameTable.h"
#include "masterdata/RecycleBills.h"
#include "schema/Schema.h"

#include <QPushButton>
#include <QSpinBox>

CBillKindDlg::CBillKindDlg(QWidget *parent)
    : CNameListDlg(
          {QStringLiteral("票据类型"),
           QStringLiteral("类型列表："),
           KindListStatement(),
           {QStringLiteral("单价"), QStringLiteral("金额")},
           QStringLiteral("不固定金额票据"),
           QStringLiteral("    警告：在删除该票据类型的同时，您将删除数据库中所有与该票据类型相关联的数据记录。"
                          "\n您确定真的要删除该票据类型吗？")},
          parent),
      m_stockLimit(new QSpinBox(this)), m_setStockLimit(new QPushButton(QStringLiteral("设置库存下限"), this)) {
    m_stockLimit->setObjectName(QStringLiteral("stockLimit"));
    m_stockLimit->setRange(0, 1000000);
    m_stockLimit->setSuffix(QStringLiteral(" 本"));
    m_stockLimit->setToolTip(QStringLiteral("库存下限，0 为不设下限"));
    m_setStockLimit->setObjectName(QStringLiteral("setStockLimit"));
    AddCommandWidget(m_stockLimit);
    AddCommandWidget(m_setStockLimit);
    connect(m_setStockLimit, &QPushButton::clicked, this, &CBillKindDlg::OnSetStockLimit);
}

void CBillKindDlg::OnSetStockLimit() {
    QString name;
    if (!SelectedName(name))
        return;
    if (RunReported(ErrorReport::Db, [&] { SetKindStockLimit(name, m_stockLimit->value()); }))
        FillList();
}

void CBillKindDlg::OnAdd() {
    CAddBillKindDlg dlg([this] { FillList(); }, this);
    dlg.exec();
}

bool CBillKindDlg::DeleteRow(const QString &name) {
    return DeleteKindWithBills(nametables::Kinds, name, schema::RemarkKindDeleted);
}
