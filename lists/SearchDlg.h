#pragma once
#include "lists/SearchQuery.h"
#include "lists/StatementParser.h"

#include <QDialog>
#include <QString>

class CQueryListCtrl;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QTimeEdit;

// "票据搜索": narrows a list of bill runs by a text, a number range and a date range. Each "搜索" adds
// its conditions to those of the list's own statement and of the earlier searches of this opening, and
// runs the result into the list; the list keeps its own statement, so sorting it by a header click
// shows every row again.
class CSearchDlg : public QDialog {
    Q_OBJECT
public:
    CSearchDlg(const SearchCatalogue &catalogue, CQueryListCtrl &list, QWidget *parent = nullptr);

    void OnSearch();
    // The conditions gathered so far.
    QString WhereText() const { return m_where; }

    QComboBox *TextColumnBox() const { return m_textColumn; }
    QLineEdit *TextValueEdit() const { return m_textValue; }
    QCheckBox *ExactBox() const { return m_exact; }
    QComboBox *NumberColumnBox() const { return m_numberColumn; }
    QLineEdit *LowerEdit() const { return m_lower; }
    QLineEdit *UpperEdit() const { return m_upper; }
    QComboBox *DateColumnBox() const { return m_dateColumn; }
    QDateEdit *FromDateEdit() const { return m_fromDate; }
    QTimeEdit *FromTimeEdit() const { return m_fromTime; }
    QDateEdit *ToDateEdit() const { return m_toDate; }
    QTimeEdit *ToTimeEdit() const { return m_toTime; }
    QPushButton *SearchButton() const { return m_search; }
    QPushButton *CloseButton() const { return m_close; }

private:
    QComboBox *ColumnBox(const QStringList &titles);

    SearchCatalogue m_catalogue;
    StatementParts m_parts;
    CQueryListCtrl &m_list;
    QString m_where;

    QComboBox *m_textColumn;
    QLineEdit *m_textValue;
    QCheckBox *m_exact;
    QComboBox *m_numberColumn;
    QLineEdit *m_lower;
    QLineEdit *m_upper;
    QComboBox *m_dateColumn;
    QDateEdit *m_fromDate;
    QTimeEdit *m_fromTime;
    QDateEdit *m_toDate;
    QTimeEdit *m_toTime;
    QPushButton *m_search;
    QPushButton *m_close;
};
