#include "users/PasswordDlg.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "app/TabOrder.h"
#include "users/Passwords.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CPasswordDlg::CPasswordDlg(const QString &user, QWidget *parent)
    : QDialog(parent), m_user(new QLineEdit(user, this)), m_old(new QLineEdit(this)), m_new(new QLineEdit(this)),
      m_confirm(new QLineEdit(this)), m_ok(new QPushButton(QStringLiteral("确定"), this)),
      m_cancel(new QPushButton(QStringLiteral("取消"), this)) {
    setWindowTitle(QStringLiteral("设置密码"));
    OrderTabsByPosition(this);
    m_user->setReadOnly(true);
    for (QLineEdit *field : {m_old, m_new, m_confirm})
        field->setEchoMode(QLineEdit::Password);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("当前用户："), m_user);
    fields->addRow(QStringLiteral("原密码："), m_old);
    fields->addRow(QStringLiteral("新密码："), m_new);
    fields->addRow(QStringLiteral("确定新密码："), m_confirm);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    m_ok->setDefault(true);
    m_old->setFocus();

    connect(m_ok, &QPushButton::clicked, this, &CPasswordDlg::OnOK);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CPasswordDlg::OnOK() {
    const QString user = m_user->text();
    if (m_new->text() != m_confirm->text()) {
        ShowMessage(QStringLiteral("新密码与确定新密码不一致！"), QStringLiteral("密码不一致"), MsgIcon::Exclamation);
        m_new->clear();
        m_confirm->clear();
        m_new->setFocus();
        return;
    }
    try {
        QString stored;
        if (!ReadStoredPassword(user, stored) || !PasswordMatches(stored, m_old->text())) {
            ShowMessage(QStringLiteral("原密码输入不正确"), QStringLiteral("原密码不正确"), MsgIcon::Exclamation);
            m_old->clear();
            m_old->setFocus();
            return;
        }
        WriteUserPassword(user, m_new->text());
    } catch (const CDbError &e) {
        // Nothing was stored: the dialog stays open with what was typed, so the clerk can try again.
        ReportDbError(e);
        return;
    }
    accept();
}
