#pragma once
#include "reports/PrintEngine.h"

#include <QString>

class QPrinter;
class QWidget;

// A window part printed as it looks (the overview): one page with the title, "执收单位：" and the
// print time over the picture scaled to the page, shown in the same preview as every list, from which
// it prints or is exported.
void PrintPicture(QWidget &widget, const QString &title, QWidget *parent);
PrintOutcome PrintPictureOn(QPrinter &printer, QWidget &widget, const QString &title);

// "导出": asks for the file and writes the picture as PNG or as the printed page in PDF, by its suffix.
bool ExportPicture(QWidget &widget, const QString &title, QWidget *parent);
bool ExportPictureTo(QWidget &widget, const QString &title, const QString &path, QString *error);
