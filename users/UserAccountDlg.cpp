#include "users/UserAccountDlg.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "app/TabOrder.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"
#include "users/RightsTreePane.h"
#include "users/UserAccounts.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace schema;

namespace {

QString Title(const char *column) {
    return UserColumnTitle(column);
}

} // namespace

CUserAccountDlg::CUserAccountDlg(const CPermissionTable &table, QWidget *parent)
    : QDialog(parent), m_tree(new CRightsTreePane(table, this)), m_list(new CQueryListCtrl(this)),
      m_name(new QLineEdit(this)), m_male(new QRadioButton(QStringLiteral("男"), this)),
      m_female(new QRadioButton(QStringLiteral("女"), this)), m_password(new QLineEdit(this)),
      m_address(new QLineEdit(this)), m_contact(new QLineEdit(this)), m_email(new QLineEdit(this)),
      m_remark(new QLineEdit(this)), m_add(new QPushButton(QStringLiteral("增加"), this)),
      m_save(new QPushButton(QStringLiteral("保存"), this)), m_delete(new QPushButton(QStringLiteral("删除"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)) {
    setWindowTitle(QStringLiteral("权限管理"));
    OrderTabsByPosition(this);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("不修改密码时留空"));
    m_male->setChecked(true);
    auto *sexGroup = new QButtonGroup(this);
    sexGroup->addButton(m_male);
    sexGroup->addButton(m_female);
    auto *sexRow = new QHBoxLayout;
    sexRow->addWidget(m_male);
    sexRow->addWidget(m_female);
    sexRow->addStretch();

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("姓名："), m_name);
    fields->addRow(QStringLiteral("性别："), sexRow);
    fields->addRow(QStringLiteral("密码："), m_password);
    fields->addRow(QStringLiteral("地址："), m_address);
    fields->addRow(QStringLiteral("联系："), m_contact);
    fields->addRow(QStringLiteral("EMAIL:"), m_email);
    fields->addRow(QStringLiteral("备注："), m_remark);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : {m_add, m_save, m_delete, m_close}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }

    auto *right = new QVBoxLayout;
    right->addLayout(fields);
    right->addWidget(m_list, 1);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_tree);
    layout->addLayout(right, 1);
    m_tree->setMinimumWidth(200);
    resize(860, 560);

    connect(m_list, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) { ShowUser(index.row()); });
    connect(m_add, &QPushButton::clicked, this, &CUserAccountDlg::OnAdd);
    connect(m_save, &QPushButton::clicked, this, &CUserAccountDlg::OnSave);
    connect(m_delete, &QPushButton::clicked, this, &CUserAccountDlg::OnDelete);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    m_tree->LoadRightsTree();
    FillUserList();
}

void CUserAccountDlg::FillUserList() {
    const QString statement = UserListStatement();
    m_list->ClearColumns();
    m_list->SetStatement(statement, 3);
    m_list->FillFromStatement(statement);
    const QString sex = Title(Bill_Password_Sex);
    const int column = m_list->ColumnIndexOfTitle(sex);
    for (int row = 0; row < m_list->RowCount(); ++row)
        m_list->SetItemText(row, column, SexText(m_list->GetItemText(row, column)));
}

void CUserAccountDlg::ShowUser(int row) {
    if (row < 0 || row >= m_list->RowCount())
        return;
    const auto cell = [this, row](const char *column) {
        return m_list->GetItemText(row, m_list->ColumnIndexOfTitle(Title(column)));
    };
    const QString name = cell(Bill_Password_User);
    m_name->setText(name);
    m_address->setText(cell(Bill_Password_Address));
    m_contact->setText(cell(Bill_Password_Contact));
    m_email->setText(cell(Bill_Password_Email));
    m_remark->setText(cell(Bill_Password_Remark));
    // The stored password is a hash and is never shown; an empty field keeps it.
    m_password->clear();
    (cell(Bill_Password_Sex) == QStringLiteral("男") ? m_male : m_female)->setChecked(true);
    m_tree->ShowUserRights(name);
}

void CUserAccountDlg::ClearUser() {
    m_tree->CheckAllRights(Qt::Unchecked);
    for (QLineEdit *field : {m_name, m_password, m_address, m_contact, m_email, m_remark})
        field->clear();
}

bool CUserAccountDlg::SaveUser(const QString &rights) {
    UserAccount account;
    account.name = StoredUserName(m_name->text());
    if (account.name.isEmpty()) {
        ShowMessage(QStringLiteral("请输入用户的姓名！"), QStringLiteral("姓名"), MsgIcon::Exclamation);
        return false;
    }
    // The built-in account keeps every right and its details whatever the fields say.
    if (IsAdministrator(account.name))
        return false;
    account.password = m_password->text();
    account.rights = rights;
    account.address = m_address->text();
    account.contact = m_contact->text();
    account.email = m_email->text();
    account.remark = m_remark->text();
    account.sex = m_male->isChecked() ? 0 : 1;
    try {
        if (!UserExists(account.name)) {
            // Only an account saved under its own name keeps its stored password on an empty field; a
            // new one, also one copied from a shown account under another name, needs one typed.
            if (account.password.isEmpty()) {
                ShowMessage(QStringLiteral("新用户必须设置密码，请输入密码！"), QStringLiteral("密码"),
                            MsgIcon::Exclamation);
                m_password->setFocus();
                return false;
            }
            InsertUser(account, NewUserNumber());
        } else {
            if (ShowMessage(QString::asprintf("你确定要修改%s的信息吗?", qUtf8Printable(account.name)),
                            QStringLiteral("修改"), MsgIcon::Question, MsgButtons::YesNo) != MsgAnswer::Yes)
                return false;
            UpdateUser(account);
        }
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
    m_password->clear();
    return true;
}

bool CUserAccountDlg::DeleteUser(const QString &name) {
    if (IsAdministrator(name))
        return false;
    try {
        ::DeleteUser(name);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
    return true;
}

void CUserAccountDlg::OnAdd() {
    ClearUser();
}

void CUserAccountDlg::OnSave() {
    SaveUser(m_tree->BuildPopedomString());
    FillUserList();
}

void CUserAccountDlg::OnDelete() {
    const QList<int> rows = m_list->SelectedRows();
    if (rows.isEmpty())
        return;
    const QString name = m_list->GetItemText(rows.first(), m_list->ColumnIndexOfTitle(Title(Bill_Password_User)));
    if (DeleteUser(name))
        FillUserList();
}
