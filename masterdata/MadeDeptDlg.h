#pragma once
#include "masterdata/NameListDlg.h"

// "票据制作部门": the printers that make bill books, chosen at stock-in.
class CMadeDeptDlg : public CNameListDlg {
    Q_OBJECT
public:
    explicit CMadeDeptDlg(QWidget *parent = nullptr);

protected:
    void OnAdd() override;
    bool DeleteRow(const QString &name) override;
};
