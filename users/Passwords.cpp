#include "users/Passwords.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/OperationLog.h"
#include "schema/Schema.h"

#include <QVector>
#include <sodium.h>

using namespace schema;

namespace {

// Argon2id at the library's interactive strength: about a tenth of a second per check on a small
// office machine, slow enough that guessing through a stolen file takes years, quick enough for a clerk.
constexpr unsigned long long HashOpsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr size_t HashMemLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

void RequireSodium() {
    static const int ready = sodium_init();
    if (ready < 0)
        throw CDbError(QStringLiteral("无法初始化密码运算库，密码无法处理。"));
}

// One account's row: its key and its password (empty when absent).
struct StoredPassword {
    bool found = false;
    double id = 0;
    QString password;
};

// The row the open query stands on.
StoredPassword CurrentAccount(const CDatabase &db) {
    StoredPassword account;
    account.found = true;
    db.ReadFieldNumber(Bill_Password_ID, account.id);
    db.ReadFieldText(Bill_Password_PWD, account.password);
    return account;
}

StoredPassword ReadAccount(const QString &user) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT * FROM %s WHERE %s = '%s' ", Bill_Password_Info, Bill_Password_User,
                                   Quote(user).constData()));
    const StoredPassword account = db.IsEOF() ? StoredPassword() : CurrentAccount(db);
    db.CloseQuery();
    return account;
}

// Replaces the password of the row with this key by its hash; by key, so exactly the row that was read
// is rewritten.
void StoreHashOf(CDatabase &db, double id, const QString &password) {
    db.ExecuteStatement(QString::asprintf("UPDATE %s SET %s = '%s' WHERE %s = %.0f ", Bill_Password_Info,
                                          Bill_Password_PWD, Quote(HashPassword(password)).constData(),
                                          Bill_Password_ID, id));
}

} // namespace

QString HashPassword(const QString &password) {
    RequireSodium();
    const QByteArray utf8 = password.toUtf8();
    char hashed[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hashed, utf8.constData(), static_cast<unsigned long long>(utf8.size()), HashOpsLimit,
                          HashMemLimit) != 0)
        throw CDbError(QStringLiteral("内存不足，无法计算密码的散列值，密码未保存。"));
    return QString::fromLatin1(hashed);
}

bool IsPasswordHash(const QString &stored) {
    return stored.startsWith(QLatin1String("$argon2id$")) || stored.startsWith(QLatin1String("$argon2i$"));
}

bool PasswordMatches(const QString &stored, const QString &typed) {
    if (!IsPasswordHash(stored))
        return stored == typed;
    RequireSodium();
    const QByteArray hash = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(), static_cast<unsigned long long>(utf8.size())) ==
           0;
}

bool ReadStoredPassword(const QString &user, QString &stored) {
    const StoredPassword account = ReadAccount(user);
    stored = account.password;
    return account.found;
}

bool CheckLoginPassword(const QString &user, const QString &typed) {
    const StoredPassword account = ReadAccount(user);
    if (!account.found || !PasswordMatches(account.password, typed))
        return false;
    if (!IsPasswordHash(account.password))
        StoreHashOf(TheDatabase(), account.id, typed);
    return true;
}

bool CheckAndLogLogin(const QString &user, const QString &typed) {
    CTransaction transaction;
    const bool matches = CheckLoginPassword(user, typed);
    LogEntry entry;
    entry.operation = QString::fromUtf8(matches ? logop::Login : logop::FailedLogin);
    entry.detail = matches ? QStringLiteral("用户 %1 登录").arg(user) : QStringLiteral("用户 %1 密码错误").arg(user);
    WriteLog(entry, user);
    transaction.Commit();
    return matches;
}

void HashClearPasswords(CDatabase &db) {
    // Read first: the store has one recordset, and every update below would close it.
    QVector<StoredPassword> clear;
    db.OpenQuery(QString::asprintf("SELECT %s, %s FROM %s ", Bill_Password_ID, Bill_Password_PWD, Bill_Password_Info));
    for (; !db.IsEOF(); db.MoveNext()) {
        const StoredPassword account = CurrentAccount(db);
        if (!IsPasswordHash(account.password))
            clear << account;
    }
    db.CloseQuery();
    for (const StoredPassword &account : std::as_const(clear))
        StoreHashOf(db, account.id, account.password);
}

void WriteUserPassword(const QString &user, const QString &password) {
    CTransaction transaction;
    TheDatabase().ExecuteStatement(QString::asprintf("UPDATE %s SET %s = '%s' WHERE %s = '%s' ", Bill_Password_Info,
                                                     Bill_Password_PWD, Quote(HashPassword(password)).constData(),
                                                     Bill_Password_User, Quote(user).constData()));
    if (TheDatabase().ChangedRows() > 0) {
        LogEntry entry;
        entry.operation = QString::fromUtf8(logop::ChangePassword);
        entry.detail = QStringLiteral("用户 %1 修改了密码").arg(user);
        WriteLog(entry);
    }
    transaction.Commit();
}
