#include "mainwindow/OverviewView.h"

#include "reports/ReportGenerators.h"
#include "resources/Artwork.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace {

// The colours of the skin: the bars in stock in the accent blue, those out in orange, the returned
// ones in green; texts and grid as in the panels around them.
const QColor TitleColor(0x1d, 0x3b, 0x5a);
const QColor TextColor(0x4a, 0x5a, 0x6b);
const QColor GridColor(0xd9, 0xe0, 0xe8);
const QColor OutColor(224, 142, 43);
const QColor ReturnedColor(60, 154, 95);

struct FigureSpec {
    const char *name;
    const char *caption;
};
const FigureSpec kFigures[] = {
    {"stockBooks", "库存票据"},    {"stockValue", "库存面值"},     {"outBooks", "运作中"},
    {"monthReturned", "本月回收"}, {"monthCollected", "本月实收"}, {"yearReturned", "本年回收"},
    {"yearCollected", "本年实收"}, {"yearVoided", "本年作废"},
};

QString Books(int count) {
    return QStringLiteral("%1 本").arg(count);
}

QChart *SkinnedChart(const QString &title) {
    auto *chart = new QChart;
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setBold(true);
    font.setPixelSize(14);
    chart->setTitleFont(font);
    chart->setTitleBrush(TitleColor);
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(Qt::white);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->legend()->setLabelColor(TextColor);
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

void StyleAxis(QAbstractAxis *axis) {
    axis->setLabelsColor(TextColor);
    axis->setGridLineColor(GridColor);
    axis->setLinePenColor(GridColor);
}

QChartView *MakeChartView(const QString &objectName) {
    auto *view = new QChartView;
    view->setObjectName(objectName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(220);
    return view;
}

// A value axis from 0 to a round number above the largest value, whole steps only: an axis of small
// counts reaches 4 at least, so that its steps stay whole.
QValueAxis *CountAxis(double largest, const QString &title) {
    auto *axis = new QValueAxis;
    axis->setRange(0, std::max(4.0, largest));
    axis->applyNiceNumbers();
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setTitleText(title);
    axis->setTitleBrush(TextColor);
    StyleAxis(axis);
    return axis;
}

} // namespace

COverviewView::COverviewView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("overview"));
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(8, 8, 8, 8);
    page->setSpacing(8);
    page->addWidget(BuildFigures());

    auto *charts = new QHBoxLayout;
    charts->setSpacing(8);
    m_kindChart = MakeChartView(QStringLiteral("kindChart"));
    m_moneyChart = MakeChartView(QStringLiteral("moneyChart"));
    charts->addWidget(m_kindChart, 3);
    charts->addWidget(m_moneyChart, 2);
    page->addLayout(charts, 1);

    auto *lists = new QHBoxLayout;
    lists->setSpacing(8);
    lists->addWidget(BuildList(m_lowStock, QStringLiteral("库存不足的票据类型"),
                               {QStringLiteral("票据类型"), QStringLiteral("库存"), QStringLiteral("库存下限")}));
    lists->addWidget(BuildList(m_overdue, QStringLiteral("领出超过%1天的票据").arg(OverdueDays),
                               {QStringLiteral("票据类型"), QStringLiteral("开始编号"), QStringLiteral("结尾编号"),
                                QStringLiteral("领票部门"), QStringLiteral("领票人"), QStringLiteral("领票时间"),
                                QStringLiteral("天数")}),
                     2);
    page->addLayout(lists);
    m_lowStock->setObjectName(QStringLiteral("lowStockList"));
    m_overdue->setObjectName(QStringLiteral("overdueList"));
    connect(m_lowStock, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { emit LowStockChosen(item->text(0)); });
    connect(m_overdue, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        const int row = m_overdue->indexOfTopLevelItem(item);
        if (row >= 0 && row < m_figures.overdue.size())
            emit OverdueChosen(m_figures.overdue.at(row));
    });
    ShowFigures(OverviewFigures());
}

QWidget *COverviewView::BuildFigures() {
    auto *grid = new QGridLayout;
    grid->setContentsMargins(12, 8, 12, 8);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(2);
    int column = 0;
    for (const FigureSpec &spec : kFigures) {
        auto *caption = new QLabel(QString::fromUtf8(spec.caption));
        caption->setObjectName(QStringLiteral("figureCaption"));
        auto *value = new QLabel;
        value->setObjectName(QString::fromLatin1(spec.name));
        value->setProperty("figure", true);
        grid->addWidget(caption, 0, column);
        grid->addWidget(value, 1, column);
        ++column;
    }
    m_figureBand = new QWidget;
    m_figureBand->setObjectName(QStringLiteral("overviewFigures"));
    m_figureBand->setAttribute(Qt::WA_StyledBackground);
    m_figureBand->setLayout(grid);
    return m_figureBand;
}

QWidget *COverviewView::BuildList(QTreeWidget *&list, const QString &caption, const QStringList &titles) {
    auto *box = new QVBoxLayout;
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(4);
    auto *title = new QLabel(caption);
    title->setObjectName(QStringLiteral("panelTitle"));
    box->addWidget(title);
    list = new QTreeWidget;
    list->setRootIsDecorated(false);
    list->setHeaderLabels(titles);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setMaximumHeight(150);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    box->addWidget(list);
    auto *holder = new QWidget;
    holder->setLayout(box);
    return holder;
}

QLabel *COverviewView::FigureLabel(const QString &name) const {
    return m_figureBand->findChild<QLabel *>(name);
}

QBarSet *COverviewView::KindBars(BookState state) const {
    return m_kindBars.value(int(state));
}

void COverviewView::ShowFigures(const OverviewFigures &figures) {
    m_figures = figures;
    FigureLabel(QStringLiteral("stockBooks"))->setText(Books(figures.booksInStock));
    FigureLabel(QStringLiteral("stockValue"))->setText(FormatCents(figures.stockCents));
    FigureLabel(QStringLiteral("outBooks"))->setText(Books(figures.booksOut));
    FigureLabel(QStringLiteral("monthReturned"))->setText(Books(figures.returnedThisMonth));
    FigureLabel(QStringLiteral("monthCollected"))->setText(FormatCents(figures.collectedThisMonthCents));
    FigureLabel(QStringLiteral("yearReturned"))->setText(Books(figures.returnedThisYear));
    FigureLabel(QStringLiteral("yearCollected"))->setText(FormatCents(figures.collectedThisYearCents));
    FigureLabel(QStringLiteral("yearVoided"))->setText(Books(figures.voidedThisYear));
    FillKindChart();
    FillMoneyChart();
    FillLists();
}

void COverviewView::FillKindChart() {
    QChart *chart = SkinnedChart(QStringLiteral("各类票据（本）"));
    m_kindBars.clear();
    auto *series = new QBarSeries;
    const QStringList names = {QStringLiteral("库存"), QStringLiteral("运作"), QStringLiteral("回收")};
    const QList<QColor> colours = {artwork::AccentColor(), OutColor, ReturnedColor};
    QStringList kinds;
    int largest = 0;
    for (int state = InStock; state <= Returned; ++state) {
        auto *set = new QBarSet(names.at(state));
        set->setColor(colours.at(state));
        set->setBorderColor(colours.at(state).darker(115));
        for (const KindFigures &kind : m_figures.kinds) {
            const int books = state == InStock ? kind.inStock : state == Out ? kind.out : kind.returned;
            *set << books;
            largest = std::max(largest, books);
        }
        connect(set, &QBarSet::clicked, this, [this, state](int index) {
            if (index >= 0 && index < m_figures.kinds.size())
                emit KindChosen(m_figures.kinds.at(index).kind, state);
        });
        series->append(set);
        m_kindBars << set;
    }
    for (const KindFigures &kind : m_figures.kinds)
        kinds << kind.kind;
    chart->addSeries(series);
    auto *categories = new QBarCategoryAxis;
    categories->append(kinds);
    StyleAxis(categories);
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);
    QValueAxis *counts = CountAxis(largest, QString());
    chart->addAxis(counts, Qt::AlignLeft);
    series->attachAxis(counts);
    // The old chart goes with its view's replacement.
    QChart *old = m_kindChart->chart();
    m_kindChart->setChart(chart);
    delete old;
}

void COverviewView::FillMoneyChart() {
    QChart *chart = SkinnedChart(QStringLiteral("近%1个月实收金额（元）").arg(OverviewMonths));
    chart->legend()->hide();
    auto *line = new QLineSeries;
    line->setName(QStringLiteral("实收金额"));
    QPen pen(artwork::AccentColor());
    pen.setWidth(2);
    line->setPen(pen);
    auto *points = new QScatterSeries;
    points->setMarkerSize(7);
    points->setColor(artwork::AccentColor());
    points->setBorderColor(Qt::white);
    QStringList months;
    double largest = 0;
    const bool anyMoney = std::any_of(m_figures.months.cbegin(), m_figures.months.cend(),
                                      [](const MonthMoney &month) { return month.cents != 0; });
    for (int i = 0; i < m_figures.months.size(); ++i) {
        const MonthMoney &month = m_figures.months.at(i);
        // Twelve labels share the width: the month's number only, the axis says they are months.
        months << QString::number(month.month.month());
        const double yuan = double(month.cents) / 100.0;
        largest = std::max(largest, yuan);
        // A chart with nothing collected draws no line at all.
        if (anyMoney) {
            line->append(i, yuan);
            points->append(i, yuan);
        }
    }
    chart->addSeries(line);
    chart->addSeries(points);
    auto *axisX = new QBarCategoryAxis;
    axisX->append(months);
    axisX->setTitleText(QStringLiteral("月份"));
    axisX->setTitleBrush(TextColor);
    StyleAxis(axisX);
    chart->addAxis(axisX, Qt::AlignBottom);
    QValueAxis *axisY = CountAxis(largest, QString());
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QAbstractSeries *series : chart->series()) {
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    QChart *old = m_moneyChart->chart();
    m_moneyChart->setChart(chart);
    delete old;
}

void COverviewView::FillLists() {
    m_lowStock->clear();
    for (const ShortKind &kind : m_figures.lowStock)
        m_lowStock->addTopLevelItem(new QTreeWidgetItem({kind.kind, Books(kind.inStock), Books(kind.limit)}));
    m_overdue->clear();
    for (const OverdueBook &book : m_figures.overdue)
        m_overdue->addTopLevelItem(new QTreeWidgetItem({book.kind, book.begin, book.end, book.department,
                                                        book.recipient, book.issued, QString::number(book.days)}));
}
