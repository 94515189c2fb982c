#include "masterdata/AddNameDlg.h"

#include "app/Messages.h"
#include "app/TabOrder.h"
#include "app/TypedNames.h"
#include "masterdata/NameTable.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CAddNameDlg::CAddNameDlg(const AddNameSetup &setup, const NameTable *table, std::function<void()> inserted,
                         QWidget *parent)
    : QDialog(parent), m_setup(setup), m_table(table), m_inserted(std::move(inserted)), m_form(new QFormLayout),
      m_checks(new QHBoxLayout), m_name(new QLineEdit(this)),
      m_keepAdding(new QCheckBox(QStringLiteral("连续增加"), this)), m_accept(new QPushButton(setup.acceptText, this)),
      m_close(new QPushButton(setup.closeText, this)) {
    setWindowTitle(setup.caption);
    OrderTabsByPosition(this);
    m_name->setObjectName(QStringLiteral("name"));
    m_keepAdding->setObjectName(QStringLiteral("keepAdding"));
    m_accept->setObjectName(QStringLiteral("accept"));
    m_close->setObjectName(QStringLiteral("close"));

    m_form->addRow(setup.nameLabel, m_name);
    m_checks->addWidget(m_keepAdding);
    m_checks->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_accept);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addLayout(m_checks);
    layout->addLayout(buttons);

    // Enter accepts the entry, as the accepting button is the dialog's default.
    m_accept->setDefault(true);
    m_close->setAutoDefault(false);
    connect(m_accept, &QPushButton::clicked, this, &CAddNameDlg::OnAccept);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

void CAddNameDlg::FocusAndSelect(QLineEdit *edit) {
    edit->setFocus();
    edit->selectAll();
}

bool CAddNameDlg::IsNameFree(const QString &name) const {
    return ::IsNameFree(*m_table, name);
}

bool CAddNameDlg::InsertEntry(const QString &name) {
    return InsertName(*m_table, name);
}

bool CAddNameDlg::InsertIfStillFree(const QString &name, bool &free) {
    // The name is looked at again while no other desk may add one, and written in the same
    // transaction: two desks adding one name give one row.
    try {
        CTransaction transaction;
        TheDatabase().HoldUntilCommit(QStringLiteral("names of master data"));
        free = IsNameFree(name);
        if (!free || !InsertEntry(name))
            return false;
        transaction.Commit();
        return true;
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
}

void CAddNameDlg::OnAccept() {
    // Names are stored as they compare (NormaliseTypedName): " 收据" or "收据" with a zero-width
    // space typed must not become a second kind that every list shows as "收据".
    // A name left empty is refused as an empty one is, without a word.
    m_name->setText(NormaliseTypedName(m_name->text()));
    if (!TakeFields())
        return;
    const QString name = m_name->text();
    if (!HasRequiredValues(name))
        return;
    const auto refuseDuplicate = [&] {
        ShowMessage(QString::asprintf(qUtf8Printable(m_setup.duplicateMessage), qUtf8Printable(name)),
                    QStringLiteral("同名错误!"), MsgIcon::Exclamation);
        FocusAndSelect(m_name);
    };
    if (!IsNameFree(name)) {
        refuseDuplicate();
        return;
    }
    // A failed write has been reported; the entry stays in the dialog to be corrected or retried.
    if (!PrepareInsert())
        return;
    bool free = true;
    if (!InsertIfStillFree(name, free)) {
        // Another desk may have added the same name a moment ago.
        if (!free)
            refuseDuplicate();
        return;
    }
    if (m_inserted)
        m_inserted();
    if (m_keepAdding->isChecked()) {
        FocusAndSelect(m_name);
        m_name->clear();
    } else {
        accept();
    }
}
