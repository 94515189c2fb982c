#include "bills/BillHistoryDlg.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "bills/StockDialogParts.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace schema;

CBillHistoryDlg::CBillHistoryDlg(QWidget *parent)
    : QDialog(parent), m_kinds(new QComboBox(this)), m_format(new QLabel(this)), m_number(new QLineEdit(this)),
      m_summary(new QLabel(this)), m_list(new CQueryListCtrl(this)) {
    setWindowTitle(QStringLiteral("票据追踪"));
    m_kinds->setObjectName(QStringLiteral("kind"));
    m_number->setObjectName(QStringLiteral("number"));
    m_number->setMaxLength(40);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    m_list->setObjectName(QStringLiteral("road"));

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("票据类型："), m_kinds);
    fields->addRow(QStringLiteral("编号格式："), m_format);
    fields->addRow(QStringLiteral("票据编号："), m_number);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(
        ButtonRow(this, {{"追踪", "trace", [this] { OnTrace(); }}, {"关闭", "close", [this] { reject(); }}}));
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    resize(900, 460);

    const QStringList titles = HistoryTitles();
    for (int i = 0; i < titles.size(); ++i)
        m_list->InsertColumn(i, titles[i], i == titles.size() - 1 ? 360 : -1);
    m_list->SetSortEnabled(false);
    // Enter in the number field traces, the natural end of typing a number.
    connect(m_number, &QLineEdit::returnPressed, this, [this] { OnTrace(); });
    connect(m_kinds, &QComboBox::currentIndexChanged, this, [this] { OnKindChanged(); });
    if (FillNames(m_kinds, [] { return ReadNames(Bill_Kind_Info, Bill_Kind_Name); }))
        OnKindChanged();
}

void CBillHistoryDlg::OnKindChanged() {
    m_kind = KindParams();
    m_format->clear();
    if (m_kinds->currentText().isEmpty())
        return;
    try {
        if (!ReadKind(m_kinds->currentText(), m_kind))
            return;
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    m_format->setText(m_kind.prefix + QString(m_kind.length, QLatin1Char('#')) + m_kind.suffix);
}

void CBillHistoryDlg::OnTrace() {
    if (m_kind.name.isEmpty()) {
        ShowMessage(QStringLiteral("请先选择票据类型!"), QStringLiteral("票据追踪"), MsgIcon::Exclamation);
        return;
    }
    double value = 0;
    if (!ParseTypedBillNumber(m_number->text(), m_kind, value)) {
        ShowMessage(QStringLiteral("编号输入错误!"), QStringLiteral("编号错误"), MsgIcon::Exclamation);
        m_number->setFocus();
        m_number->selectAll();
        return;
    }
    QVector<HistoryBook> books;
    try {
        books = FindBooksHolding(m_kind.name, m_kind.unitAmount, value);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    m_list->DeleteAllRows();
    const QString number = FormatBillNumber(m_kind.prefix, value, m_kind.suffix, m_kind.length);
    if (books.isEmpty()) {
        m_summary->setText(QStringLiteral("没有任何一本票据含有编号 %1。").arg(number));
        return;
    }
    QStringList lines{QStringLiteral("编号 %1：").arg(number)};
    for (const HistoryBook &book : std::as_const(books)) {
        lines << BookSummary(book);
        for (const HistoryStep &step : BookRoad(book, value)) {
            const int row = m_list->AppendRow();
            const QStringList cells = HistoryCells(step);
            for (int column = 0; column < cells.size(); ++column)
                m_list->SetItemText(row, column, cells[column]);
        }
    }
    m_summary->setText(lines.join(QLatin1Char('\n')));
}
