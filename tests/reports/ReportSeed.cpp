#include "tests/reports/ReportSeed.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "bills/BillNumbers.h"
#include "schema/Schema.h"
#include "tests/support/Fixtures.h"

#include <QStringList>

using namespace schema;

SeedBook &SeedBook::Issued(const QString &time, const QString &department) {
    issueTime = time;
    dept = department;
    flag = QString::fromUtf8(FlagIssued);
    return *this;
}

SeedBook &SeedBook::Returned(const QString &time, int sheetsUsed, double money) {
    returnTime = time;
    returnSheets = sheetsUsed;
    returnTotal = money;
    flag = QString::fromUtf8(FlagReturned);
    return *this;
}

SeedBook &SeedBook::Flag(const char *state) {
    flag = QString::fromUtf8(state);
    return *this;
}

SeedBook &SeedBook::Stocked(const QString &time) {
    stockTime = time;
    return *this;
}

SeedBook Book(const QString &kind, double begin, int sheets, std::optional<double> total) {
    SeedBook book;
    book.kind = kind;
    book.begin = begin;
    book.sheets = sheets;
    book.total = total;
    return book;
}

QString NumberText(double value) {
    return FormatBillNumber(QString(), value, QString(), 8);
}

QString AddBook(const SeedBook &b) {
    QStringList columns;
    QStringList values;
    const auto text = [&](const char *column, const QString &value) {
        if (value.isEmpty())
            return;
        columns << QLatin1String(column);
        values << QuoteText(value);
    };
    const auto number = [&](const char *column, double value) {
        columns << QLatin1String(column);
        values << QString::asprintf("%f", value);
    };
    const double end = b.begin + b.sheets - 1;
    text(Bill_Kind, b.kind);
    text(Bill_Main_Kind, QStringLiteral("行政事业性收费"));
    text(Bill_Begin_Char, NumberText(b.begin));
    text(Bill_End_Char, NumberText(end));
    number(Bill_Begin_Int, b.begin);
    number(Bill_End_Int, end);
    number(Bill_Unit_Amount, b.sheets);
    if (b.total) {
        number(Bill_Unit_Total, *b.total);
        number(Bill_Unit_Price, *b.total / b.sheets);
    }
    text(Bill_Flag, b.flag);
    text(Bill_Repository_Time, b.stockTime);
    text(Bill_Issue_Time, b.issueTime);
    text(Bill_Issue_Dept, b.dept);
    text(Bill_Return_Time, b.returnTime);
    if (b.returnSheets) {
        number(Bill_Unit_Return_Amount, *b.returnSheets);
        text(Bill_Return_End_Char, NumberText(b.begin + *b.returnSheets - 1));
        number(Bill_Return_End_Int, b.begin + *b.returnSheets - 1);
    }
    if (b.returnTotal)
        number(Bill_Unit_Return_Total, *b.returnTotal);
    columns << QLatin1String(Bill_NoneFixed_Sum);
    values << QLatin1String(b.nonFixed ? "TRUE" : "FALSE");
    TheDatabase().ExecuteStatement(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(QLatin1String(Bill_Info), columns.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
    return NumberText(b.begin);
}

void SeedGoldenBooks() {
    const QString a = QStringLiteral("行政收费票据");
    const QString b = QStringLiteral("基金票据");
    const QString c = QStringLiteral("不定额票据");
    const QString office = QStringLiteral("财务科");
    const QString hall = QStringLiteral("办证大厅");
    const QString squad = QStringLiteral("稽查队");
    KindSpec kind;
    kind.mainKind = QStringLiteral("行政事业性收费");
    kind.name = a;
    kind.unitAmount = 25;
    kind.unitPrice = 2;
    AddKind(kind);
    kind.name = b;
    kind.unitAmount = 50;
    kind.unitPrice = 1.5;
    AddKind(kind);
    kind.name = c;
    kind.unitAmount = 10;
    kind.noneFixed = true;
    AddKind(kind);
    for (const QString &dept : {office, hall, squad})
        AddDepartment(dept);

    // Drawn last year, returned in January: one range of two books, 5 yuan short.
    AddBook(Book(a, 1, 25, 50).Issued("2004-12-10 9:0:0", office).Returned("2005-1-10 10:0:0", 25, 50));
    AddBook(Book(a, 26, 25, 50).Issued("2004-12-10 9:0:0", office).Returned("2005-1-10 11:0:0", 25, 45));
    // Drawn and returned in January; the first only up to 70, which ends its range.
    AddBook(Book(a, 51, 25, 50).Issued("2005-1-5 9:0:0", hall).Returned("2005-1-20 9:0:0", 20, 40));
    AddBook(Book(a, 76, 25, 50).Issued("2005-1-5 9:0:0", hall).Returned("2005-1-20 10:0:0", 25, 50));
    // Drawn in January and still out.
    AddBook(Book(a, 101, 25, 50).Issued("2005-1-15 9:0:0", squad));
    AddBook(Book(a, 126, 25, 50).Issued("2005-1-15 10:0:0", squad));
    // In stock: taken in during January, and one second after it.
    AddBook(Book(a, 151, 25, 50).Stocked("2005-1-3 8:0:0"));
    AddBook(Book(a, 176, 25, 50).Stocked("2005-2-1 0:0:0"));
    // Drawn in January and voided.
    AddBook(Book(a, 201, 25, 50).Issued("2005-1-8 9:0:0", office).Flag(FlagVoid));
    // Its return document was cancelled: out again, with the money of that return still recorded.
    SeedBook reopened = Book(a, 226, 25, 50).Issued("2005-1-9 9:0:0", hall);
    reopened.returnTime = QStringLiteral("2005-1-12 10:0:0");
    reopened.returnTotal = 30;
    AddBook(reopened);
    // Returned in January, voided since.
    AddBook(Book(a, 251, 25, 50).Issued("2004-12-20 9:0:0", office).Returned("2005-1-28 9:0:0", 25, 50).Flag(FlagVoid));

    // The price of a book changed from 75 to 100 between two consecutive books.
    AddBook(Book(b, 1, 50, 75).Issued("2005-2-1 9:0:0", office).Returned("2005-3-1 9:0:0", 50, 75));
    AddBook(Book(b, 51, 50, 100).Issued("2005-2-1 9:0:0", office).Returned("2005-3-1 10:0:0", 50, 100));
    // Two book amounts in stock.
    AddBook(Book(b, 101, 50, 100).Stocked("2005-1-4 8:0:0"));
    AddBook(Book(b, 151, 50, 75).Stocked("2005-1-4 8:0:0"));

    // Non-fixed amounts: each book is worth what was collected on it.
    SeedBook first = Book(c, 1, 10, 0).Issued("2005-1-6 8:0:0", hall).Returned("2005-1-25 9:0:0", 10, 123.45);
    SeedBook second = Book(c, 11, 10, 0).Issued("2005-1-6 8:0:0", hall).Returned("2005-1-25 10:0:0", 10, 67.89);
    SeedBook third = Book(c, 21, 10, 0).Issued("2005-1-6 9:0:0", hall);
    for (SeedBook *book : {&first, &second, &third}) {
        book->nonFixed = true;
        AddBook(*book);
    }
}
