#include "audit/LogDlg.h"

#include "app/BusyWindow.h"
#include "app/Database.h"
#include "app/Messages.h"
#include "audit/LogChain.h"
#include "audit/LogQuery.h"
#include "audit/OperationLog.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "bills/StockDialogParts.h"
#include "lists/QueryListCtrl.h"
#include "lists/SearchDlg.h"
#include "reports/ExportList.h"
#include "reports/PrintEngine.h"
#include "schema/Schema.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace schema;

namespace {

const QString Caption = QStringLiteral("操作日志");
const QString AllChoice = QStringLiteral("全部");

QDateEdit *DayPicker(QWidget *parent, const char *objectName, const QDate &day) {
    auto *picker = new QDateEdit(day, parent);
    picker->setObjectName(QLatin1String(objectName));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return picker;
}

QComboBox *ChoiceBox(QWidget *parent, const char *objectName, const QStringList &names) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(objectName));
    box->addItem(AllChoice);
    box->addItems(names);
    return box;
}

QString Choice(const QComboBox *box) {
    return box->currentText() == AllChoice ? QString() : box->currentText();
}

QStringList NamesOrNone(const char *table, const char *column) {
    try {
        return ReadNames(table, column);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return {};
    }
}

bool RunCheck(LogCheck &check, const QString &code = QString()) {
    try {
        check = CheckLogChain(TheDatabase(), code);
        return true;
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
}

} // namespace

CLogDlg::CLogDlg(QWidget *parent)
    : QDialog(parent), m_from(DayPicker(this, "fromDate", QDate::currentDate().addMonths(-1))),
      m_to(DayPicker(this, "toDate", QDate::currentDate())),
      m_users(ChoiceBox(this, "users", NamesOrNone(Bill_Password_Info, Bill_Password_User))),
      m_operations(ChoiceBox(this, "operations", LogOperations())),
      m_kinds(ChoiceBox(this, "kinds", NamesOrNone(Bill_Kind_Info, Bill_Kind_Name))), m_code(new QLineEdit(this)),
      m_head(new QLabel(this)), m_list(new CQueryListCtrl(this)) {
    setWindowTitle(Caption);
    m_code->setObjectName(QStringLiteral("code"));
    m_code->setMaxLength(16);
    m_code->setPlaceholderText(QStringLiteral("打印件上的16位日志校验码"));
    m_head->setObjectName(QStringLiteral("headCode"));
    m_head->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->SetSortEnabled(true);
    m_list->SetSortByQuery(false);
    BuildLayout();
    SwallowEnterKey(this);
    ShowHeadCode();
    OnQuery();
    resize(1000, 600);
}

void CLogDlg::BuildLayout() {
    auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), this); };
    auto *fields = new QGridLayout;
    fields->addWidget(label("时间："), 0, 0);
    fields->addWidget(m_from, 0, 1);
    fields->addWidget(label("至"), 0, 2);
    fields->addWidget(m_to, 0, 3);
    fields->addWidget(label("用户："), 0, 4);
    fields->addWidget(m_users, 0, 5);
    fields->addWidget(label("操作："), 1, 0);
    fields->addWidget(m_operations, 1, 1);
    fields->addWidget(label("票据类型："), 1, 2);
    fields->addWidget(m_kinds, 1, 3);
    fields->addWidget(label("校验码："), 1, 4);
    fields->addWidget(m_code, 1, 5);
    QHBoxLayout *buttons = ButtonRow(this, {{"查询", "query", [this] { OnQuery(); }},
                                            {"搜索", "search", [this] { OnSearch(); }},
                                            {"打印", "print", [this] { OnPrint(); }},
                                            {"导出", "export", [this] { OnExport(); }},
                                            {"日志校验", "checkChain", [this] { OnCheckChain(); }},
                                            {"核对校验码", "checkCode", [this] { OnCheckCode(); }},
                                            {"关闭", "close", [this] { reject(); }}});
    auto *page = new QVBoxLayout(this);
    page->addLayout(fields);
    page->addLayout(buttons);
    page->addWidget(m_head);
    page->addWidget(m_list, 1);
}

void CLogDlg::ShowHeadCode() {
    try {
        const QString code = ChainHeadCode();
        m_head->setText(code.isEmpty() ? QStringLiteral("日志校验码：（日志为空）")
                                       : QStringLiteral("日志校验码：%1").arg(code));
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
}

void CLogDlg::OnQuery() {
    if (m_from->date() > m_to->date()) {
        ShowMessage(QStringLiteral("开始日期不能晚于结束日期!"), Caption, MsgIcon::Exclamation);
        return;
    }
    CBusyWindow busy(this);
    const QString statement =
        LogListStatement({m_from->date(), m_to->date(), Choice(m_users), Choice(m_operations), Choice(m_kinds)});
    m_list->setUpdatesEnabled(false);
    m_list->ClearColumns();
    m_list->SetStatement(statement, 3);
    m_list->SetMoneyColumns({LogAmountTitle}, MoneySign, 2);
    m_list->FillFromStatement(statement);
    m_list->setUpdatesEnabled(true);
    ShowHeadCode();
}

void CLogDlg::OnSearch() {
    CSearchDlg(LogSearchCatalogue(), *m_list, this).exec();
}

void CLogDlg::OnPrint() {
    PrintList(*m_list, Caption);
}

void CLogDlg::OnExport() {
    ExportList(*m_list, Caption, this);
}

void CLogDlg::OnCheckChain() {
    CBusyWindow busy(this);
    LogCheck check;
    if (!RunCheck(check))
        return;
    ShowMessage(LogCheckText(check), QStringLiteral("日志校验"),
                check.finding == LogCheck::Whole ? MsgIcon::Information : MsgIcon::Exclamation);
    ShowHeadCode();
}

void CLogDlg::OnCheckCode() {
    const QString code = m_code->text().trimmed();
    if (!IsLogCheckCode(code)) {
        ShowMessage(QStringLiteral("请输入打印件上的16位日志校验码（数字0-9和字母A-F）!"), QStringLiteral("日志校验"),
                    MsgIcon::Exclamation);
        m_code->setFocus();
        m_code->selectAll();
        return;
    }
    CBusyWindow busy(this);
    LogCheck check;
    if (!RunCheck(check, code))
        return;
    ShowMessage(CodeCheckText(check, code), QStringLiteral("日志校验"),
                check.codeFound ? MsgIcon::Information : MsgIcon::Exclamation);
}

void CheckLogChainCommand() {
    LogCheck check;
    if (RunCheck(check))
        ShowMessage(LogCheckText(check), QStringLiteral("日志校验"),
                    check.finding == LogCheck::Whole ? MsgIcon::Information : MsgIcon::Exclamation);
}
