#pragma once
#include <QString>
#include <optional>

// Books written straight into Bill_Info for the report tests, with the times, departments and
// returned figures the reports read. Numbers are eight digits without prefix or suffix.
struct SeedBook {
    QString kind;
    double begin = 1;
    int sheets = 25;
    std::optional<double> total = 50.0;
    bool nonFixed = false;
    QString flag = QStringLiteral("库存");
    QString stockTime = QStringLiteral("2004-12-1 9:0:0");
    QString issueTime;
    QString dept;
    QString returnTime;
    std::optional<int> returnSheets;
    std::optional<double> returnTotal;

    // Issued to the department at the time and still out.
    SeedBook &Issued(const QString &time, const QString &department);
    // Returned at the time with the sheets used and the money collected.
    SeedBook &Returned(const QString &time, int sheetsUsed, double money);
    SeedBook &Flag(const char *state);
    SeedBook &Stocked(const QString &time);
};

SeedBook Book(const QString &kind, double begin, int sheets, std::optional<double> total);
// Writes the book; returns its first number text.
QString AddBook(const SeedBook &book);
QString NumberText(double value);

// The small store the golden tables are generated from: three kinds (one of non-fixed amount),
// three departments, books in stock, out, returned, partly returned, returned and voided, around
// January 2005.
void SeedGoldenBooks();
