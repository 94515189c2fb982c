#pragma once
#include <QDialog>
#include <QString>

class QComboBox;
class QDateEdit;
class QPushButton;
class QTimeEdit;

// "设定统计时间": the statistics period of a report, from one instant to another, both starting at
// now; with a department, also "选择部门:" with the departments by name, the first one selected.
// "统计" accepts, "取消" leaves everything as it was.
class CPeriodDlg : public QDialog {
    Q_OBJECT
public:
    CPeriodDlg(const QString &reportName, bool withDepartment, QWidget *parent = nullptr);

    // "2005-1-1 0:0:0": the texts the generators take.
    QString FromText() const;
    QString ToText() const;
    QString Department() const { return m_department; }

    QDateEdit *FromDate() const { return m_fromDate; }
    QTimeEdit *FromTime() const { return m_fromTime; }
    QDateEdit *ToDate() const { return m_toDate; }
    QTimeEdit *ToTime() const { return m_toTime; }
    // Null without a department.
    QComboBox *Departments() const { return m_departments; }
    QPushButton *CountButton() const { return m_count; }
    QPushButton *CancelButton() const { return m_cancel; }

    void OnCount();

private:
    QDateEdit *m_fromDate;
    QTimeEdit *m_fromTime;
    QDateEdit *m_toDate;
    QTimeEdit *m_toTime;
    QComboBox *m_departments = nullptr;
    QPushButton *m_count;
    QPushButton *m_cancel;
    QString m_department;
};
