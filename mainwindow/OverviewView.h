#pragma once
#include "mainwindow/Overview.h"

#include <QWidget>

class QBarSet;
class QChartView;
class QLabel;
class QTreeWidget;

// The overview ("概览") in place of the main list: the figures of the stock, a bar chart of every
// kind's books in stock, out and returned, a line chart of the money collected month by month, and
// the kinds below their low-stock limit and the books out too long. Clicking a bar or a row tells
// the main window which rows to list.
class COverviewView : public QWidget {
    Q_OBJECT
public:
    // The bar sets of the kind chart, left to right.
    enum BookState { InStock = 0, Out = 1, Returned = 2 };

    explicit COverviewView(QWidget *parent = nullptr);

    // Shows the figures; the charts and lists are made afresh.
    void ShowFigures(const OverviewFigures &figures);
    const OverviewFigures &Figures() const { return m_figures; }

    // The parts, by name, for the main window and the tests.
    QLabel *FigureLabel(const QString &name) const;
    QChartView *KindChart() const { return m_kindChart; }
    QChartView *MoneyChart() const { return m_moneyChart; }
    QBarSet *KindBars(BookState state) const;
    QTreeWidget *LowStockList() const { return m_lowStock; }
    QTreeWidget *OverdueList() const { return m_overdue; }

signals:
    void KindChosen(const QString &kind, int state);
    void LowStockChosen(const QString &kind);
    void OverdueChosen(const OverdueBook &book);

private:
    QWidget *BuildFigures();
    QWidget *BuildList(QTreeWidget *&list, const QString &caption, const QStringList &titles);
    void FillKindChart();
    void FillMoneyChart();
    void FillLists();

    OverviewFigures m_figures;
    QWidget *m_figureBand = nullptr;
    QChartView *m_kindChart = nullptr;
    QChartView *m_moneyChart = nullptr;
    QList<QBarSet *> m_kindBars;
    QTreeWidget *m_lowStock = nullptr;
    QTreeWidget *m_overdue = nullptr;
};
