#include "masterdata/NameListDlg.h"

#include "app/Messages.h"
#include "app/TabOrder.h"
#include "lists/QueryListCtrl.h"
#include "masterdata/NameTable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CNameListDlg::CNameListDlg(const NameListSetup &setup, QWidget *parent)
    : QDialog(parent), m_setup(setup), m_list(new CQueryListCtrl(this)),
      m_add(new QPushButton(QStringLiteral("增加"), this)), m_delete(new QPushButton(QStringLiteral("删除"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)), m_buttons(new QVBoxLayout) {
    setWindowTitle(setup.caption);
    OrderTabsByPosition(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_add->setObjectName(QStringLiteral("add"));
    m_delete->setObjectName(QStringLiteral("delete"));
    m_close->setObjectName(QStringLiteral("close"));

    auto *left = new QVBoxLayout;
    if (!setup.label.isEmpty())
        left->addWidget(new QLabel(setup.label, this));
    left->addWidget(m_list);
    for (QPushButton *button : {m_add, m_delete})
        m_buttons->addWidget(button);
    m_buttons->addStretch();
    m_buttons->addWidget(m_close);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(m_buttons);
    resize(560, 360);

    connect(m_add, &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(m_delete, &QPushButton::clicked, this, &CNameListDlg::OnDelete);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    FillList();
}

QPushButton *CNameListDlg::AddCommandButton(const QString &text) {
    auto *button = new QPushButton(text, this);
    AddCommandWidget(button);
    return button;
}

void CNameListDlg::AddCommandWidget(QWidget *widget) {
    // Before the stretch that keeps "关闭" at the bottom.
    m_buttons->insertWidget(m_buttons->count() - 2, widget);
}

void CNameListDlg::FillList() {
    m_list->ClearColumns();
    m_list->SetStatement(m_setup.statement, 3);
    if (!m_setup.moneyColumns.isEmpty())
        m_list->SetMoneyColumns(m_setup.moneyColumns, QStringLiteral("￥"), 2);
    m_list->FillFromStatement(m_setup.statement);
    const int tick = m_setup.tickColumn.isEmpty() ? -1 : m_list->ColumnIndexOfTitle(m_setup.tickColumn);
    for (int row = 0; tick >= 0 && row < m_list->RowCount(); ++row)
        m_list->SetItemText(row, tick, TickText(m_list->GetItemText(row, tick)));
}

bool CNameListDlg::SelectedName(QString &name) const {
    const QList<int> rows = m_list->SelectedRows();
    if (rows.isEmpty())
        return false;
    name = m_list->GetItemText(rows.first(), 0);
    return true;
}

void CNameListDlg::OnDelete() {
    QString name;
    if (!SelectedName(name))
        return;
    if (!m_setup.deleteQuestion.isEmpty() && ShowMessage(m_setup.deleteQuestion, QStringLiteral("警告"),
                                                         MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    if (DeleteRow(name))
        FillList();
}
