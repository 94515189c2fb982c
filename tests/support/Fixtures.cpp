#include "tests/support/Fixtures.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "bills/BillNumbers.h"
#include "schema/Schema.h"

using namespace schema;

namespace {
CDatabase &Db() { return TheDatabase(); }
QByteArray Q(const QString &s) { return Quote(s); }
} // namespace

void AddMainKind(const QString &name) {
    Db().ExecuteStatement(
        QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Bill_Main_Kind_Info, Bill_Main_Kind_Name, Q(name).constData()));
}

void AddKind(const KindSpec &k) {
    Db().OpenQuery(QString::asprintf("SELECT * FROM %s WHERE %s = '%s'", Bill_Main_Kind_Info, Bill_Main_Kind_Name,
                                     Q(k.mainKind).constData()));
    const bool haveMain = !Db().IsEOF();
    Db().CloseQuery();
    if (!haveMain && !k.mainKind.isEmpty())
        AddMainKind(k.mainKind);
    Db().ExecuteStatement(QString::asprintf(
        "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES ('%s',%f,%d,%f,'%s','%s',%d,'%s',%s)", Bill_Kind_Info,
        Bill_Kind_Name, Bill_Kind_Unit_Price, Bill_Kind_Unit_Amount, Bill_Kind_Unit_Total, Bill_Kind_Prefix,
        Bill_Kind_Suffix, Bill_Kind_Length, Bill_Kind_Main_Kind, Bill_Kind_NoneFixed, Q(k.name).constData(),
        k.noneFixed ? 0.0 : k.unitPrice, k.unitAmount, k.noneFixed ? 0.0 : k.unitPrice * k.unitAmount,
        Q(k.prefix).constData(), Q(k.suffix).constData(), k.length, Q(k.mainKind).constData(),
        k.noneFixed ? "TRUE" : "FALSE"));
}

void AddDepartment(const QString &name) {
    Db().ExecuteStatement(
        QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Bill_Dept_Info, Bill_Dept_Name, Q(name).constData()));
}

void AddBroker(const QString &name, const QString &department) {
    Db().ExecuteStatement(QString::asprintf(
        "INSERT INTO %s (%s,%s) SELECT '%s', MIN(%s) FROM %s WHERE %s = '%s'", Bill_Broker_Info, Bill_Broker_Name,
        Bill_Broker_Dept, Q(name).constData(), Bill_Dept_ID, Bill_Dept_Info, Bill_Dept_Name, Q(department).constData()));
}

void AddMaker(const QString &name) {
    Db().ExecuteStatement(
        QString::asprintf("INSERT INTO %s (%s) VALUES ('%s')", Bill_Made_Info, Bill_Made_Name, Q(name).constData()));
}

void AddManager(const QString &name, bool current) {
    if (current)
        Db().ExecuteStatement(QString::asprintf("UPDATE %s SET %s = FALSE", Bill_Manager_Info, Bill_Manager_Cur));
    Db().ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s) VALUES ('%s',%s)", Bill_Manager_Info,
                                            Bill_Manager_Name, Bill_Manager_Cur, Q(name).constData(),
                                            current ? "TRUE" : "FALSE"));
}

void AddUser(const QString &name, const QString &password, const QString &rights) {
    Db().ExecuteStatement(QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s) VALUES ('%s','%s','%s',1,0)",
                                            Bill_Password_Info, Bill_Password_User, Bill_Password_PWD,
                                            Bill_Password_Popedom, Bill_Password_Number, Bill_Password_Sex,
                                            Q(name).constData(), Q(password).constData(), Q(rights).constData()));
}

QString AddStockRun(const KindSpec &k, double begin, double documentNo) {
    const double end = begin + k.unitAmount - 1;
    const QString first = FormatBillNumber(k.prefix, begin, k.suffix, k.length);
    const QString last = FormatBillNumber(k.prefix, end, k.suffix, k.length);
    const double price = k.noneFixed ? 0.0 : k.unitPrice;
    Db().ExecuteStatement(QString::asprintf(
        "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES "
        "('%s',%f,%d,%f,'%s','%s','%s','%s',%f,%f,'%s','%s','%s','%s','%s','%s',%s,%f)",
        Bill_Info, Bill_Kind, Bill_Unit_Price, Bill_Unit_Amount, Bill_Unit_Total, Bill_Begin_Char, Bill_End_Char,
        Bill_Prefix, Bill_Suffix, Bill_Begin_Int, Bill_End_Int, Bill_Repository_Time, Bill_Repository_Manager,
        Bill_Made_Time, Bill_Made_Units, Bill_Flag, Bill_Main_Kind, Bill_NoneFixed_Sum, Bill_Repository_No,
        Q(k.name).constData(), price, k.unitAmount, price * k.unitAmount, Q(first).constData(), Q(last).constData(),
        Q(k.prefix).constData(), Q(k.suffix).constData(), begin, end, "2026-1-5 9:0:0", "张三", "2026-1-1 0:0:0",
        "印刷厂", FlagStock, Q(k.mainKind).constData(), k.noneFixed ? "TRUE" : "FALSE", documentNo));
    if (k.noneFixed) {
        for (int i = 1; i <= k.unitAmount; ++i)
            Db().ExecuteStatement(QString::asprintf(
                "INSERT INTO %s (%s,%s,%s,%s,%s,%s) VALUES ('%s','%s','%s','%s',%f,0)", Bill_NoneFixed_Manifest_Info,
                Bill_NoneFixed_Kind, Bill_NoneFixed_Main_Kind, Bill_NoneFixed_Begin_Char, Bill_NoneFixed_Inner_Char,
                Bill_NoneFixed_Inner_Int, Bill_NoneFixed_Unit_Price, Q(k.name).constData(), Q(k.mainKind).constData(),
                Q(first).constData(),
                Q(FormatBillNumber(k.prefix, begin + i - 1, k.suffix, k.length)).constData(), double(i)));
    }
    return first;
}
