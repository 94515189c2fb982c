#pragma once
#include "masterdata/NameListDlg.h"

// "票据类型": the kinds, with their prices and number formats. Deleting one moves every run of it to
// the recycle table.
class CBillKindDlg : public CNameListDlg {
    Q_OBJECT
public:
    explicit CBillKindDlg(QWidget *parent = nullptr);

protected:
    void OnAdd() override;
    bool DeleteRow(const QString &name) override;
};
