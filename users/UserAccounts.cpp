#include "users/UserAccounts.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "app/TypedNames.h"
#include "audit/OperationLog.h"
#include "schema/Schema.h"
#include "users/Passwords.h"

#include <QDateTime>
#include <QRandomGenerator>

using namespace schema;

const QStringList &UserColumnNames() {
    static const QStringList names = {QLatin1String(Bill_Password_ID),      QLatin1String(Bill_Password_User),
                                      QLatin1String(Bill_Password_PWD),     QLatin1String(Bill_Password_Popedom),
                                      QLatin1String(Bill_Password_Number),  QLatin1String(Bill_Password_Sex),
                                      QLatin1String(Bill_Password_Address), QLatin1String(Bill_Password_Contact),
                                      QLatin1String(Bill_Password_Email),   QLatin1String(Bill_Password_Remark)};
    return names;
}

const QStringList &UserColumnTitles() {
    static const QStringList titles = {
        QStringLiteral("密码表ID"), QStringLiteral("姓名"), QStringLiteral("密码"),     QStringLiteral("权限"),
        QStringLiteral("编号"),     QStringLiteral("性别"), QStringLiteral("家庭地址"), QStringLiteral("联系方式"),
        QStringLiteral("电子邮件"), QStringLiteral("备注")};
    return titles;
}

QString UserColumnTitle(const char *column) {
    const qsizetype at = UserColumnNames().indexOf(QLatin1String(column));
    return at < 0 ? QString() : UserColumnTitles().at(at);
}

QString UserListStatement() {
    const auto title = [](const char *column) { return UserColumnTitle(column).toUtf8(); };
    return QString::asprintf(
        "SELECT %s AS %s,%s AS %s, %s AS %s, %s AS %s, %s AS %s, %s AS %s FROM %s ORDER BY %s ASC", Bill_Password_User,
        title(Bill_Password_User).constData(), Bill_Password_Sex, title(Bill_Password_Sex).constData(),
        Bill_Password_Address, title(Bill_Password_Address).constData(), Bill_Password_Contact,
        title(Bill_Password_Contact).constData(), Bill_Password_Email, title(Bill_Password_Email).constData(),
        Bill_Password_Remark, title(Bill_Password_Remark).constData(), Bill_Password_Info, Bill_Password_User);
}

QString SexText(const QString &stored) {
    return stored == QLatin1String("0") ? QStringLiteral("男") : QStringLiteral("女");
}

QString StoredUserName(const QString &typed) {
    return NormaliseTypedName(typed);
}

bool IsAdministrator(const QString &name) {
    return name == QString::fromUtf8(AdministratorUser);
}

bool UserExists(const QString &name) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s WHERE %s = '%s'", Bill_Password_Info, Bill_Password_User,
                                   Quote(name).constData()));
    const bool found = !db.IsEOF();
    db.CloseQuery();
    return found;
}

int NewUserNumber() {
    // Braces: with parentheses clang reads this line as the declaration of a function.
    static QRandomGenerator generator{quint32(QDateTime::currentMSecsSinceEpoch())};
    return int(generator.bounded(32768));
}

namespace {

// The log entry of an account change; the password never stands in it.
void WriteAccountLog(const char *operation, const QString &detail) {
    LogEntry entry;
    entry.operation = QString::fromUtf8(operation);
    entry.detail = detail;
    WriteLog(entry);
}

QString RightsDetail(const UserAccount &a) {
    return QStringLiteral("用户 %1，权限代码 %2").arg(a.name, a.rights.isEmpty() ? QStringLiteral("无") : a.rights);
}

} // namespace

void InsertUser(const UserAccount &a, int number) {
    CTransaction transaction;
    // Looked at again while no other desk may add an account: two desks adding one name give one.
    TheDatabase().HoldUntilCommit(QStringLiteral("names of accounts"));
    if (UserExists(a.name))
        throw CDbError(QStringLiteral("用户 %1 已经存在：其他操作员刚刚增加了这个用户。").arg(a.name));
    TheDatabase().ExecuteStatement(QString::asprintf(
        "INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES ('%s','%s','%s','%s','%s','%s','%s',%d,%d)",
        Bill_Password_Info, Bill_Password_User, Bill_Password_PWD, Bill_Password_Popedom, Bill_Password_Address,
        Bill_Password_Contact, Bill_Password_Email, Bill_Password_Remark, Bill_Password_Number, Bill_Password_Sex,
        Quote(a.name).constData(), Quote(HashPassword(a.password)).constData(), Quote(a.rights).constData(),
        Quote(a.address).constData(), Quote(a.contact).constData(), Quote(a.email).constData(),
        Quote(a.remark).constData(), number, a.sex));
    WriteAccountLog(logop::AddUser, RightsDetail(a));
    transaction.Commit();
}

void UpdateUser(const UserAccount &a) {
    // An empty password field means "unchanged": the stored hash is not shown, so it cannot be retyped.
    const QByteArray password = a.password.isEmpty() ? QByteArray()
                                                     : QString::asprintf(" %s = '%s', \t\t\t\t", Bill_Password_PWD,
                                                                         Quote(HashPassword(a.password)).constData())
                                                           .toUtf8();
    CTransaction transaction;
    TheDatabase().ExecuteStatement(QString::asprintf(
        "UPDATE %s \t\t\t\tSET %s = '%s', \t\t\t\t%s %s = '%s', \t\t\t\t %s = '%s', \t\t\t\t %s = '%s', \t\t\t\t "
        "%s = '%s', \t\t\t\t %s = '%s', \t\t\t\t %s = %d \t\t\t\tWHERE %s = '%s'",
        Bill_Password_Info, Bill_Password_User, Quote(a.name).constData(), password.constData(), Bill_Password_Popedom,
        Quote(a.rights).constData(), Bill_Password_Address, Quote(a.address).constData(), Bill_Password_Contact,
        Quote(a.contact).constData(), Bill_Password_Email, Quote(a.email).constData(), Bill_Password_Remark,
        Quote(a.remark).constData(), Bill_Password_Sex, a.sex, Bill_Password_User, Quote(a.name).constData()));
    if (TheDatabase().ChangedRows() > 0)
        WriteAccountLog(logop::ChangeUser,
                        RightsDetail(a) + (a.password.isEmpty() ? QString() : QStringLiteral("，密码已改")));
    transaction.Commit();
}

void DeleteUser(const QString &name) {
    CTransaction transaction;
    TheDatabase().ExecuteStatement(QString::asprintf("DELETE * \t\t\t\t\tFROM %s \t\t\t\t\tWHERE %s = '%s'",
                                                     Bill_Password_Info, Bill_Password_User, Quote(name).constData()));
    if (TheDatabase().ChangedRows() > 0)
        WriteAccountLog(logop::DeleteUser, QStringLiteral("用户 %1").arg(name));
    transaction.Commit();
}
