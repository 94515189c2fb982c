#pragma once
#include "lists/PrintLayout.h"

#include <QFont>
#include <QString>
#include <functional>

class CQueryListCtrl;
class QPrinter;
class QWidget;

// Prints what the list shows as a ruled table: title line with the table name, "执收单位：" and the
// print time; a shaded header band with the column titles; one line per row; the signature line and
// "--第%d/%d页--" on every page. Shows the pages in a preview first, from which the clerk prints
// (asked for the printer; cancelling prints nothing) or exports the list. Every header
// column prints, in the list's order, sized by its measured title and texts to span the page width
// (the page turned to landscape when the columns need it); names that do not fit are cut at a whole
// character, numbers, amounts and dates always print whole.
void PrintList(CQueryListCtrl &list, const QString &tableName);

enum class PrintOutcome {
    Printed, // every page was printed
    NoRows,  // an empty list: no job was started and nothing was printed
    Refused, // the page holds no rows: the user was told and nothing was printed
    Failed,   // the job could not start or a page could not be begun; pages before it stay printed
    Cancelled // the print dialog was cancelled: nothing was printed
};

// The printing itself, onto a printer already chosen (tests print into a PDF file this way).
PrintOutcome PrintListOn(QPrinter &printer, CQueryListCtrl &list, const QString &tableName);

// The print dialog on the printer, then the pages onto it: what "打印" in the preview does.
using PagePrinter = std::function<PrintOutcome(QPrinter &printer)>;
PrintOutcome PrintWithDialog(QPrinter &printer, const PagePrinter &printOn, QWidget *parent);

// The font a list is printed in and the page geometry it gives on the printer.
QFont PrintFont();
PageGeometry PrintGeometryOf(QPrinter &printer);

// Runs the print dialog on the printer and tells whether the user chose to print. Tests install their
// own to print without a dialog; returns the runner it replaces.
using PrintDialogRunner = std::function<bool(QPrinter &printer, QWidget *parent)>;
PrintDialogRunner SetPrintDialogRunner(PrintDialogRunner runner);
