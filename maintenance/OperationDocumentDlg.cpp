#include "maintenance/OperationDocumentDlg.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "app/TabOrder.h"
#include "bills/StockDialogParts.h"
#include "lists/QueryListCtrl.h"
#include "maintenance/BillMaintenance.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString NumberTitle = QStringLiteral("单据编号");

QDateEdit *DatePicker(QWidget *parent, const char *objectName) {
    auto *picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setObjectName(QLatin1String(objectName));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return picker;
}
} // namespace

COperationDocumentDlg::COperationDocumentDlg(std::function<void()> refreshViews, QWidget *parent)
    : QDialog(parent), m_refreshViews(std::move(refreshViews)), m_kinds(new QComboBox(this)),
      m_from(DatePicker(this, "fromDate")), m_to(DatePicker(this, "toDate")), m_frame(new QFrame(this)),
      m_documents(new CQueryListCtrl(this)), m_runs(new CQueryListCtrl(this)) {
    setWindowTitle(QStringLiteral("出入库管理"));
    OrderTabsByPosition(this);
    m_kinds->setObjectName(QStringLiteral("kinds"));
    for (const DocumentKind &kind : DocumentKinds())
        m_kinds->addItem(QString::fromUtf8(kind.name));
    m_documents->setObjectName(QStringLiteral("documents"));
    m_documents->SetSortEnabled(false);
    m_runs->setObjectName(QStringLiteral("runs"));
    m_runs->SetSortEnabled(true);
    m_runs->SetSortByQuery(false);
    BuildLayout();
    connect(m_documents, &CQueryListCtrl::clicked, this, &COperationDocumentDlg::OnDocumentClicked);
    resize(760, 600);
}

void COperationDocumentDlg::BuildLayout() {
    auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), this); };
    auto *fields = new QHBoxLayout;
    fields->addWidget(label("单据类型："));
    fields->addWidget(m_kinds);
    fields->addSpacing(12);
    fields->addWidget(label("单据时间："));
    fields->addWidget(m_from);
    fields->addWidget(label("至"));
    fields->addWidget(m_to);
    fields->addStretch(1);
    QHBoxLayout *buttons = ButtonRow(this, {{"单据查询", "query", [this] { OnQuery(); }},
                                            {"单据取消", "cancelDocument", [this] { OnCancelDocument(); }},
                                            {"单据打印", "print", [this] { OnPrintDocument(); }},
                                            {"导出", "export", [this] { OnExportDocument(); }},
                                            {"单据计数", "countDocuments", [this] { OnCountDocuments(); }},
                                            {"票据计数", "countBills", [this] { OnCountBills(); }},
                                            {"关闭", "close", [this] { reject(); }}});
    // Enter runs the query, whichever control has the focus.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setAutoDefault(false);
    findChild<QPushButton *>(QStringLiteral("query"))->setDefault(true);

    m_frame->setObjectName(QStringLiteral("frame"));
    m_frame->setFrameShape(QFrame::StyledPanel);
    auto *controls = new QVBoxLayout(m_frame);
    controls->addLayout(fields);
    controls->addLayout(buttons);
    // Frame and lists take the width of the dialog; the lower list reaches down to its margin.
    auto *page = new QVBoxLayout(this);
    page->addWidget(m_frame);
    page->addWidget(m_documents, 2);
    page->addWidget(m_runs, 3);
}

void COperationDocumentDlg::OnQuery() {
    const DocumentKind *kind = FindDocumentKind(m_kinds->currentText());
    if (!kind)
        return;
    m_queriedKind = m_kinds->currentText();
    LayOutPendingList(m_documents, DocumentListStatement(*kind, m_from->date(), m_to->date()));
}

QString COperationDocumentDlg::SelectedNumber() const {
    const QList<int> rows = m_documents->SelectedRows();
    if (m_queriedKind.isEmpty() || rows.isEmpty())
        return QString();
    return CellText(m_documents, rows.first(), NumberTitle);
}

void COperationDocumentDlg::OnDocumentClicked() {
    const QString number = SelectedNumber();
    const DocumentKind *kind = FindDocumentKind(m_queriedKind);
    if (!kind || !IsDocumentNumber(number))
        return;
    LayOutPendingList(m_runs, DocumentRunsStatement(*kind, number));
}

void COperationDocumentDlg::OnCancelDocument() {
    const QString number = SelectedNumber();
    const DocumentKind *kind = FindDocumentKind(m_queriedKind);
    if (!kind || number.isEmpty())
        return;
    if (ShowMessage(
            QString::asprintf("警告：您将取消%s：%s,您确定吗?", qUtf8Printable(m_queriedKind), qUtf8Printable(number)),
            QStringLiteral("警告"), MsgIcon::Exclamation, MsgButtons::YesNo) != MsgAnswer::Yes)
        return;
    const int row = m_documents->SelectedRows().first();
    try {
        const DocumentCancel cancel = CancelDocument(*kind, number);
        if (cancel.outcome == DocumentCancel::Done) {
            m_documents->DeleteRow(row);
        } else if (cancel.outcome == DocumentCancel::NothingLeft) {
            ShowMessage(QString::asprintf("%s：%s 已没有任何票据，可能已被取消，本次没有取消任何票据。",
                                          qUtf8Printable(m_queriedKind), qUtf8Printable(number)),
                        QStringLiteral("提示"), MsgIcon::Exclamation);
            m_documents->DeleteRow(row);
        } else if (cancel.outcome == DocumentCancel::Refused)
            ShowMessage(CancelRefusalText(*kind, cancel.offending), QStringLiteral("提示"), MsgIcon::Exclamation);
        else
            ShowMessage(QString::asprintf("单据编号 %s 不是数字，不能取消。", qUtf8Printable(number)),
                        QStringLiteral("提示"), MsgIcon::Exclamation);
    } catch (const CDbError &e) {
        // Nothing was changed; the document stays listed.
        ReportDbError(e);
    }
    if (m_refreshViews)
        m_refreshViews();
}

void COperationDocumentDlg::OnCountDocuments() {
    const int rows = m_documents->RowCount();
    if (rows > 0)
        ShowMessage(QString::asprintf("当前%s：%d行。", qUtf8Printable(m_queriedKind), rows), QStringLiteral("行数"),
                    MsgIcon::Exclamation);
}

void COperationDocumentDlg::OnCountBills() {
    const int rows = m_runs->RowCount();
    if (rows > 0)
        ShowMessage(QString::asprintf("当前%s有%d行票据记录。", qUtf8Printable(m_queriedKind), rows),
                    QStringLiteral("行数"), MsgIcon::Exclamation);
}

QString COperationDocumentDlg::DocumentTableName() const {
    const QString number = SelectedNumber();
    return number.isEmpty() ? QString() : QStringLiteral("%1_%2").arg(m_queriedKind, number);
}

void COperationDocumentDlg::OnPrintDocument() {
    const QString name = DocumentTableName();
    if (!name.isEmpty())
        PrintList(*m_runs, name);
}

void COperationDocumentDlg::OnExportDocument() {
    const QString name = DocumentTableName();
    if (!name.isEmpty())
        ExportList(*m_runs, name, this);
}
