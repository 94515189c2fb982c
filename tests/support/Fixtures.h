#pragma once
#include <QString>

// Rows the tests start from, written straight into the store.
struct KindSpec {
    QString name;
    QString mainKind;
    QString prefix;
    QString suffix;
    int length = 8;
    int unitAmount = 100; // bills in one book
    double unitPrice = 1.0;
    bool noneFixed = false;
};

void AddMainKind(const QString &name);
// Adds the main kind too when it is not there yet.
void AddKind(const KindSpec &kind);
void AddDepartment(const QString &name);
// The recipient belongs to the first department of that name.
void AddBroker(const QString &name, const QString &department);
void AddMaker(const QString &name);
void AddManager(const QString &name, bool current = false);
void AddUser(const QString &name, const QString &password, const QString &rights);

// One book in stock of the kind, beginning at the value, under the stock-in document number.
// Single-bill rows are written for a kind of non-fixed amount. Returns the begin number text.
QString AddStockRun(const KindSpec &kind, double begin, double documentNo = 100000000000000.0);
