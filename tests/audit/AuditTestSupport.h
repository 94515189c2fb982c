#pragma once
// Helpers the log and audit tests share: the entries of the log as readable lines.
#include "app/Database.h"

#include <QString>
#include <QStringList>

// One line per entry in the order written: operation|document|kind|first|last|count|amount|detail.
inline QStringList LogLines(const QString &where = QStringLiteral("1 = 1")) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QStringLiteral("SELECT Bill_Log_Operation, CASE WHEN Bill_Log_Document_No IS NULL THEN '' ELSE "
                                "printf('%.0f', Bill_Log_Document_No) END, "
                                "Bill_Log_Kind, Bill_Log_Begin_Char, Bill_Log_End_Char, Bill_Log_Amount, "
                                "printf('%.2f', Bill_Log_Total), Bill_Log_Detail FROM Bill_Log_Info WHERE ") +
                 where + QStringLiteral(" ORDER BY Bill_Log_ID"));
    QStringList lines;
    for (; !db.IsEOF(); db.MoveNext()) {
        QStringList cells;
        for (int i = 0; i < db.ColumnCount(); ++i) {
            QString cell;
            db.ReadFieldText(i, cell);
            cells << cell;
        }
        lines << cells.join(QLatin1Char('|'));
    }
    db.CloseQuery();
    return lines;
}

// The operations of the entries, in the order written.
inline QStringList LogOperationsWritten() {
    QStringList operations;
    for (const QString &line : LogLines())
        operations << line.section(QLatin1Char('|'), 0, 0);
    return operations;
}
