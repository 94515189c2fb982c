#pragma once
// Helpers the log and audit tests share: the entries of the log as readable lines.
#include "app/Database.h"

#include <QString>
#include <QStringList>

// One line per entry in the order written: operation|document|kind|first|last|count|amount|detail.
inline QStringList LogLines(const QString &where = QStringLiteral("1 = 1")) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QStringLiteral("SELECT Bill_Log_Operation, Bill_Log_Document_No, Bill_Log_Kind, Bill_Log_Begin_Char, "
                                "Bill_Log_End_Char, Bill_Log_Amount, Bill_Log_Total, Bill_Log_Detail FROM Bill_Log_Info "
                                "WHERE ") +
                 where + QStringLiteral(" ORDER BY Bill_Log_ID"));
    enum { Document = 1, Total = 6 };
    QStringList lines;
    for (; !db.IsEOF(); db.MoveNext()) {
        QStringList cells;
        for (int i = 0; i < db.ColumnCount(); ++i) {
            // The document number whole, the amount to the cent.
            QString cell;
            double number = 0;
            if (i == Document || i == Total)
                cell = db.ReadFieldNumber(i, number) ? QString::number(number, 'f', i == Total ? 2 : 0) : QString();
            else
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
