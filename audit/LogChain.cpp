#include "audit/LogChain.h"

#include "app/Database.h"
#include "audit/OperationLog.h"
#include "audit/RowFields.h"
#include "schema/Schema.h"

#include <cctype>
#include <future>
#include <vector>

using namespace schema;

namespace {

enum Column { Id, No, Time, User, Operation, Document, Kind, First, Last, Count, Total, Detail, Hash };

// The entry of the current row as its hash covers it. Texts point into the row until the next move.
LogHashFields RowFields(const CDatabase &db) {
    LogHashFields f;
    f.no = qint64(FieldNumber(db, No));
    f.time = FieldUtf8(db, Time);
    f.user = FieldUtf8(db, User);
    f.operation = FieldUtf8(db, Operation);
    f.documentNo = FieldNumber(db, Document);
    f.kind = FieldUtf8(db, Kind);
    f.first = FieldUtf8(db, First);
    f.last = FieldUtf8(db, Last);
    f.count = qint64(FieldNumber(db, Count));
    f.amount = FieldNumber(db, Total);
    f.detail = FieldUtf8(db, Detail);
    return f;
}

QString LogInOrderStatement() {
    return QString::asprintf("SELECT %s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s FROM %s ORDER BY %s", Bill_Log_ID,
                             Bill_Log_No, Bill_Log_Time, Bill_Log_User, Bill_Log_Operation, Bill_Log_Document_No,
                             Bill_Log_Kind, Bill_Log_Begin_Char, Bill_Log_End_Char, Bill_Log_Amount, Bill_Log_Total,
                             Bill_Log_Detail, Bill_Log_Hash, Bill_Log_Info, Bill_Log_ID);
}

// Entries read and not yet hashed: each message ends with the stored hash of the entry before it.
struct Batch {
    std::vector<QByteArray> messages;
    std::vector<QByteArray> hashes;
};

bool BatchChains(const Batch &batch) {
    for (size_t i = 0; i < batch.messages.size(); ++i)
        if (LogHash(batch.messages[i]) != batch.hashes[i])
            return false;
    return true;
}

// The common case, a whole log, checked fast. Each entry is hashed against the stored hash of the
// entry before it, so the entries do not wait for each other: a batch is hashed on another core while
// the next is read. False at the first entry out of place, which the walk then names.
bool IsChainWhole(CDatabase &db, const QByteArray &wanted, LogCheck &check) {
    constexpr size_t BatchSize = 4096;
    std::future<bool> hashing;
    Batch batch;
    QByteArray previous;
    qint64 expected = 1;
    bool whole = true;
    db.OpenQuery(LogInOrderStatement());
    for (; whole && !db.IsEOF(); db.MoveNext()) {
        if (qint64(FieldNumber(db, No, -1)) != expected) {
            whole = false;
            break;
        }
        batch.messages.emplace_back();
        LogEntryMessage(RowFields(db), previous, batch.messages.back());
        previous = FieldUtf8(db, Hash).toByteArray();
        if (!wanted.isEmpty() && previous.startsWith(wanted))
            check.codeFound = true;
        batch.hashes.push_back(previous);
        ++expected;
        if (batch.messages.size() == BatchSize) {
            if (hashing.valid())
                whole = hashing.get();
            hashing = std::async(std::launch::async, [full = std::move(batch)] { return BatchChains(full); });
            batch = Batch();
        }
    }
    db.CloseQuery();
    if (hashing.valid())
        whole = hashing.get() && whole;
    check.entries = expected - 1;
    return whole && BatchChains(batch);
}

// Walks the log entry by entry and names the first that is out of place.
LogCheck WalkChain(CDatabase &db, const QByteArray &wanted) {
    LogCheck check;
    QByteArray previous;
    QByteArray message;
    qint64 expected = 1;
    // An entry whose hash is wrong was changed, unless the entry after it chains to the one before
    // it: then it was put in between.
    qint64 suspectId = 0;
    db.OpenQuery(LogInOrderStatement());
    for (; !db.IsEOF(); db.MoveNext()) {
        const qint64 id = qint64(FieldNumber(db, Id));
        const qint64 no = qint64(FieldNumber(db, No, -1));
        const LogHashFields fields = RowFields(db);
        const QByteArrayView stored = FieldUtf8(db, Hash);
        const bool chains = no == expected && LogEntryHash(fields, previous, message) == stored;
        if (suspectId) {
            check.finding = chains ? LogCheck::Inserted : LogCheck::Changed;
            check.no = expected;
            check.id = suspectId;
            break;
        }
        if (no < expected) {
            check.finding = LogCheck::Inserted;
            check.no = expected;
            check.id = id;
            break;
        }
        if (no > expected) {
            check.finding = LogCheck::Removed;
            check.no = expected;
            check.missing = no - expected;
            break;
        }
        if (!chains) {
            suspectId = id;
            continue;
        }
        previous = stored.toByteArray();
        if (!wanted.isEmpty() && previous.startsWith(wanted))
            check.codeFound = true;
        ++check.entries;
        ++expected;
    }
    db.CloseQuery();
    if (suspectId && check.finding == LogCheck::Whole) {
        check.finding = LogCheck::Changed;
        check.no = expected;
        check.id = suspectId;
    }
    return check;
}

} // namespace

LogCheck CheckLogChain(CDatabase &db, const QString &code) {
    const QByteArray wanted = code.trimmed().toLower().toLatin1();
    LogCheck check;
    return IsChainWhole(db, wanted, check) ? check : WalkChain(db, wanted);
}

bool IsLogCheckCode(const QString &text) {
    if (text.size() != 16)
        return false;
    for (QChar c : text)
        if (c.unicode() > 127 || !std::isxdigit(c.unicode()))
            return false;
    return true;
}

QString LogCheckText(const LogCheck &check) {
    switch (check.finding) {
    case LogCheck::Whole:
        return QStringLiteral("日志校验通过：%1 条日志前后相连，没有被改动。").arg(check.entries);
    case LogCheck::Changed:
        return QStringLiteral("日志校验未通过：第 %1 条日志（记录号 %2）在程序之外被修改。")
            .arg(check.no)
            .arg(check.id);
    case LogCheck::Removed:
        return QStringLiteral("日志校验未通过：第 %1 条日志起有 %2 条在程序之外被删除。")
            .arg(check.no)
            .arg(check.missing);
    case LogCheck::Inserted:
        return QStringLiteral("日志校验未通过：第 %1 条日志处有一条（记录号 %2）是在程序之外插入的。")
            .arg(check.no)
            .arg(check.id);
    }
    return QString();
}

QString CodeCheckText(const LogCheck &check, const QString &code) {
    const QString shown = code.trimmed().toUpper();
    if (check.codeFound)
        return QStringLiteral("日志校验码 %1 仍在日志链中：到它为止的日志没有被改写。").arg(shown);
    return QStringLiteral("日志校验码 %1 不在日志链中：打印它之后日志被改写过，或者它不是本系统打印的校验码。")
        .arg(shown);
}
