#pragma once
#include "masterdata/NameListDlg.h"

// "票据管理员": the administrators; "有效" makes the selected one the current administrator, shown
// with "√".
class CManagerDlg : public CNameListDlg {
    Q_OBJECT
public:
    explicit CManagerDlg(QWidget *parent = nullptr);
    QPushButton *SetCurrentButton() const { return m_setCurrent; }

protected:
    void OnAdd() override;
    bool DeleteRow(const QString &name) override;

private:
    void OnSetCurrent();

    QPushButton *m_setCurrent;
};
