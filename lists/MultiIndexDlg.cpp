#include "lists/MultiIndexDlg.h"

#include "app/TabOrder.h"
#include "lists/QueryListCtrl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CMultiIndexDlg::CMultiIndexDlg(CQueryListCtrl &list, QWidget *parent)
    : QDialog(parent), m_list(list), m_descending(new QCheckBox(QStringLiteral("降序索引"), this)),
      m_index(new QPushButton(QStringLiteral("索引"), this)), m_close(new QPushButton(QStringLiteral("关闭"), this)) {
    setWindowTitle(QStringLiteral("多重索引"));
    OrderTabsByPosition(this);
    auto *fields = new QFormLayout;
    const QStringList titles = list.GetHeaderTitles();
    for (const char *label : {"一重索引：", "二重索引：", "三重索引：", "四重索引："}) {
        auto *box = new QComboBox(this);
        // The blank first entry leaves a level unused.
        box->addItem(QString());
        box->addItems(titles);
        box->setMinimumContentsLength(10);
        fields->addRow(QString::fromUtf8(label), box);
        m_levels << box;
    }
    fields->addRow(QString(), m_descending);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_index);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    m_index->setDefault(true);

    connect(m_index, &QPushButton::clicked, this, &CMultiIndexDlg::OnIndex);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList CMultiIndexDlg::ChosenTitles() const {
    QStringList titles;
    for (const QComboBox *box : m_levels)
        if (!box->currentText().isEmpty())
            titles << box->currentText();
    return titles;
}

void CMultiIndexDlg::OnIndex() {
    const QStringList titles = ChosenTitles();
    if (!titles.isEmpty())
        m_list.SortByColumnsQuery(titles, !m_descending->isChecked());
}
