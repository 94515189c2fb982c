#include "bills/StockDialogParts.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "bills/BillNumbers.h"
#include "bills/MasterNames.h"
#include "lists/QueryListCtrl.h"
#include "schema/Schema.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

using namespace schema;

void SwallowEnterKey(QDialog *dialog) {
    for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    // A dialog presses its visible default button on Enter; this one has no size and does nothing.
    auto *swallow = new QPushButton(dialog);
    swallow->setObjectName(QStringLiteral("enterSwallower"));
    swallow->setFocusPolicy(Qt::NoFocus);
    swallow->setFlat(true);
    swallow->setFixedSize(0, 0);
    swallow->setDefault(true);
}

QHBoxLayout *ButtonRow(QWidget *parent, const QVector<ButtonSpec> &buttons) {
    auto *row = new QHBoxLayout;
    for (const ButtonSpec &entry : buttons) {
        auto *button = new QPushButton(QString::fromUtf8(entry.text), parent);
        button->setObjectName(QLatin1String(entry.objectName));
        QObject::connect(button, &QPushButton::clicked, parent, entry.action);
        row->addWidget(button);
    }
    return row;
}

QLineEdit *ReadOnlyField(QWidget *parent, const char *objectName) {
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(objectName));
    field->setReadOnly(true);
    return field;
}

QDateTimeEdit *DateTimePicker(QWidget *parent, const char *objectName) {
    auto *picker = new QDateTimeEdit(QDateTime::currentDateTime(), parent);
    picker->setObjectName(QLatin1String(objectName));
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return picker;
}

QHBoxLayout *NumberRow(QLineEdit *prefix, QLineEdit *digits, QLineEdit *suffix) {
    auto *row = new QHBoxLayout;
    row->addWidget(prefix, 1);
    row->addWidget(digits, 3);
    row->addWidget(suffix, 1);
    return row;
}

void CCountBox::keyPressEvent(QKeyEvent *event) {
    const QString typed = event->text();
    if (typed.size() == 1 && typed.at(0).isDigit() && !(event->modifiers() & Qt::ControlModifier)) {
        QLineEdit *edit = lineEdit();
        QString text = edit->text();
        qsizetype at = edit->cursorPosition();
        if (edit->hasSelectedText()) {
            at = edit->selectionStart();
            text.remove(at, edit->selectedText().size());
        }
        text.insert(at, typed);
        bool ok = false;
        const qint64 count = text.toLongLong(&ok);
        if (ok && count > maximum()) {
            setValue(maximum());
            selectAll();
            event->accept();
            ShowMessage(RangeMessage(minimum(), maximum(), true), ApplicationTitle(), MsgIcon::Exclamation);
            return;
        }
    }
    QSpinBox::keyPressEvent(event);
}

bool FillNames(QComboBox *list, const std::function<QStringList()> &read) {
    QStringList names;
    try {
        names = read();
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(names);
    list->setCurrentIndex(names.isEmpty() ? -1 : 0);
    return true;
}

void LayOutPendingList(CQueryListCtrl *list, const QString &statement) {
    list->ClearColumns();
    list->SetStatement(statement, 3);
    list->FillFromStatement(statement);
}

int AppendPendingRow(CQueryListCtrl *list, const QStringList &cells, bool select) {
    const int row = list->AppendRow();
    for (int column = 0; column < cells.size(); ++column)
        list->SetItemText(row, column, cells[column]);
    if (select) {
        list->scrollTo(list->model()->index(row, 0));
        list->SelectRow(row);
    }
    return row;
}

QString CellText(const CQueryListCtrl *list, int row, const QString &title) {
    const int column = list->ColumnIndexOfTitle(title);
    return column < 0 ? QString() : list->GetItemText(row, column);
}

bool IsListed(const CQueryListCtrl *list, const QString &kind, const QString &beginChar) {
    for (int row = 0; row < list->RowCount(); ++row)
        if (CellText(list, row, title::Kind) == kind && CellText(list, row, title::Begin) == beginChar)
            return true;
    return false;
}

RunKey PendingRun(const CQueryListCtrl *list, int row) {
    return {CellText(list, row, title::Kind), CellText(list, row, title::Begin)};
}

QVector<QStringList> SelectedRowTexts(const CQueryListCtrl *list, const QStringList &titles) {
    QVector<QStringList> rows;
    for (int row : list->SelectedRows()) {
        QStringList texts;
        for (const QString &t : titles)
            texts << CellText(list, row, t);
        rows << texts;
    }
    return rows;
}

QVector<QStringList> SelectedBookTexts(const CQueryListCtrl *mainList) {
    return SelectedRowTexts(mainList, {title::Kind, title::Begin, title::End, title::Price, title::Amount, title::Total});
}

void ShowPendingRow(CQueryListCtrl *list, int row) {
    list->SelectRow(row);
    list->scrollTo(list->model()->index(row, 0));
}

bool FindRunReported(const QString &kind, const QString &beginChar, RunInfo &run, const char *flag) {
    try {
        return FindRun(kind, beginChar, run, flag);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
}

void DeleteSelectedRows(CQueryListCtrl *list) {
    QList<int> rows = list->SelectedRows();
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows)
        list->DeleteRow(row);
}

void RemoveRuns(CQueryListCtrl *list, const QVector<RunKey> &runs) {
    for (int row = list->RowCount() - 1; row >= 0; --row) {
        const RunKey shown = PendingRun(list, row);
        const bool moved = std::any_of(runs.begin(), runs.end(), [&](const RunKey &run) {
            return run.kind == shown.kind && run.beginChar == shown.beginChar;
        });
        if (moved)
            list->DeleteRow(row);
    }
}

CBookPicker::CBookPicker(QWidget *parent)
    : m_kinds(new QComboBox(parent)), m_prefix(ReadOnlyField(parent, "prefix")), m_digits(new QLineEdit(parent)),
      m_suffix(ReadOnlyField(parent, "suffix")) {
    m_kinds->setObjectName(QStringLiteral("kind"));
    m_digits->setObjectName(QStringLiteral("beginDigits"));
    m_digits->setMaxLength(15);
}

void CBookPicker::FillKinds() {
    if (FillNames(m_kinds, [] { return ReadNames(Bill_Kind_Info, Bill_Kind_Name, Bill_Kind_Name); }))
        LoadKind();
}

void CBookPicker::LoadKind() {
    try {
        ReadKind(m_kinds->currentText(), m_kind, Bill_Kind_Name);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    m_prefix->setText(m_kind.prefix);
    m_suffix->setText(m_kind.suffix);
}

bool CBookPicker::TakeNewNumber(const CQueryListCtrl *pending, QString &full) const {
    const QString digits = m_digits->text();
    if (digits.isEmpty())
        return false;
    if (!IsDigitText(digits)) {
        ShowMessage(QStringLiteral("编号输入错误!"), QStringLiteral("编号错误"), MsgIcon::Exclamation);
        return false;
    }
    full = m_prefix->text() + digits + m_suffix->text();
    if (IsListed(pending, m_kinds->currentText(), full)) {
        ShowMessage(QStringLiteral("编号 %1 已经列入!").arg(full), QStringLiteral("重复列入"), MsgIcon::Exclamation);
        return false;
    }
    return true;
}

QStringList CBookPicker::NewBookCells(const QString &full) const {
    const double begin = m_digits->text().toDouble();
    return {m_kinds->currentText(),
            full,
            FormatBillNumber(m_prefix->text(), begin + m_kind.unitAmount - 1, m_suffix->text(), m_kind.length),
            FormatMoney(m_kind.unitPrice),
            QString::number(m_kind.unitAmount),
            FormatMoney(m_kind.bookTotal)};
}
