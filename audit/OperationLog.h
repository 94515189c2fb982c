#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

class CDatabase;

// The operation log: every change the program makes is written as entries in the transaction of
// the change, so a change that fails leaves no entry. Each entry carries a SHA-256 over its own
// columns and the hash of the entry before it; the hash of the last entry, the chain head, stands for
// the whole log up to it.

// What one entry tells: the operation in words, its document, the book (kind, first and last number)
// with its count and amount, and a short detail. A document number of 0 is written as none.
struct LogEntry {
    QString operation;
    double documentNo = 0;
    QString kind;
    QString first;
    QString last;
    int count = 0;
    double amount = 0;
    QString detail;
};

// The words of the operations the log records.
namespace logop {
constexpr const char *StockIn = "票据入库";
constexpr const char *Issue = "票据发放";
constexpr const char *Return = "票据回收";
constexpr const char *Amount = "不固定金额";
constexpr const char *Void = "票据作废";
constexpr const char *Delete = "票据删除";
constexpr const char *ForcedDelete = "强制删除";
constexpr const char *KindDelete = "类型删除";
constexpr const char *CancelStockIn = "撤销入库单";
constexpr const char *CancelIssue = "撤销出库单";
constexpr const char *CancelReturn = "撤销回收单";
constexpr const char *AddMaster = "增加基础资料";
constexpr const char *DeleteMaster = "删除基础资料";
constexpr const char *SetManager = "设置当前管理员";
constexpr const char *StockLimit = "设置库存下限";
constexpr const char *AddUser = "增加用户";
constexpr const char *ChangeUser = "修改用户";
constexpr const char *DeleteUser = "删除用户";
constexpr const char *ChangePassword = "修改密码";
constexpr const char *Login = "登录";
constexpr const char *FailedLogin = "登录失败";
constexpr const char *Exit = "退出";
} // namespace logop

// The user the entries are written for: the one logged in.
void SetLogUser(const QString &user);
QString LogUser();

// Appends the entries after the chain head, stamped with now and the user. Runs inside the caller's
// transaction (or a transaction of its own when there is none). Throws CDbError.
void WriteLog(const QVector<LogEntry> &entries, const QString &user = LogUser());
void WriteLog(const LogEntry &entry, const QString &user = LogUser());

// The columns of a stored entry that its hash covers, as UTF-8 texts and numbers.
struct LogHashFields {
    qint64 no = 0;
    QByteArrayView time;
    QByteArrayView user;
    QByteArrayView operation;
    double documentNo = 0;
    QByteArrayView kind;
    QByteArrayView first;
    QByteArrayView last;
    qint64 count = 0;
    double amount = 0;
    QByteArrayView detail;
};

// What the hash of an entry covers: its fields, then the hash before it (empty for the first entry).
void LogEntryMessage(const LogHashFields &fields, QByteArrayView previousHash, QByteArray &message);

// The SHA-256 of a message as 64 lowercase hex digits.
QByteArray LogHash(QByteArrayView message);

// The SHA-256 of an entry chained to the hash before it, as 64 lowercase hex digits. message is
// scratch space, kept by a caller that hashes many entries.
QByteArray LogEntryHash(const LogHashFields &fields, QByteArrayView previousHash, QByteArray &message);

// The first 16 hex digits of a hash: what prints and shows as "日志校验码".
QString LogCheckCode(const QByteArray &hash);

// The hash of the last entry; empty while the log is empty. Throws CDbError.
QByteArray ReadChainHead(CDatabase &db);
// The head's check code, or empty while the log is empty. Throws CDbError.
QString ChainHeadCode();
// The line that prints at the foot of every report and document: "日志校验码：…"; empty when the log
// cannot be read or is empty.
QString ChainHeadFooter();
