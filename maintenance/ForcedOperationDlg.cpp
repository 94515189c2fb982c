#include "maintenance/ForcedOperationDlg.h"

#include "app/BusyWindow.h"
#include "app/Database.h"
#include "app/Messages.h"
#include "app/TabOrder.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "bills/StockDialogParts.h"
#include "lists/QueryListCtrl.h"
#include "maintenance/BillMaintenance.h"
#include "maintenance/MaintenanceCommands.h"
#include "masterdata/Managers.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"
#include "schema/Schema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CForcedOperationDlg::CForcedOperationDlg(QWidget *parent)
    : QDialog(parent), m_objects(new QComboBox(this)), m_fields(new QComboBox(this)), m_text(new QLineEdit(this)),
      m_exact(new QCheckBox(QStringLiteral("完全匹配"), this)), m_list(new CQueryListCtrl(this)) {
    setWindowTitle(QStringLiteral("强制操作"));
    OrderTabsByPosition(this);
    m_objects->setObjectName(QStringLiteral("objects"));
    m_fields->setObjectName(QStringLiteral("fields"));
    m_text->setObjectName(QStringLiteral("text"));
    m_exact->setObjectName(QStringLiteral("exact"));
    m_list->setObjectName(QStringLiteral("list"));
    BuildLayout();
    SwallowEnterKey(this);

    m_list->SetSortEnabled(true);
    m_list->SetSortByQuery(true);
    FillForcedList(ForcedListStatement(QString::fromUtf8(schema::FlagReturned)));
    m_fields->addItems(m_list->GetHeaderTitles());
    // No field is chosen until the clerk picks one.
    m_fields->setCurrentIndex(-1);
    m_objects->addItems(ForcedObjects());
    m_objects->setCurrentIndex(0);
    connect(m_objects, &QComboBox::currentIndexChanged, this, &CForcedOperationDlg::OnObjectChanged);
    resize(900, 560);
}

int &CForcedOperationDlg::SearchStartRow() {
    static int row = 0;
    return row;
}

void CForcedOperationDlg::BuildLayout() {
    auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), this); };
    auto *fields = new QGridLayout;
    fields->addWidget(label("强制对象："), 0, 0);
    fields->addWidget(m_objects, 0, 1);
    fields->addWidget(label("选择字段："), 0, 2);
    fields->addWidget(m_fields, 0, 3);
    fields->addWidget(label("查询内容："), 1, 0);
    fields->addWidget(m_text, 1, 1, 1, 3);
    fields->addWidget(m_exact, 1, 4);
    QHBoxLayout *buttons = ButtonRow(this, {{"查询", "find", [this] { OnFind(); }},
                                            {"粹取", "extract", [this] { OnExtract(); }},
                                            {"打印", "print", [this] { OnPrint(); }},
                                            {"导出", "export", [this] { OnExport(); }},
                                            {"强制删除", "forcedDelete", [this] { ForcedDelete(); }},
                                            {"关闭", "close", [this] { reject(); }}});
    auto *page = new QVBoxLayout(this);
    page->addLayout(fields);
    page->addLayout(buttons);
    page->addWidget(m_list, 1);
}

void CForcedOperationDlg::FillForcedList(const QString &statement) {
    m_list->ClearColumns();
    m_list->SetStatement(statement, 3);
    m_list->SetMoneyColumns({title::Price, title::Total}, MoneySign, 2);
    m_list->FillFromStatement(statement);
}

void CForcedOperationDlg::AddTotalRow() {
    const int column = m_list->ColumnIndexOfTitle(title::Total);
    if (column < 0)
        return;
    QStringList cells;
    for (int row = 0; row < m_list->RowCount(); ++row)
        cells << m_list->GetItemText(row, column);
    const double sum = SumMoneyTexts(cells);
    if (sum == 0)
        return;
    const int row = m_list->AppendRow();
    m_list->SetItemTextByTitle(row, title::Kind, QStringLiteral("合计"));
    m_list->SetItemText(row, column, FormatMoney(sum));
}

void CForcedOperationDlg::OnObjectChanged() {
    const QString statement = ForcedListStatement(m_objects->currentText());
    if (statement.isEmpty())
        return;
    CBusyWindow busy(this);
    m_list->setUpdatesEnabled(false);
    FillForcedList(statement);
    AddTotalRow();
    m_list->setUpdatesEnabled(true);
}

void CForcedOperationDlg::OnFind() {
    m_list->FindText(m_fields->currentText(), m_text->text(), SearchStartRow(), m_exact->isChecked());
}

void CForcedOperationDlg::OnExtract() {
    CBusyWindow busy(this);
    m_list->KeepSelectedRows();
}

QString CForcedOperationDlg::ListName() const {
    return QString::asprintf("强制操作 %s 票据", qUtf8Printable(m_objects->currentText()));
}

void CForcedOperationDlg::OnPrint() {
    PrintList(*m_list, ListName());
}

void CForcedOperationDlg::OnExport() {
    ExportList(*m_list, ListName(), this);
}

void CForcedOperationDlg::ForcedDelete() {
    // The question and the completion name the kind and the first number only.
    static const RunChangeTexts texts{"删除",
                                      "    警告：您将从数据库中强制删除 %s %s。\n您确定真的要删除该票据吗？",
                                      MsgIcon::Question,
                                      MsgButtons::YesNo,
                                      MsgAnswer::Yes,
                                      "%s:%s 已被删除!"};
    ChangeSelectedRun(m_list, texts,
                      [](const QString &kind, const QString &beginChar, const QString &time, const QString &manager) {
                          return RecycleRun(kind, beginChar, time, manager, logop::ForcedDelete);
                      });
}
