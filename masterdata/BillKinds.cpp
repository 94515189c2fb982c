#include "masterdata/BillKinds.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "masterdata/NameTable.h"
#include "schema/Schema.h"

using namespace schema;

bool HasRequiredKindValues(const KindEntry &entry) {
    return !entry.name.isEmpty() && (entry.noneFixed || entry.unitPrice != 0) && entry.unitAmount != 0 &&
           entry.length != 0;
}

int TextWidth(const QString &text) {
    int width = 0;
    for (QChar c : text)
        width += c.unicode() < 0x80 ? 1 : 2;
    return width;
}

QString WithoutSpaces(const QString &text) {
    QString result = text;
    return result.remove(u' ');
}

qint64 KindDigits(const KindEntry &entry) {
    return entry.length - TextWidth(entry.prefix) - TextWidth(entry.suffix);
}

bool IsKindDigitsValid(qint64 digits) {
    return digits >= 1 && digits <= MaxKindDigits;
}

void ExecuteInsertKind(const KindEntry &entry, int digits) {
    const QByteArray name = Quote(entry.name);
    const QByteArray prefix = Quote(entry.prefix);
    const QByteArray suffix = Quote(entry.suffix);
    const QByteArray mainKind = Quote(entry.mainKind);
    CTransaction transaction;
    if (entry.noneFixed) {
        TheDatabase().ExecuteStatement(QString::asprintf(
            "INSERT INTO %s \t\t\t\t\t(%s,%s,%s,%s,%s,%s,%s,%s) \t\t\t\t\tVALUES \t\t\t\t\t('%s',%d, "
            "\t\t\t\t\t'%s','%s',%d,'%s',%s,%d)",
            Bill_Kind_Info, Bill_Kind_Name, Bill_Kind_Unit_Amount, Bill_Kind_Prefix, Bill_Kind_Suffix, Bill_Kind_Length,
            Bill_Kind_Main_Kind, Bill_Kind_NoneFixed, Bill_Kind_Stock_Limit, name.constData(), entry.unitAmount,
            prefix.constData(), suffix.constData(), digits, mainKind.constData(), "TRUE", entry.stockLimit));
    } else {
        TheDatabase().ExecuteStatement(QString::asprintf(
            "INSERT INTO %s \t\t\t\t\t(%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) \t\t\t\t\tVALUES \t\t\t\t\t('%s',%.2f,%d,%.2f, "
            "\t\t\t\t\t'%s','%s',%d,'%s',%s,%d)",
            Bill_Kind_Info, Bill_Kind_Name, Bill_Kind_Unit_Price, Bill_Kind_Unit_Amount, Bill_Kind_Unit_Total,
            Bill_Kind_Prefix, Bill_Kind_Suffix, Bill_Kind_Length, Bill_Kind_Main_Kind, Bill_Kind_NoneFixed,
            Bill_Kind_Stock_Limit, name.constData(), entry.unitPrice, entry.unitAmount,
            entry.unitPrice * entry.unitAmount, prefix.constData(), suffix.constData(), digits, mainKind.constData(),
            "FALSE", entry.stockLimit));
    }
    WriteMasterLog(logop::AddMaster, nametables::Kinds.caption, entry.name);
    transaction.Commit();
}

void SetKindStockLimit(const QString &name, int limit) {
    CTransaction transaction;
    TheDatabase().ExecuteStatement(QString::asprintf("UPDATE %s SET %s = %d WHERE %s = '%s'", Bill_Kind_Info,
                                                     Bill_Kind_Stock_Limit, limit, Bill_Kind_Name,
                                                     Quote(name).constData()));
    if (TheDatabase().ChangedRows() > 0) {
        LogEntry entry;
        entry.operation = QString::fromUtf8(logop::StockLimit);
        entry.kind = name;
        entry.detail = QStringLiteral("库存下限 %1 本").arg(limit);
        WriteLog(entry);
    }
    transaction.Commit();
}

QString KindListStatement() {
    return QString::asprintf("SELECT %s AS 票据类型,%s AS 单价,%s AS 张数,%s AS 金额,%s AS 前缀,%s AS 后缀,%s AS "
                             "长度,%s AS 票据主类型,%s AS 不固定金额票据,%s AS 库存下限 FROM %s ORDER BY %s ASC",
                             Bill_Kind_Name, Bill_Kind_Unit_Price, Bill_Kind_Unit_Amount, Bill_Kind_Unit_Total,
                             Bill_Kind_Prefix, Bill_Kind_Suffix, Bill_Kind_Length, Bill_Kind_Main_Kind,
                             Bill_Kind_NoneFixed, Bill_Kind_Stock_Limit, Bill_Kind_Info, Bill_Kind_Name);
}

QString MainKindListStatement() {
    return QString::asprintf("SELECT %s AS 票据主类型 FROM %s ORDER BY %s ASC", Bill_Main_Kind_Name,
                             Bill_Main_Kind_Info, Bill_Main_Kind_ID);
}

QStringList MainKindNames() {
    return QueryNames(QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", Bill_Main_Kind_Info, Bill_Main_Kind_ID),
                      Bill_Main_Kind_Name);
}
