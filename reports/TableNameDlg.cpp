#include "reports/TableNameDlg.h"
#include "app/TabOrder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString &DefaultName() {
    static const QString name = QStringLiteral("清单");
    return name;
}

CTableNameDlg::Runner &DialogRunner() {
    static CTableNameDlg::Runner runner = [](CTableNameDlg &dialog) { return dialog.exec(); };
    return runner;
}

} // namespace

CTableNameDlg::CTableNameDlg(QWidget *parent)
    : QDialog(parent), m_name(new QLineEdit(DefaultName(), this)), m_ok(new QPushButton(QStringLiteral("确定"), this)) {
    setWindowTitle(QStringLiteral("表格名称"));
    OrderTabsByPosition(this);
    m_name->setObjectName(QStringLiteral("tableName"));
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_name->selectAll();

    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("输入表格名称："), this));
    row->addWidget(m_name, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString CTableNameDlg::TableName() const {
    return m_name->text();
}

QString CTableNameDlg::AskTableName(QWidget *parent) {
    CTableNameDlg dialog(parent);
    return DialogRunner()(dialog) == QDialog::Accepted ? dialog.TableName() : DefaultName();
}

CTableNameDlg::Runner CTableNameDlg::SetRunner(Runner runner) {
    Runner previous = DialogRunner();
    DialogRunner() = std::move(runner);
    return previous;
}
