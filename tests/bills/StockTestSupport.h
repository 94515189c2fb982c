#pragma once
// Helpers the stock operation tests share: the kinds they stock and access to dialog widgets.
#include "bills/ModalRunner.h"
#include "bills/ReturnDlg.h"
#include "bills/ReturnLineDlg.h"
#include "lists/QueryListCtrl.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestSupport.h"

#include <QMap>
#include <QObject>
#include <QPushButton>
#include <QSpinBox>
#include <QVector>

template <class T> T *Child(const QObject *parent, const char *name) {
    T *child = parent->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("the dialog has no %s", name);
    return child;
}

inline void Click(const QObject *dialog, const char *button) {
    Child<QPushButton>(dialog, button)->click();
}

// Edits the first pending line of the return dialog to that many used bills, as the clerk does in the
// line editor, and returns every pending line.
inline void ReturnWithFirstLineUsed(CReturnDlg &giveBack, int used) {
    giveBack.PendingList()->SelectRow(0);
    const ModalRunner previous = SetModalRunner([used](QDialog &dialog) {
        auto &editor = dynamic_cast<CReturnLineDlg &>(dialog);
        Child<QSpinBox>(&editor, "returnedCount")->setValue(used);
        Click(&editor, "save");
        return int(QDialog::Accepted);
    });
    Click(&giveBack, "edit");
    SetModalRunner(previous);
    Click(&giveBack, "return");
}

// A kind of fixed price: 8 digits, 100 bills a book at 2 yuan.
inline KindSpec FixedKind(const QString &name = QStringLiteral("收费票据甲")) {
    KindSpec kind;
    kind.name = name;
    kind.mainKind = QStringLiteral("行政事业性收费");
    kind.length = 8;
    kind.unitAmount = 100;
    kind.unitPrice = 2;
    return kind;
}

// A kind of non-fixed amount: 8 digits, 50 bills a book.
inline KindSpec NonFixedKind(const QString &name = QStringLiteral("罚没票据")) {
    KindSpec kind = FixedKind(name);
    kind.mainKind = QStringLiteral("政府性基金");
    kind.unitAmount = 50;
    kind.noneFixed = true;
    return kind;
}

// The master data of an ordinary day: an administrator, a maker, a department with a recipient.
inline void AddMasterData() {
    AddManager(QStringLiteral("王管理"), false);
    AddManager(QStringLiteral("李管理"), true);
    AddMaker(QStringLiteral("省印刷厂"));
    AddDepartment(QStringLiteral("收费科"));
    AddBroker(QStringLiteral("赵领票"), QStringLiteral("收费科"));
}

// Every column of every row of a table, in the order of the key, for comparing before and after.
using StoredRow = QMap<QString, QString>;
inline QVector<StoredRow> StoredRows(const char *table, const char *key) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(QLatin1String(table), QLatin1String(key)));
    QVector<StoredRow> rows;
    for (; !db.IsEOF(); db.MoveNext()) {
        StoredRow row;
        for (int i = 0; i < db.ColumnCount(); ++i) {
            QString value = QStringLiteral("<NULL>");
            db.ReadFieldText(i, value);
            row.insert(db.ColumnName(i), value);
        }
        rows << row;
    }
    db.CloseQuery();
    return rows;
}

// The columns whose values differ between two snapshots of one row.
inline QStringList ChangedColumns(const StoredRow &before, const StoredRow &after) {
    QStringList changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (after.value(it.key()) != it.value())
            changed << it.key();
    return changed;
}
