#include "audit/OperationLog.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "schema/Schema.h"

#include <QDateTime>
#include <sodium.h>

using namespace schema;

namespace {

QString &CurrentLogUser() {
    static QString user;
    return user;
}

// Numbers are hashed and stored as these texts, so the hash of a stored entry is made again exactly.
QByteArray DocumentText(double documentNo) {
    return documentNo == 0 ? QByteArray() : QByteArray::number(documentNo, 'f', 0);
}

QByteArray AmountText(double amount) {
    return QByteArray::number(amount, 'f', 2);
}

void AppendField(QByteArray &message, QByteArrayView field) {
    message.append(field);
    // The unit separator never stands in a typed text, so no two different entries join alike.
    message.append('\x1f');
}

struct HeadOfChain {
    qint64 no = 0;
    QByteArray hash;
};

HeadOfChain ReadHead(CDatabase &db) {
    HeadOfChain head;
    db.OpenQuery(QString::asprintf("SELECT %s, %s FROM %s WHERE %s = (SELECT MAX(%s) FROM %s)", Bill_Log_No,
                                   Bill_Log_Hash, Bill_Log_Info, Bill_Log_ID, Bill_Log_ID, Bill_Log_Info));
    if (!db.IsEOF()) {
        double no = 0;
        db.ReadFieldNumber(0, no);
        head.no = qint64(no);
        QString hash;
        db.ReadFieldText(1, hash);
        head.hash = hash.toLatin1();
    }
    db.CloseQuery();
    return head;
}

QString NowText() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

void SetLogUser(const QString &user) {
    CurrentLogUser() = user;
}

QString LogUser() {
    return CurrentLogUser();
}

void LogEntryMessage(const LogHashFields &f, QByteArrayView previousHash, QByteArray &message) {
    message.clear();
    AppendField(message, QByteArray::number(f.no));
    AppendField(message, f.time);
    AppendField(message, f.user);
    AppendField(message, f.operation);
    AppendField(message, DocumentText(f.documentNo));
    AppendField(message, f.kind);
    AppendField(message, f.first);
    AppendField(message, f.last);
    AppendField(message, QByteArray::number(f.count));
    AppendField(message, AmountText(f.amount));
    AppendField(message, f.detail);
    message.append(previousHash);
}

QByteArray LogHash(QByteArrayView message) {
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char *>(message.data()),
                       static_cast<unsigned long long>(message.size()));
    QByteArray hex(2 * crypto_hash_sha256_BYTES + 1, Qt::Uninitialized);
    sodium_bin2hex(hex.data(), size_t(hex.size()), digest, sizeof digest);
    hex.chop(1);
    return hex;
}

QByteArray LogEntryHash(const LogHashFields &f, QByteArrayView previousHash, QByteArray &message) {
    LogEntryMessage(f, previousHash, message);
    return LogHash(message);
}

void WriteLog(const QVector<LogEntry> &entries, const QString &user) {
    if (entries.isEmpty())
        return;
    CDatabase &db = TheDatabase();
    CTransaction transaction(db);
    // One chain: the head is read and extended by one desk at a time, until its transaction ends.
    db.HoldUntilCommit(QStringLiteral("the operation log"));
    HeadOfChain head = ReadHead(db);
    const QByteArray time = NowText().toUtf8();
    const QByteArray userText = user.toUtf8();
    QByteArray message;
    // The entries go to the store through one prepared insert, in one exchange with a server.
    QVector<QVector<SqlValue>> rows;
    rows.reserve(entries.size());
    for (const LogEntry &e : entries) {
        const QByteArray operation = e.operation.toUtf8();
        const QByteArray kind = e.kind.toUtf8();
        const QByteArray first = e.first.toUtf8();
        const QByteArray last = e.last.toUtf8();
        const QByteArray detail = e.detail.toUtf8();
        // The amount is kept in cents as it is hashed, so the stored number hashes the same again.
        const QByteArray amount = AmountText(e.amount);
        const QByteArray document = DocumentText(e.documentNo);
        LogHashFields fields{head.no + 1, time,    userText,          operation, document.toDouble(), kind, first,
                             last,        e.count, amount.toDouble(), detail};
        const QByteArray hash = LogEntryHash(fields, head.hash, message);
        rows.append({IntegerValue(fields.no), TextValue(QString::fromUtf8(time)), TextValue(user),
                     TextValue(e.operation), document.isEmpty() ? NullValue() : RealValue(fields.documentNo),
                     TextValue(e.kind), TextValue(e.first), TextValue(e.last), IntegerValue(e.count),
                     RealValue(fields.amount), TextValue(e.detail), TextValue(QString::fromLatin1(hash))});
        head = {fields.no, hash};
    }
    db.ExecutePrepared(QString::asprintf("INSERT INTO %s (%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s) VALUES "
                                         "(?,?,?,?,?,?,?,?,?,?,?,?)",
                                         Bill_Log_Info, Bill_Log_No, Bill_Log_Time, Bill_Log_User, Bill_Log_Operation,
                                         Bill_Log_Document_No, Bill_Log_Kind, Bill_Log_Begin_Char, Bill_Log_End_Char,
                                         Bill_Log_Amount, Bill_Log_Total, Bill_Log_Detail, Bill_Log_Hash),
                       rows);
    transaction.Commit();
}

void WriteLog(const LogEntry &entry, const QString &user) {
    WriteLog(QVector<LogEntry>{entry}, user);
}

QString LogCheckCode(const QByteArray &hash) {
    return QString::fromLatin1(hash.left(16)).toUpper();
}

QByteArray ReadChainHead(CDatabase &db) {
    return ReadHead(db).hash;
}

QString ChainHeadCode() {
    const QByteArray head = ReadChainHead(TheDatabase());
    return head.isEmpty() ? QString() : LogCheckCode(head);
}

QString ChainHeadFooter() {
    try {
        const QString code = ChainHeadCode();
        return code.isEmpty() ? QString() : QStringLiteral("日志校验码：%1").arg(code);
    } catch (const CDbError &) {
        // A report prints without the code rather than not at all; the log dialog tells the failure.
        return QString();
    }
}
