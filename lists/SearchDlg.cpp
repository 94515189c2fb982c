#include "lists/SearchDlg.h"

#include "app/Messages.h"
#include "app/TabOrder.h"
#include "lists/QueryListCtrl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

CSearchDlg::CSearchDlg(const SearchCatalogue &catalogue, CQueryListCtrl &list, QWidget *parent)
    : QDialog(parent), m_catalogue(catalogue), m_list(list), m_textValue(new QLineEdit(this)),
      m_exact(new QCheckBox(QStringLiteral("完全匹配"), this)), m_lower(new QLineEdit(QStringLiteral("0"), this)),
      m_upper(new QLineEdit(QStringLiteral("0"), this)), m_fromDate(new QDateEdit(this)),
      m_fromTime(new QTimeEdit(this)), m_toDate(new QDateEdit(this)), m_toTime(new QTimeEdit(this)),
      m_search(new QPushButton(QStringLiteral("搜索"), this)), m_close(new QPushButton(QStringLiteral("关闭"), this)) {
    setWindowTitle(QStringLiteral("票据搜索"));
    OrderTabsByPosition(this);
    m_parts.selectList = list.GetSelectList();
    m_parts.fromPart = list.GetFromPart();
    m_parts.wherePart = list.GetWherePart();
    m_parts.orderColumn = list.GetOrderColumn();
    m_parts.ascending = list.GetAscending();
    m_where = m_parts.wherePart;

    const QStringList expressions = list.GetColumnExpressions();
    m_textColumn = ColumnBox(SearchTitlesOf(catalogue, expressions, catalogue.textColumns));
    m_numberColumn = ColumnBox(SearchTitlesOf(catalogue, expressions, catalogue.numberColumns));
    m_dateColumn = ColumnBox(SearchTitlesOf(catalogue, expressions, catalogue.dateColumns));

    const QDateTime now = QDateTime::currentDateTime();
    for (QDateEdit *date : {m_fromDate, m_toDate}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        date->setDate(now.date());
    }
    for (QTimeEdit *time : {m_fromTime, m_toTime}) {
        time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
        time->setTime(now.time());
    }

    auto *grid = new QGridLayout;
    const auto label = [this](const char *text) { return new QLabel(QString::fromUtf8(text), this); };
    grid->addWidget(label("字段名称："), 0, 0);
    grid->addWidget(m_textColumn, 0, 1);
    grid->addWidget(label("包含："), 0, 2);
    grid->addWidget(m_textValue, 0, 3, 1, 3);
    grid->addWidget(m_exact, 0, 6);

    grid->addWidget(label("字段名称："), 1, 0);
    grid->addWidget(m_numberColumn, 1, 1);
    grid->addWidget(label("介于："), 1, 2);
    grid->addWidget(m_lower, 1, 3);
    grid->addWidget(label("与"), 1, 4);
    grid->addWidget(m_upper, 1, 5);
    grid->addWidget(label("之间"), 1, 6);

    auto *from = new QHBoxLayout;
    from->addWidget(m_fromDate);
    from->addWidget(m_fromTime);
    auto *to = new QHBoxLayout;
    to->addWidget(m_toDate);
    to->addWidget(m_toTime);
    grid->addWidget(label("字段名称："), 2, 0);
    grid->addWidget(m_dateColumn, 2, 1);
    grid->addWidget(label("介于："), 2, 2);
    grid->addLayout(from, 2, 3);
    grid->addWidget(label("与"), 2, 4);
    grid->addLayout(to, 2, 5);
    grid->addWidget(label("之间"), 2, 6);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_search);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    m_search->setDefault(true);

    connect(m_search, &QPushButton::clicked, this, &CSearchDlg::OnSearch);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
}

QComboBox *CSearchDlg::ColumnBox(const QStringList &titles) {
    auto *box = new QComboBox(this);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(titles);
    box->setMinimumContentsLength(8);
    // No row searches until a field is chosen for it.
    box->setCurrentIndex(-1);
    box->setEditText(QString());
    return box;
}

void CSearchDlg::OnSearch() {
    const QString textColumn = SearchColumnOfTitle(m_catalogue, m_textColumn->currentText().trimmed());
    const QString numberColumn = SearchColumnOfTitle(m_catalogue, m_numberColumn->currentText().trimmed());
    const QString dateColumn = SearchColumnOfTitle(m_catalogue, m_dateColumn->currentText().trimmed());
    double lower = 0, upper = 0;
    if (!numberColumn.isEmpty() &&
        (!ParseSearchNumber(m_lower->text(), lower) || !ParseSearchNumber(m_upper->text(), upper))) {
        ShowMessage(QStringLiteral("数值范围只能填写数字，请重新输入！"), QStringLiteral("票据搜索"),
                    MsgIcon::Exclamation);
        return;
    }
    QString where = m_where;
    if (!textColumn.isEmpty())
        where = AddSearchClause(where, TextSearchClause(textColumn, m_textValue->text(), m_exact->isChecked()));
    if (!numberColumn.isEmpty())
        where = AddSearchClause(where, NumberSearchClause(numberColumn, lower, upper));
    if (!dateColumn.isEmpty())
        where = AddSearchClause(where, DateSearchClause(dateColumn, QDateTime(m_fromDate->date(), m_fromTime->time()),
                                                        QDateTime(m_toDate->date(), m_toTime->time())));
    // A condition is kept for the next search only when its search ran; a failed one has been reported.
    if (m_list.Requery(ComposeSearchStatement(m_parts, where)))
        m_where = where;
}
