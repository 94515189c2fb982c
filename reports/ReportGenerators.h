#pragma once
#include "bills/BillNumbers.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The reports the unit hands to the finance office: each generator reads Bill_Info for a period and
// returns the table the report dialog shows and prints. Money is summed in whole cents, so a total
// over thousands of books is right to the cent. The generators only read the store.

// A generated report: column titles, their widths on screen and the rows of cell texts.
struct CReportTable {
    // A width of -1 leaves the column as wide as its title or its widest text.
    static constexpr int TitleWidth = -1;

    QStringList titles;
    QList<int> widths;
    QList<QStringList> rows;

    int Column(const QString &title) const { return int(titles.indexOf(title)); }
    // Appends an empty row and returns it.
    QStringList &AppendRow();
};

// Told how far a generator has come: done steps out of total (total 0 when it is not known).
using ReportProgress = std::function<void(int done, int total)>;

// The report kinds of Report_Info in list order; a failure is reported and keeps what was read.
QStringList ReadReportNames();
// The bill kinds the generators go through, by name; a failure is reported and keeps what was read.
QStringList ReadReportKinds();

// The layouts loaded from the template tables, with the rows stored there.
CReportTable AnnualTemplate();
CReportTable MonthlyTemplate();

// Position 4: per kind and book amount, the books taken into stock in the period and still in stock.
CReportTable InventorySummary(const QStringList &kinds, const QString &from, const QString &to,
                              const ReportProgress &progress = {});
// Position 1: books issued in the period and still out, by department with a subtotal each.
CReportTable MonthlyReport(const QString &from, const QString &to, const ReportProgress &progress = {});
// Position 2: the same for one department, without subtotals.
CReportTable DepartmentMonthlyReport(const QString &from, const QString &to, const QString &department,
                                     const ReportProgress &progress = {});
// Position 3: every book returned in the period, whatever its state now.
CReportTable CancellationDetail(const QString &from, const QString &to, const ReportProgress &progress = {});
// Position 0: per kind, carried over, drawn and carried forward books in number ranges.
CReportTable AnnualAuditTable(const QStringList &kinds, const QString &from, const QString &to,
                              const ReportProgress &progress = {});
