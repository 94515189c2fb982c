#pragma once
#include <QString>

class CDatabase;

// The one place where account passwords are made and checked. A password is kept as a salted Argon2id
// hash; a row written before passwords were hashed still holds the clear text, which is accepted as it
// stands and replaced by a hash the first time its owner logs in.

// A new salted hash of the password, in the store's text form ("$argon2id$...").
// Throws CDbError when the hash cannot be made (out of memory): the operation abandons like any failed write.
QString HashPassword(const QString &password);

// True when the stored text is a hash made by HashPassword, false for a clear password.
bool IsPasswordHash(const QString &stored);

// The typed password checked against the stored text: a hash is verified, a clear password must match
// byte for byte (upper and lower case distinct). An absent password is the empty one.
bool PasswordMatches(const QString &stored, const QString &typed);

// The account's stored password; false when no account has that name. Throws CDbError.
bool ReadStoredPassword(const QString &user, QString &stored);

// The login check: true when the account exists and the typed password matches. An account that still
// holds its password in clear has it replaced by a hash when the check succeeds. Throws CDbError.
bool CheckLoginPassword(const QString &user, const QString &typed);
// The login check with its log entry ("登录" or "登录失败" for the name typed), in one transaction.
// Throws CDbError.
bool CheckAndLogLogin(const QString &user, const QString &typed);

// Replaces every password of the store that is still held in clear (or absent) by its hash, at once and
// without a login: the upgrade of an older file leaves no clear password behind. Throws CDbError.
void HashClearPasswords(CDatabase &db);

// Stores a hash of the new password for the account. Throws CDbError.
void WriteUserPassword(const QString &user, const QString &password);
