#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <QTableView>

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
    void SetStatement(const QString &statement, int widthFactor);
    void ClearColumns();
    bool FillFromStatement(const QString &statement);
    bool FillFromStatement(const QString &statement, CDatabase &db);
    void Requery(const QString &statement);
    void SortByColumnQuery(int column, bool ascending);
    void SortByColumnsQuery(const QStringList &titles, bool ascending);
    void SortLocal(int column, bool ascending);
    void SetMoneyColumns(const QStringList &titles, const QString &prefix, int decimals);
    void SetSortEnabled(bool enabled);
    void SetSortByQuery(bool byQuery);
    bool FindText(const QString &title, const QString &text, int &startRow, bool exact);
    void KeepSelectedRows();

    // The parsed parts of the statement.
    QString GetStatement() const;
    QString GetSelectList() const;
    QString GetFromPart() const;
    QString GetWherePart() const;
    QString GetOrderColumn() const;
    bool GetAscending() const;
    QString ExpressionOfTitle(const QString &title) const;
    QStringList GetHeaderTitles() const;

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

signals:
    void RowDoubleClicked(int row);

private:
    CQueryListModel *m_model;
    // Further members are the implementation's.
};
