#pragma once
#include "bills/StockIn.h"
#include "bills/StockMoves.h"

#include <QSpinBox>
#include <QStringList>
#include <QVector>
#include <functional>

class CQueryListCtrl;
class QComboBox;
class QDateTimeEdit;
class QDialog;
class QHBoxLayout;
class QLineEdit;
class QWidget;

// Pieces the stock dialogs share.

// Enter in a stock dialog neither confirms nor cancels: an invisible default button takes it, and no
// other button becomes the default when it has the focus. Called once the dialog's buttons exist.
void SwallowEnterKey(QDialog *dialog);

struct ButtonSpec {
    const char *text;
    const char *objectName;
    std::function<void()> action;
};
// Buttons side by side, each running its action when clicked.
QHBoxLayout *ButtonRow(QWidget *parent, const QVector<ButtonSpec> &buttons);
// A read-only text field.
QLineEdit *ReadOnlyField(QWidget *parent, const char *objectName);
// A date picker set to now.
QDateTimeEdit *DateTimePicker(QWidget *parent, const char *objectName);
// Prefix, digits and suffix of a bill number side by side.
QHBoxLayout *NumberRow(QLineEdit *prefix, QLineEdit *digits, QLineEdit *suffix);

// A count with an up-down control. A digit that would take the count past its maximum is not
// swallowed silently: the count becomes the maximum and the range message says why.
class CCountBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// Fills a drop-down list with the names read and selects the first, its signals held back. A
// database error is reported and leaves the list as it was; the result says whether it was filled.
bool FillNames(QComboBox *list, const std::function<QStringList()> &read);

// Titles of the pending lists' cells.
namespace title {
inline const QString Kind = QStringLiteral("票据类型");
inline const QString Begin = QStringLiteral("开始编号");
inline const QString End = QStringLiteral("结尾编号");
inline const QString ReturnEnd = QStringLiteral("返还结尾编号");
inline const QString Price = QStringLiteral("单价");
inline const QString Amount = QStringLiteral("张数");
inline const QString ReturnAmount = QStringLiteral("回收张数");
inline const QString Total = QStringLiteral("金额");
inline const QString ReturnTotal = QStringLiteral("回收金额");
inline const QString ReturnDept = QStringLiteral("返还部门");
inline const QString ReturnBroker = QStringLiteral("返还人");
} // namespace title

// Lays a list out afresh and fills it from the statement: the pending lists of issue and return
// (from a statement that yields only the titles) and the lists of the documents dialog.
void LayOutPendingList(CQueryListCtrl *list, const QString &statement);
// Appends a row of cells in column order; a typed book is scrolled into view and selected alone.
int AppendPendingRow(CQueryListCtrl *list, const QStringList &cells, bool select = true);
QString CellText(const CQueryListCtrl *list, int row, const QString &title);
bool IsListed(const CQueryListCtrl *list, const QString &kind, const QString &beginChar);
RunKey PendingRun(const CQueryListCtrl *list, int row);
// Texts of the titled columns of every selected row, in list order; a missing column gives "".
QVector<QStringList> SelectedRowTexts(const CQueryListCtrl *list, const QStringList &titles);
// Kind, first and last number, price, count and amount of the books selected in the main list.
QVector<QStringList> SelectedBookTexts(const CQueryListCtrl *mainList);
// Selects and shows the pending row a refusal is about.
void ShowPendingRow(CQueryListCtrl *list, int row);
// FindRun with a store failure reported and taken as no run found.
bool FindRunReported(const QString &kind, const QString &beginChar, RunInfo &run, const char *flag = nullptr);
void DeleteSelectedRows(CQueryListCtrl *list);
// Takes the rows of these runs out of a list that shows kind and first number.
void RemoveRuns(CQueryListCtrl *list, const QVector<RunKey> &runs);

// The kind and typed first number of issue and return.
class CBookPicker {
public:
    explicit CBookPicker(QWidget *parent);
    QComboBox *Kinds() const { return m_kinds; }
    QLineEdit *Prefix() const { return m_prefix; }
    QLineEdit *Digits() const { return m_digits; }
    QLineEdit *Suffix() const { return m_suffix; }
    const KindParams &Kind() const { return m_kind; }

    // Fills the kind list, selects the first kind and loads it.
    void FillKinds();
    // Loads the chosen kind; a NULL number keeps the value the kind before left.
    void LoadKind();
    // The full number typed for listing: false, after its message where there is one, when the
    // digits are empty, hold other characters or the book is listed already.
    bool TakeNewNumber(const CQueryListCtrl *pending, QString &full) const;
    // "票据类型" to "金额" of a typed book, from the kind's parameters.
    QStringList NewBookCells(const QString &full) const;

private:
    QComboBox *m_kinds;
    QLineEdit *m_prefix;
    QLineEdit *m_digits;
    QLineEdit *m_suffix;
    KindParams m_kind;
};
