#pragma once
#include "masterdata/AddNameDlg.h"

class QComboBox;

// "增加领票人": adds recipients to the chosen department. A recipient's name is unique over all
// departments. After each one the main window shows its department view again.
class CAddBrokerDlg : public CAddNameDlg {
    Q_OBJECT
public:
    CAddBrokerDlg(std::function<void()> showDepartmentViewAgain, QWidget *parent = nullptr);

    QComboBox *DepartmentBox() const { return m_department; }

protected:
    bool HasRequiredValues(const QString &name) const override;
    bool IsNameFree(const QString &name) const override;
    bool InsertEntry(const QString &name) override;

private:
    QComboBox *m_department;
};
