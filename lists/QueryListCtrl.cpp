#include "lists/QueryListCtrl.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "lists/PrintLayout.h"
#include "lists/QueryListModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>

namespace {

// Rows measured to size the columns after a fill: enough to meet every kind of text, few enough
// that a list of a million rows fills as fast as one of a thousand.
constexpr int kMeasuredRows = 1000;

// While a list re-queries or sorts itself it shows the wait cursor, takes no input and is not redrawn.
class BusyList {
public:
    explicit BusyList(QWidget *list) : m_list(list), m_wasEnabled(list->isEnabled()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_list->setEnabled(false);
        m_list->setUpdatesEnabled(false);
    }
    ~BusyList() {
        m_list->setUpdatesEnabled(true);
        m_list->setEnabled(m_wasEnabled);
        QApplication::restoreOverrideCursor();
    }
    BusyList(const BusyList &) = delete;
    BusyList &operator=(const BusyList &) = delete;

private:
    QWidget *m_list;
    bool m_wasEnabled;
};

} // namespace

CQueryListCtrl::CQueryListCtrl(QWidget *parent) : QTableView(parent), m_model(new CQueryListModel(this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, Qt::black);
    setPalette(colours);

    // Every row has the same height, so a list of a million rows scrolls without measuring rows.
    QHeaderView *rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    rows->hide();

    QHeaderView *columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setHighlightSections(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setSortIndicatorShown(false);
    connect(columns, &QHeaderView::sectionClicked, this, &CQueryListCtrl::OnHeaderClicked);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &index) { emit RowDoubleClicked(index.row()); });
}

CQueryListCtrl::~CQueryListCtrl() = default;

// --- Statement-bound use -------------------------------------------------------------------------

void CQueryListCtrl::SetStatement(const QString &statement, int widthFactor) {
    const QString wrapped = WrapStatement(statement);
    StatementParts parsed;
    parsed.ascending = m_parts.ascending;
    ParseStatement(wrapped, parsed);
    if (parsed.titles.isEmpty()) {
        ShowMessage(QStringLiteral("列表的语句必须用 AS 为每一列指定列标题，无法按此语句设置列表：\n%1")
                        .arg(statement.trimmed()),
                    ApplicationTitle(), MsgIcon::Exclamation);
        return;
    }
    m_money = MoneyFormat();
    ParseStatement(wrapped, m_parts);
    m_widthFactor = widthFactor;
    HideSortMark();
    for (int i = 0; i < m_parts.titles.size(); ++i)
        InsertColumn(i, m_parts.titles.at(i));
}

void CQueryListCtrl::ClearColumns() {
    m_model->ClearColumns();
    HideSortMark();
}

bool CQueryListCtrl::FillFromStatement(const QString &statement) {
    return FillFromStatement(statement, TheDatabase());
}

bool CQueryListCtrl::FillFromStatement(const QString &statement, CDatabase &db) {
    HideSortMark();
    const bool filled = RunStatement(statement, db);
    FitColumnsToRows();
    return filled;
}

void CQueryListCtrl::FitColumnsToRows() {
    if (RowCount() == 0)
        return;
    // As Qt lays out a cell and a header section: a text margin on both sides of a cell, header
    // margins and room for the sort mark beside a title.
    const int cellMargin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 4;
    QHeaderView *header = horizontalHeader();
    const int headerMargin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int titleMargin = 3 * headerMargin + style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header) + 4;
    const QFontMetrics cells = fontMetrics();
    const QFontMetrics titles = header->fontMetrics();
    const QVector<int> rows = SampleRows(RowCount(), kMeasuredRows);
    const CListRows &texts = m_model->Rows();
    for (int column = 0; column < ColumnCount(); ++column) {
        int width = titles.horizontalAdvance(m_model->Titles().at(column)) + titleMargin;
        for (int row : rows)
            width = std::max(width, cells.horizontalAdvance(texts.Text(row, column)) + cellMargin);
        header->resizeSection(column, width);
    }
}

bool CQueryListCtrl::RunStatement(const QString &statement, CDatabase &db) {
    const QString wrapped = WrapStatement(statement);
    const QStringList titles = m_model->Titles();
    QString failure;
    bool failed = false;
    m_model->Reset([&](CListRows &rows) {
        rows.Clear();
        try {
            ReadStatementRows(db, wrapped, titles, m_money, rows);
        } catch (const CDbError &error) {
            failed = true;
            failure = error.Message();
        }
    });
    if (failed) {
        ReportDbError(CDbError(failure));
        return false;
    }
    m_statement = wrapped;
    m_db = &db;
    return true;
}

bool CQueryListCtrl::Requery(const QString &statement) {
    if (m_statement.isEmpty() || !m_db)
        return false;
    const QString stored = m_statement;
    bool filled = false;
    {
        BusyList busy(this);
        filled = FillFromStatement(statement, *m_db);
    }
    m_statement = stored;
    return filled;
}

void CQueryListCtrl::RunOrderedQuery(const QString &orderText, bool ascending) {
    const QString stored = m_statement;
    {
        BusyList busy(this);
        RunStatement(ComposeOrderedStatement(m_parts, orderText, ascending), *m_db);
    }
    m_statement = stored;
}

void CQueryListCtrl::SortByColumnQuery(int column, bool ascending) {
    if (m_statement.isEmpty() || !m_db || column < 0 || column >= ColumnCount())
        return;
    // A column whose title names no expression cannot be ordered by the store; the rows stay.
    const QString orderText = ExpressionOfTitle(m_model->Titles().at(column));
    if (orderText.isEmpty())
        return;
    RunOrderedQuery(orderText, ascending);
    ShowSortMark(column, ascending);
}

void CQueryListCtrl::SortByColumnsQuery(const QStringList &titles, bool ascending) {
    if (m_statement.isEmpty() || !m_db || titles.isEmpty())
        return;
    const QString orderText = OrderTextOfTitles(m_parts, titles, ascending);
    if (orderText.isEmpty())
        return;
    RunOrderedQuery(orderText, ascending);
    HideSortMark();
}

void CQueryListCtrl::SortLocal(int column, bool ascending) {
    if (column < 0 || column >= ColumnCount())
        return;
    {
        BusyList busy(this);
        m_model->Reset([&](CListRows &rows) { rows.Sort(column, ascending); });
    }
    ShowSortMark(column, ascending);
}

void CQueryListCtrl::SetMoneyColumns(const QStringList &titles, const QString &prefix, int decimals) {
    m_money.titles = titles;
    m_money.prefix = prefix;
    m_money.decimals = decimals;
}

void CQueryListCtrl::SetSortEnabled(bool enabled) {
    m_sortEnabled = enabled;
}

void CQueryListCtrl::SetSortByQuery(bool byQuery) {
    m_sortByQuery = byQuery;
}

void CQueryListCtrl::OnHeaderClicked(int column) {
    if (!m_sortEnabled)
        return;
    if (m_sortByQuery)
        SortByColumnQuery(column, m_nextAscending);
    else
        SortLocal(column, m_nextAscending);
    m_nextAscending = !m_nextAscending;
}

void CQueryListCtrl::ShowSortMark(int column, bool ascending) {
    horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    horizontalHeader()->setSortIndicatorShown(true);
}

void CQueryListCtrl::HideSortMark() {
    horizontalHeader()->setSortIndicatorShown(false);
}

bool CQueryListCtrl::FindText(const QString &title, const QString &text, int &startRow, bool exact) {
    const int column = ColumnIndexOfTitle(title);
    if (column < 0)
        return false;
    const int row = m_model->Rows().Find(column, exact ? text : UpperAscii(text), startRow, exact);
    if (row < 0) {
        startRow = 0;
        return false;
    }
    const QModelIndex found = m_model->index(row, 0);
    // The found row goes to the top of the page unless the list ends within that page.
    const int rowsPerPage = std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
    scrollTo(found,
             RowCount() - row > rowsPerPage ? QAbstractItemView::PositionAtTop : QAbstractItemView::EnsureVisible);
    selectionModel()->select(found, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(found, QItemSelectionModel::NoUpdate);
    setFocus();
    startRow = row + 1;
    return true;
}

void CQueryListCtrl::KeepSelectedRows() {
    const QList<int> selected = SelectedRows();
    m_model->Reset([&](CListRows &rows) { rows.KeepRows(selected); });
}

// --- Parsed parts --------------------------------------------------------------------------------

QString CQueryListCtrl::GetStatement() const {
    return m_statement;
}
QString CQueryListCtrl::GetSelectList() const {
    return m_parts.selectList;
}
QString CQueryListCtrl::GetFromPart() const {
    return m_parts.fromPart;
}
QString CQueryListCtrl::GetWherePart() const {
    return m_parts.wherePart;
}
QString CQueryListCtrl::GetOrderColumn() const {
    return m_parts.orderColumn;
}
bool CQueryListCtrl::GetAscending() const {
    return m_parts.ascending;
}
QString CQueryListCtrl::ExpressionOfTitle(const QString &title) const {
    return ::ExpressionOfTitle(m_parts, title);
}
QStringList CQueryListCtrl::GetHeaderTitles() const {
    return m_model->Titles();
}
QStringList CQueryListCtrl::GetColumnExpressions() const {
    return m_parts.expressions;
}

// --- Cells ---------------------------------------------------------------------------------------

QString CQueryListCtrl::GetItemText(int row, int column) const {
    return m_model->Rows().Text(row, column);
}

bool CQueryListCtrl::SetItemText(int row, int column, const QString &text) {
    return m_model->SetText(row, column, text);
}

bool CQueryListCtrl::SetItemTextByTitle(int row, const QString &title, const QString &text) {
    const int column = ColumnIndexOfTitle(title);
    return column >= 0 && SetItemText(row, column, text);
}

// --- Direct use ----------------------------------------------------------------------------------

int CQueryListCtrl::TitleWidth(const QString &title, int widthFactor) const {
    return horizontalHeader()->fontMetrics().horizontalAdvance(title) * widthFactor;
}

int CQueryListCtrl::InsertColumn(int column, const QString &title, int width) {
    column = std::clamp(column, 0, ColumnCount());
    m_model->InsertColumn(column, title);
    horizontalHeader()->resizeSection(column, width >= 0 ? width : TitleWidth(title, m_widthFactor));
    return column;
}

int CQueryListCtrl::ColumnIndexOfTitle(const QString &title) const {
    return int(m_model->Titles().indexOf(title));
}

int CQueryListCtrl::InsertRow(int row) {
    row = std::clamp(row, 0, RowCount());
    m_model->InsertRows(row, 1);
    return row;
}

int CQueryListCtrl::AppendRow() {
    return InsertRow(RowCount());
}

void CQueryListCtrl::DeleteRow(int row) {
    if (row >= 0 && row < RowCount())
        m_model->RemoveRows(row, 1);
}

void CQueryListCtrl::DeleteAllRows() {
    m_model->Reset([](CListRows &rows) { rows.Clear(); });
}

void CQueryListCtrl::SwapRows(int a, int b) {
    if (a >= 0 && b >= 0 && a < RowCount() && b < RowCount() && a != b)
        m_model->SwapRows(a, b);
}

int CQueryListCtrl::RowCount() const {
    return m_model->Rows().RowCount();
}

int CQueryListCtrl::ColumnCount() const {
    return int(m_model->Titles().size());
}

// --- Selection -----------------------------------------------------------------------------------

QList<int> CQueryListCtrl::SelectedRows() const {
    QList<int> rows;
    const QModelIndexList selected = selectionModel()->selectedRows();
    rows.reserve(selected.size());
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool CQueryListCtrl::HasSelection() const {
    return selectionModel()->hasSelection();
}

void CQueryListCtrl::SelectRow(int row, bool add) {
    if (row < 0 || row >= RowCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    selectionModel()->select(index, (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
                                        QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CQueryListCtrl::ClearSelection() {
    selectionModel()->clearSelection();
}

void CQueryListCtrl::ScrollToTop() {
    scrollToTop();
}
