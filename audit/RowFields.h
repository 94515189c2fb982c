#pragma once

#include "app/Database.h"

#include <QByteArrayView>

// The current row's fields as the audits read them: a missing text is empty, a missing number is the
// value given. Texts point into the row until the cursor moves on.
inline QByteArrayView FieldUtf8(const CDatabase &db, int column) {
    QByteArrayView value;
    return db.ReadFieldUtf8(column, value) ? value : QByteArrayView();
}

inline double FieldNumber(const CDatabase &db, int column, double absent = 0) {
    double value = absent;
    db.ReadFieldNumber(column, value);
    return value;
}
