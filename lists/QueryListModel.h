#pragma once
#include "lists/ListRows.h"

#include <QAbstractTableModel>
#include <QStringList>

// The rows and column titles behind a CQueryListCtrl. Cells are shown left-aligned, black on light grey.
class CQueryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CQueryListModel(QObject *parent = nullptr) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const CListRows &Rows() const { return m_rows; }
    const QStringList &Titles() const { return m_titles; }

    void InsertColumn(int column, const QString &title);
    void ClearColumns();
    bool SetText(int row, int column, const QString &text);
    void InsertRows(int row, int count);
    void RemoveRows(int row, int count);
    void SwapRows(int a, int b);

    // Whole-list changes: the views are told once, before and after.
    template <typename Change> void Reset(Change &&change) {
        beginResetModel();
        struct End {
            CQueryListModel *model;
            ~End() { model->endResetModel(); }
        } end{this};
        change(m_rows);
    }

private:
    CListRows m_rows;
    QStringList m_titles;
};
