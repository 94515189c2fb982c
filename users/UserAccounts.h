#pragma once
#include <QString>
#include <QStringList>

// Accounts of Bill_Password_Info as the account dialog reads and writes them. Every write throws
// CDbError on failure; passwords go through the password module and are stored as hashes.

struct UserAccount {
    QString name;
    QString password; // as typed; empty on an existing account keeps the stored one
    QString rights;
    QString address;
    QString contact;
    QString email;
    QString remark;
    int sex = 0; // 0 male, 1 female
};

// The column names of an account and the titles the account dialog shows for them, in parallel.
const QStringList &UserColumnNames();
const QStringList &UserColumnTitles();
// The title of a column name; empty for a name that is not an account column.
QString UserColumnTitle(const char *column);

// The user list: name, sex, address, contact, e-mail and remark of every account, by name.
QString UserListStatement();

// How the list shows a stored sex: "男" for 0, "女" for anything else.
QString SexText(const QString &stored);

// A name as it is stored and compared (NormaliseTypedName): without invisible characters,
// compatibility forms folded, without leading and trailing blanks.
QString StoredUserName(const QString &typed);

// True for the built-in account, which no dialog may change.
bool IsAdministrator(const QString &name);

// True when an account of that name exists. Throws CDbError.
bool UserExists(const QString &name);

// A pseudo-random account number from 0 to 32767, set once when the account is made.
int NewUserNumber();

// Adds the account with a hash of its password; an account of that name, which another desk may
// have added since it was looked for, is refused. Throws CDbError.
void InsertUser(const UserAccount &account, int number);
// Rewrites the account of that name; its number stays, and so does its password when none was typed.
// Throws CDbError.
void UpdateUser(const UserAccount &account);
// Removes the account of that name. Throws CDbError.
void DeleteUser(const QString &name);
