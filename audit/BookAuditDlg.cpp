#include "audit/BookAuditDlg.h"

#include "app/BusyWindow.h"
#include "app/Database.h"
#include "app/Messages.h"
#include "audit/BookAudit.h"
#include "bills/MasterNames.h"
#include "bills/StockDialogParts.h"
#include "lists/QueryListCtrl.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"
#include "schema/Schema.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace schema;

namespace {
const QString Caption = QStringLiteral("票据稽核");
const QString AllKinds = QStringLiteral("全部类型");
} // namespace

CBookAuditDlg::CBookAuditDlg(QWidget *parent)
    : QDialog(parent), m_kinds(new QComboBox(this)), m_days(new QSpinBox(this)), m_summary(new QLabel(this)),
      m_list(new CQueryListCtrl(this)) {
    setWindowTitle(Caption);
    m_kinds->setObjectName(QStringLiteral("kinds"));
    m_days->setObjectName(QStringLiteral("overdueDays"));
    m_days->setRange(1, 3650);
    m_days->setValue(90);
    m_days->setSuffix(QStringLiteral(" 天"));
    m_summary->setObjectName(QStringLiteral("summary"));
    m_list->setObjectName(QStringLiteral("findings"));
    m_list->SetSortEnabled(true);
    m_list->SetSortByQuery(false);
    const QStringList titles = AuditTitles();
    for (int i = 0; i < titles.size(); ++i)
        m_list->InsertColumn(i, titles[i], i == titles.size() - 1 ? 420 : -1);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("票据类型："), m_kinds);
    fields->addRow(QStringLiteral("发放未回收超过："), m_days);
    auto *page = new QVBoxLayout(this);
    page->addLayout(fields);
    page->addLayout(ButtonRow(this, {{"稽核", "audit", [this] { OnAudit(); }},
                                     {"打印", "print", [this] { OnPrint(); }},
                                     {"导出", "export", [this] { OnExport(); }},
                                     {"关闭", "close", [this] { reject(); }}}));
    page->addWidget(m_summary);
    page->addWidget(m_list, 1);
    SwallowEnterKey(this);
    resize(860, 520);

    m_kinds->addItem(AllKinds);
    try {
        m_kinds->addItems(ReadNames(Bill_Kind_Info, Bill_Kind_Name));
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
}

void CBookAuditDlg::OnAudit() {
    CBusyWindow busy(this);
    AuditOptions options;
    options.kind = m_kinds->currentText() == AllKinds ? QString() : m_kinds->currentText();
    options.overdueDays = m_days->value();
    QVector<AuditFinding> findings;
    try {
        findings = AuditBooks(options);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    m_list->setUpdatesEnabled(false);
    m_list->DeleteAllRows();
    for (const AuditFinding &finding : std::as_const(findings)) {
        const int row = m_list->AppendRow();
        const QStringList cells = AuditCells(finding);
        for (int column = 0; column < cells.size(); ++column)
            m_list->SetItemText(row, column, cells[column]);
    }
    m_list->setUpdatesEnabled(true);
    m_summary->setText(findings.isEmpty() ? CleanAuditText()
                                          : QStringLiteral("共发现 %1 个问题。").arg(findings.size()));
}

void CBookAuditDlg::OnPrint() {
    PrintList(*m_list, Caption);
}

void CBookAuditDlg::OnExport() {
    ExportList(*m_list, Caption, this);
}
