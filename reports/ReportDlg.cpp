#include "reports/ReportDlg.h"
#include "app/TabOrder.h"

#include "bills/ModalRunner.h"
#include "lists/QueryListCtrl.h"
#include "reports/ExportList.h"
#include "reports/PeriodDlg.h"
#include "reports/PrintEngine.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>

namespace {

int &SharedFindPosition() {
    static int row = 0;
    return row;
}

// The report of each position of Report_Info: the caption of its period dialog and of the report.
const QString AnnualName = QStringLiteral("年度行政事业性收费和政府性基金票据年审表");
const QString MonthlyName = QStringLiteral("月季报表");
const QString CancellationName = QStringLiteral("收费票据缴销明细表");
const QString InventoryName = QStringLiteral("库存票据汇总表");
enum Position { Annual, Monthly, DepartmentMonthly, Cancellation, Inventory, Positions };

QString PeriodCaption(int position) {
    switch (position) {
    case Annual:
        return AnnualName;
    case Monthly:
    case DepartmentMonthly:
        return MonthlyName;
    case Cancellation:
        return CancellationName;
    default:
        return InventoryName;
    }
}

// Geometry of the dialog as it opens, in pixels of its client area.
constexpr int Height = 600;
constexpr int Margin = 10;
constexpr int RowHeight = 26;

} // namespace

CReportDlg::CReportDlg(QWidget *parent)
    : QDialog(parent), m_reportKinds(new QComboBox(this)),
      m_generate(new QPushButton(QStringLiteral("生成报表"), this)), m_columnTitles(new QComboBox(this)),
      m_searchText(new QLineEdit(this)), m_find(new QPushButton(QStringLiteral("查询"), this)),
      m_print(new QPushButton(QStringLiteral("打印"), this)), m_export(new QPushButton(QStringLiteral("导出"), this)),
      m_close(new QPushButton(QStringLiteral("关闭"), this)), m_list(new CQueryListCtrl(this)) {
    setWindowTitle(QStringLiteral("报表"));
    OrderTabsByPosition(this);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    m_reportKinds->setObjectName(QStringLiteral("reportKinds"));
    m_generate->setObjectName(QStringLiteral("generate"));
    m_columnTitles->setObjectName(QStringLiteral("columnTitles"));
    m_searchText->setObjectName(QStringLiteral("searchText"));
    m_find->setObjectName(QStringLiteral("find"));
    m_print->setObjectName(QStringLiteral("print"));
    m_export->setObjectName(QStringLiteral("export"));
    m_close->setObjectName(QStringLiteral("close"));
    m_list->setObjectName(QStringLiteral("reportList"));

    // The controls side by side at the top, the list below them.
    struct Place {
        QWidget *control;
        int width;
    };
    const Place places[] = {{m_reportKinds, 300}, {m_generate, 90}, {m_columnTitles, 150}, {m_searchText, 160},
                            {m_find, 70},         {m_print, 70},    {m_export, 70},        {m_close, 70}};
    int x = Margin;
    for (const Place &place : places) {
        place.control->setGeometry(x, Margin, place.width, RowHeight);
        x += place.width + Margin;
    }
    const int width = x;
    resize(width, Height);
    setMinimumSize(width, Height / 2);
    const QRect listArea(Margin, Margin * 2 + RowHeight, width - 2 * Margin, Height - 3 * Margin - RowHeight);
    m_list->setGeometry(listArea);
    for (const Place &place : places)
        m_controlOffsets << QPoint(width - place.control->x(), place.control->y());
    m_listFarOffset = QPoint(width - listArea.right(), Height - listArea.bottom());

    m_list->SetSortEnabled(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

    connect(m_generate, &QPushButton::clicked, this, &CReportDlg::OnGenerate);
    connect(m_find, &QPushButton::clicked, this, &CReportDlg::OnFind);
    connect(m_print, &QPushButton::clicked, this, &CReportDlg::OnPrint);
    connect(m_export, &QPushButton::clicked, this, &CReportDlg::OnExport);
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);

    ShowTable(AnnualTemplate());
    FillColumnTitles();
    m_reportKinds->addItems(ReadReportNames());
    if (m_reportKinds->count())
        m_reportKinds->setCurrentIndex(0);
    m_billKinds = ReadReportKinds();
}

int CReportDlg::FindPosition() {
    return SharedFindPosition();
}

void CReportDlg::SetFindPosition(int row) {
    SharedFindPosition() = row;
}

void CReportDlg::resizeEvent(QResizeEvent *event) {
    QDialog::resizeEvent(event);
    if (m_controlOffsets.isEmpty())
        return;
    const QSize size = event->size();
    const QList<QWidget *> controls = {m_reportKinds, m_generate, m_columnTitles, m_searchText,
                                       m_find,        m_print,    m_export,       m_close};
    for (int i = 0; i < controls.size() && i < m_controlOffsets.size(); ++i)
        controls[i]->move(size.width() - m_controlOffsets[i].x(), m_controlOffsets[i].y());
    const QRect list = m_list->geometry();
    m_list->setGeometry(
        QRect(list.topLeft(), QPoint(size.width() - m_listFarOffset.x(), size.height() - m_listFarOffset.y())));
    update();
}

void CReportDlg::OnGenerate() {
    const int position = m_reportKinds->currentIndex();
    if (position < 0 || position >= Positions)
        return;
    CPeriodDlg period(PeriodCaption(position), position == DepartmentMonthly, this);
    if (RunModal(period) != QDialog::Accepted)
        return;
    CReportTable report;
    if (!Generate(position, period.FromText(), period.ToText(), period.Department(), report))
        return;
    ShowTable(report);
    FillColumnTitles();
    setWindowTitle(position == DepartmentMonthly ? QStringLiteral("%1--%2").arg(MonthlyName, period.Department())
                                                 : PeriodCaption(position));
}

bool CReportDlg::Generate(int position, const QString &from, const QString &to, const QString &department,
                          CReportTable &report) {
    // The window stays drawn and the clerk sees how far the report has come; the dialog takes no
    // input until the report is there.
    QProgressDialog progress(QStringLiteral("正在生成报表，请稍候..."), QString(), 0, 0, this);
    progress.setWindowTitle(PeriodCaption(position));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ReportProgress tell = [&progress](int done, int total) {
        if (progress.maximum() != total)
            progress.setRange(0, total);
        progress.setValue(total ? done : 0);
        QApplication::processEvents();
    };
    switch (position) {
    case Annual:
        report = AnnualAuditTable(m_billKinds, from, to, tell);
        break;
    case Monthly:
        report = MonthlyReport(from, to, tell);
        break;
    case DepartmentMonthly:
        report = DepartmentMonthlyReport(from, to, department, tell);
        break;
    case Cancellation:
        report = CancellationDetail(from, to, tell);
        break;
    case Inventory:
        report = InventorySummary(m_billKinds, from, to, tell);
        break;
    default:
        break;
    }
    QApplication::restoreOverrideCursor();
    return position >= 0 && position < Positions;
}

// Each column is at least as wide as its widest text, so that amounts show and print whole.
void CReportDlg::ShowTable(const CReportTable &report) {
    const QFontMetrics metrics = m_list->horizontalHeader()->fontMetrics();
    const int padding = metrics.averageCharWidth() * 2;
    m_list->setUpdatesEnabled(false);
    m_list->ClearColumns();
    for (int c = 0; c < report.titles.size(); ++c) {
        const int given = c < report.widths.size() ? report.widths[c] : CReportTable::TitleWidth;
        int width = std::max(given, metrics.horizontalAdvance(report.titles[c]) + padding);
        // The longest text of the column, and the first and last rows, where the figures and totals stand.
        int longest = -1;
        for (int r = 0; r < report.rows.size(); ++r) {
            const QString &text = report.rows[r].value(c);
            if (longest < 0 || text.size() > report.rows[longest].value(c).size())
                longest = r;
            if (r < 200 || r >= report.rows.size() - 20)
                width = std::max(width, metrics.horizontalAdvance(text) + padding);
        }
        if (longest >= 0)
            width = std::max(width, metrics.horizontalAdvance(report.rows[longest].value(c)) + padding);
        m_list->InsertColumn(c, report.titles[c], width);
    }
    for (const QStringList &cells : report.rows) {
        const int row = m_list->AppendRow();
        for (int c = 0; c < cells.size(); ++c)
            if (!cells[c].isEmpty())
                m_list->SetItemText(row, c, cells[c]);
    }
    m_list->setUpdatesEnabled(true);
}

void CReportDlg::FillColumnTitles() {
    m_columnTitles->clear();
    m_columnTitles->addItems(m_list->GetHeaderTitles());
    if (m_columnTitles->count())
        m_columnTitles->setCurrentIndex(0);
}

void CReportDlg::OnFind() {
    m_list->FindText(m_columnTitles->currentText(), m_searchText->text(), SharedFindPosition(), false);
}

void CReportDlg::OnPrint() {
    if (m_list->RowCount() > 0)
        PrintList(*m_list, m_reportKinds->currentText());
}

void CReportDlg::OnExport() {
    if (m_list->RowCount() > 0)
        ExportList(*m_list, m_reportKinds->currentText(), this);
}
