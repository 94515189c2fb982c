#pragma once
#include "reports/ListExport.h"

#include <QString>
#include <functional>

class CQueryListCtrl;
class QWidget;

// What the list shows, in its column order: header titles and cell texts.
ExportTable TableOfList(const CQueryListCtrl &list, const QString &tableName);

// "导出": asks for the file, the table name proposed as its name, and writes the list as an Excel
// workbook, CSV or PDF by the type chosen. Tells the clerk where it went and whether cells were cut,
// or why it failed and that an existing file was left as it was; a cancelled file dialog does nothing.
// True when a file was written.
bool ExportList(CQueryListCtrl &list, const QString &tableName, QWidget *parent = nullptr);

// Writes the list into the file, its type taken from the suffix (.xlsx, .csv, .pdf), under a temporary
// name that replaces the file only once it is whole. False with the reason in error; an existing file
// is then as it was. cutCells tells how many workbook cells were cut to Excel's limit.
bool ExportListTo(CQueryListCtrl &list, const QString &tableName, const QString &path, QString *error,
                  int *cutCells = nullptr);

// "导出" of anything: asks for the file, name and suffix proposed (a proposed .png offers PNG and PDF,
// anything else Excel, CSV and PDF), writes it and tells the clerk where "what" (表格, 概览) went or
// why it failed. The writer may add a remark to the message of success. True when a file was written.
using FileWriter = std::function<bool(const QString &path, QString *error, QString *remark)>;
bool ExportAsked(const QString &name, const QString &what, const QString &suffix, QWidget *parent,
                 const FileWriter &write);

// Asks for the file to write: proposed path in, chosen path out; false when cancelled. Tests install
// their own to answer without a dialog; returns the one it replaces.
using SaveFileRunner = std::function<bool(QString &path, QWidget *parent)>;
SaveFileRunner SetSaveFileRunner(SaveFileRunner runner);
