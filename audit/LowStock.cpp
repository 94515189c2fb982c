#include "audit/LowStock.h"

#include "app/Database.h"
#include "schema/Schema.h"

using namespace schema;

QVector<ShortKind> ShortKinds() {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT k.%s AS %s, k.%s AS %s, (SELECT COUNT(*) FROM %s AS b WHERE b.%s = k.%s AND "
                                   "b.%s = '%s') AS %s FROM %s AS k WHERE k.%s > 0 ORDER BY k.%s",
                                   Bill_Kind_Name, Bill_Kind_Name, Bill_Kind_Stock_Limit, Bill_Kind_Stock_Limit,
                                   Bill_Info, Bill_Kind, Bill_Kind_Name, Bill_Flag, FlagStock, "InStock",
                                   Bill_Kind_Info, Bill_Kind_Stock_Limit, Bill_Kind_Name));
    QVector<ShortKind> kinds;
    for (; !db.IsEOF(); db.MoveNext()) {
        ShortKind kind;
        double limit = 0;
        double inStock = 0;
        db.ReadFieldText(0, kind.kind);
        db.ReadFieldNumber(1, limit);
        db.ReadFieldNumber(2, inStock);
        kind.limit = int(limit);
        kind.inStock = int(inStock);
        if (kind.inStock < kind.limit)
            kinds.append(kind);
    }
    db.CloseQuery();
    return kinds;
}

QString LowStockWarning(const QVector<ShortKind> &kinds) {
    if (kinds.isEmpty())
        return QString();
    QString text = QStringLiteral("以下票据类型库存不足：\n");
    for (const ShortKind &k : kinds)
        text += QStringLiteral("\n%1：库存 %2 本，库存下限 %3 本").arg(k.kind).arg(k.inStock).arg(k.limit);
    return text;
}
