#include "reports/PeriodDlg.h"

#include "app/Messages.h"
#include "app/TabOrder.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "bills/StockDialogParts.h"
#include "schema/Schema.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

using namespace schema;

namespace {

QDateEdit *DatePicker(QWidget *parent, const QDateTime &now, const char *objectName) {
    auto *picker = new QDateEdit(now.date(), parent);
    picker->setObjectName(QLatin1String(objectName));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return picker;
}

QTimeEdit *TimePicker(QWidget *parent, const QDateTime &now, const char *objectName) {
    auto *picker = new QTimeEdit(now.time(), parent);
    picker->setObjectName(QLatin1String(objectName));
    picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    return picker;
}

QString InstantText(const QDateEdit *date, const QTimeEdit *time) {
    return FormatDateTime(QDateTime(date->date(), time->time()));
}

} // namespace

CPeriodDlg::CPeriodDlg(const QString &reportName, bool withDepartment, QWidget *parent) : QDialog(parent) {
    setWindowTitle(reportName);
    OrderTabsByPosition(this);
    const QDateTime now = QDateTime::currentDateTime();
    // Seconds are what the period is counted in; the pickers hold no milliseconds.
    const QDateTime start(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    m_fromDate = DatePicker(this, start, "fromDate");
    m_fromTime = TimePicker(this, start, "fromTime");
    m_toDate = DatePicker(this, start, "toDate");
    m_toTime = TimePicker(this, start, "toTime");
    m_count = new QPushButton(QStringLiteral("统计"), this);
    m_count->setObjectName(QStringLiteral("count"));
    m_count->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("统计时间："), this), 0, 0);
    grid->addWidget(m_fromDate, 0, 1);
    grid->addWidget(m_fromTime, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("至"), this), 1, 0, Qt::AlignRight);
    grid->addWidget(m_toDate, 1, 1);
    grid->addWidget(m_toTime, 1, 2);
    if (withDepartment) {
        m_departments = new QComboBox(this);
        m_departments->setObjectName(QStringLiteral("departments"));
        grid->addWidget(new QLabel(QStringLiteral("选择部门:"), this), 2, 0);
        grid->addWidget(m_departments, 2, 1, 1, 2);
        FillNames(m_departments, [] {
            QStringList names = ReadNames(Bill_Dept_Info, Bill_Dept_Name, Bill_Dept_Name);
            names.removeAll(QString());
            return names;
        });
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_count);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(m_count, &QPushButton::clicked, this, &CPeriodDlg::OnCount);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString CPeriodDlg::FromText() const {
    return InstantText(m_fromDate, m_fromTime);
}

QString CPeriodDlg::ToText() const {
    return InstantText(m_toDate, m_toTime);
}

void CPeriodDlg::OnCount() {
    if (QDateTime(m_fromDate->date(), m_fromTime->time()) > QDateTime(m_toDate->date(), m_toTime->time())) {
        ShowMessage(QStringLiteral("统计的开始时间晚于结束时间，请重新设定统计时间!"), windowTitle(),
                    MsgIcon::Exclamation);
        return;
    }
    if (m_departments) {
        if (m_departments->currentIndex() < 0) {
            ShowMessage(QStringLiteral("没有可以选择的部门，请先增加发放部门!"), windowTitle(), MsgIcon::Exclamation);
            return;
        }
        m_department = m_departments->currentText();
    }
    accept();
}
