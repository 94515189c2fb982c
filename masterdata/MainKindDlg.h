#pragma once
#include "masterdata/NameListDlg.h"

// "票据主类型": the main kinds. Deleting one moves every run of it to the recycle table; its kinds stay.
class CMainKindDlg : public CNameListDlg {
    Q_OBJECT
public:
    explicit CMainKindDlg(QWidget *parent = nullptr);

protected:
    void OnAdd() override;
    bool DeleteRow(const QString &name) override;
};
