#include "lists/QueryListModel.h"

#include <QBrush>
#include <QColor>

int CQueryListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_rows.RowCount();
}

int CQueryListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant CQueryListModel::data(const QModelIndex &index, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.Text(index.row(), index.column());
    case Qt::BackgroundRole:
        return QBrush(QColor(238, 238, 238));
    case Qt::ForegroundRole:
        return QBrush(Qt::black);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return QVariant();
    }
}

QVariant CQueryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_titles.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_titles.at(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return QVariant();
}

void CQueryListModel::InsertColumn(int column, const QString &title) {
    beginInsertColumns(QModelIndex(), column, column);
    m_rows.InsertColumn(column);
    m_titles.insert(column, title);
    endInsertColumns();
}

void CQueryListModel::ClearColumns() {
    beginResetModel();
    m_rows.ClearColumns();
    m_titles.clear();
    endResetModel();
}

bool CQueryListModel::SetText(int row, int column, const QString &text) {
    if (row < 0 || row >= m_rows.RowCount() || column < 0 || column >= m_titles.size())
        return false;
    m_rows.SetText(row, column, text);
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
    return true;
}

void CQueryListModel::InsertRows(int row, int count) {
    beginInsertRows(QModelIndex(), row, row + count - 1);
    m_rows.InsertEmptyRows(row, count);
    endInsertRows();
}

void CQueryListModel::RemoveRows(int row, int count) {
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_rows.RemoveRows(row, count);
    endRemoveRows();
}

void CQueryListModel::SwapRows(int a, int b) {
    m_rows.SwapRows(a, b);
    emit dataChanged(index(std::min(a, b), 0), index(std::max(a, b), int(m_titles.size()) - 1));
}
