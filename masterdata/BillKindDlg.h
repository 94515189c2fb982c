#pragma once
#include "masterdata/NameListDlg.h"

class QSpinBox;

// "票据类型": the kinds, with their prices, number formats and low-stock limits. Deleting one moves
// every run of it to the recycle table; "设置库存下限" gives the selected kind the limit typed beside it.
class CBillKindDlg : public CNameListDlg {
    Q_OBJECT
public:
    explicit CBillKindDlg(QWidget *parent = nullptr);

    QSpinBox *StockLimitBox() const { return m_stockLimit; }
    QPushButton *StockLimitButton() const { return m_setStockLimit; }
    void OnSetStockLimit();

protected:
    void OnAdd() override;
    bool DeleteRow(const QString &name) override;

private:
    QSpinBox *m_stockLimit;
    QPushButton *m_setStockLimit;
};
