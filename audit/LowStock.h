#pragma once
#include <QString>
#include <QVector>

// Kinds running short: a kind with a low-stock limit ("库存下限", in books; 0 for none) is short
// while it holds fewer books in stock than the limit.

struct ShortKind {
    QString kind;
    int inStock = 0;
    int limit = 0;
};

// The short kinds by name. Throws CDbError.
QVector<ShortKind> ShortKinds();

// The one message after login; empty when no kind is short.
QString LowStockWarning(const QVector<ShortKind> &kinds);

// What follows a short kind's name in the repository view.
inline const QString LowStockMark = QStringLiteral("（库存不足）");
