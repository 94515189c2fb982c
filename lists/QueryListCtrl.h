#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QTableView>

#include "lists/ListFill.h"
#include "lists/StatementParser.h"

class CDatabase;
class CQueryListModel;

// The list behind every table view: bound to one SELECT statement whose AS aliases are the column
// titles. It fills its rows from the statement, sorts itself on a header click (by re-running the
// statement with an ORDER BY, or by sorting the shown texts), finds text in a column and can keep
// only the selected rows. Rows live in a model in memory; there is no widget per cell.
class CQueryListCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CQueryListCtrl(QWidget *parent = nullptr);
    ~CQueryListCtrl() override;

    // Statement-bound use.
    // Forgets the money columns, parses the statement and adds one column per title, as wide as the
    // title times the factor. A statement that names no column with AS (SELECT *) is refused with a
    // message and changes nothing.
    void SetStatement(const QString &statement, int widthFactor);
    // Removes every column, and with them the rows.
    void ClearColumns();
    // Replaces the rows by the statement's rows, reading each column's field by its title (the
    // program's one database unless another is given). A failing statement is reported with
    // ReportDbError and false is returned; the rows read before the failure stay and the stored
    // statement stays as it was. Each column then becomes as wide as its title and its texts, measured
    // on a sample of the rows; re-running the statement to sort keeps the widths.
    bool FillFromStatement(const QString &statement);
    bool FillFromStatement(const QString &statement, CDatabase &db);
    // Runs another statement (a search) into the list; the stored statement and parts stay. False
    // when nothing ran (no stored statement) or the statement failed, which has been reported.
    bool Requery(const QString &statement);
    // Re-run the parsed statement ordered by the column(s); nothing happens without a stored
    // statement or when no title maps to an expression.
    void SortByColumnQuery(int column, bool ascending);
    void SortByColumnsQuery(const QStringList &titles, bool ascending);
    // Stable sort of the shown texts, compared byte by byte as UTF-8: numbers sort as text.
    void SortLocal(int column, bool ascending);
    void SetMoneyColumns(const QStringList &titles, const QString &prefix, int decimals);
    void SetSortEnabled(bool enabled);
    void SetSortByQuery(bool byQuery);
    // Looks from startRow on for a cell of the titled column that equals the text (exact) or contains
    // it without regard to ASCII case. A match is added to the selection, made current, scrolled into
    // view and focused, and startRow moves past it; no match sets startRow to 0.
    bool FindText(const QString &title, const QString &text, int &startRow, bool exact);
    // "粹取": keeps only the selected rows, in their order; with none selected the list empties.
    void KeepSelectedRows();

    // The parsed parts of the statement (see StatementParts); the statement is kept as " %s ".
    QString GetStatement() const;
    QString GetSelectList() const;
    QString GetFromPart() const;
    QString GetWherePart() const;
    QString GetOrderColumn() const;
    bool GetAscending() const;
    QString ExpressionOfTitle(const QString &title) const;
    QStringList GetHeaderTitles() const;
    QStringList GetColumnExpressions() const;

    // Cells.
    QString GetItemText(int row, int column) const;
    bool SetItemText(int row, int column, const QString &text);
    bool SetItemTextByTitle(int row, const QString &title, const QString &text);

    // Direct use, for lists whose columns and rows are made by the caller.
    int InsertColumn(int column, const QString &title, int width = -1);
    int ColumnIndexOfTitle(const QString &title) const;
    int InsertRow(int row);
    int AppendRow();
    void DeleteRow(int row);
    void DeleteAllRows();
    void SwapRows(int a, int b);
    int RowCount() const;
    int ColumnCount() const;

    // Selection: selected rows in list order.
    QList<int> SelectedRows() const;
    bool HasSelection() const;
    void SelectRow(int row, bool add = false);
    void ClearSelection();
    void ScrollToTop();

    // What a click on a column header does: sorts by that column when sorting is enabled, by query or
    // locally, in the direction that alternates with every header-click sort.
    void OnHeaderClicked(int column);

signals:
    void RowDoubleClicked(int row);

private:
    bool RunStatement(const QString &statement, CDatabase &db);
    void RunOrderedQuery(const QString &orderText, bool ascending);
    void ShowSortMark(int column, bool ascending);
    void HideSortMark();
    int TitleWidth(const QString &title, int widthFactor) const;
    // Widens or narrows every column to its title and the texts of a sample of its rows.
    void FitColumnsToRows();

    CQueryListModel *m_model;
    StatementParts m_parts;
    QString m_statement;       // the last statement run successfully, wrapped in blanks
    CDatabase *m_db = nullptr; // the connection of that run, kept for re-queries
    MoneyFormat m_money;
    int m_widthFactor = 3;
    bool m_sortEnabled = true;
    bool m_sortByQuery = false;
    bool m_nextAscending = true;
};
