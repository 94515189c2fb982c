#include "app/Database.h"

#include "app/DatabaseCollation.h"
#include "app/Dialect.h"
#include "app/Messages.h"
#include "schema/Schema.h"
#include "schema/SchemaTables.h"
#include "users/Passwords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cmath>

namespace {

// Cached prepared forms of changing statements; cleared when it grows past this.
constexpr int kCacheLimit = 256;

QString LastMessage(sqlite3 *db) {
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
}

// What a clerk expects to read: 100000000000000 rather than 1e+14, 12.5, 2.
QByteArray NumberUtf8(double v) {
    char buffer[64];
    std::to_chars_result r;
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e18)
        r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(v));
    else
        r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15);
    return QByteArray(buffer, r.ptr - buffer);
}

bool IsChangingStatement(const QString &text) {
    QStringView s = QStringView(text).trimmed();
    for (const char *word : {"INSERT", "UPDATE", "DELETE"})
        if (s.startsWith(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}

// A file that must not be used, and why.
struct OpenRefusal {
    OpenFailure failure;
    QString message;
};

int PinyinCollation(void *, int lengthA, const void *a, int lengthB, const void *b) {
    return ComparePinyin(QStringView(static_cast<const char16_t *>(a), lengthA / 2),
                         QStringView(static_cast<const char16_t *>(b), lengthB / 2));
}

// Writable for this process, and not marked read-only by its owner: a file its owner made read-only
// is left alone even by an account that could override the mark.
bool IsWritable(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::access(name.constData(), W_OK) != 0 || ::stat(name.constData(), &st) != 0)
        return false;
    return st.st_uid != ::geteuid() || (st.st_mode & S_IWUSR) != 0;
}

// "Pelorvanide.dat.v0.bak", or with a number when that name is taken.
QString FreeBackupName(const QString &path, int version) {
    const QString base = QStringLiteral("%1.v%2").arg(path).arg(version);
    QString name = base + QStringLiteral(".bak");
    for (int k = 2; QFileInfo::exists(name); ++k)
        name = QStringLiteral("%1-%2.bak").arg(base).arg(k);
    return name;
}

} // namespace

CDatabase::~CDatabase() {
    Close();
}

QByteArray CDatabase::FixedKey() {
    return QByteArrayLiteral("mqzvrxtplwkdnhjyce");
}

bool CDatabase::Open(const QString &path, QString *error, bool create) {
    Close();
    m_openFailure = OpenFailure::None;
    m_backupPath.clear();
    sqlite3 *db = nullptr;
    // The program works on one thread, so the connection needs no locking of its own.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    QString message;
    OpenFailure failure = OpenFailure::Unusable;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        message = LastMessage(db);
    } else {
        const QByteArray key = FixedKey();
        sqlite3_key(db, key.constData(), key.size());
        // Pages of 4 KiB: fewer pages to encrypt and authenticate than the 1 KiB default. Every file of
        // the program is written and read with this size.
        sqlite3_exec(db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
        // What is deleted or replaced is overwritten in the file, so a password replaced by its hash (the
        // upgrade hashes them all) stays neither in the file nor in backups copied from it page by page.
        sqlite3_exec(db, "PRAGMA secure_delete = ON", nullptr, nullptr, nullptr);
        sqlite3_create_collation16(db, u"PINYIN", SQLITE_UTF16, nullptr, PinyinCollation);
        m_db = db;
        try {
            // A plain SQLite library would ignore the key and write an unencrypted file.
            OpenQuery(QStringLiteral("PRAGMA cipher_version"));
            const bool encrypted = !IsEOF();
            CloseQuery();
            if (!encrypted)
                throw CDbError(QStringLiteral("the store has no encryption"));
            if (!create)
                CheckExistingFile(path);
            // Pages are decrypted on every read from disk; a larger cache keeps a day's work in memory.
            Exec("PRAGMA cache_size = -65536");
            return true;
        } catch (const CDbError &e) {
            message = e.Message();
        } catch (const OpenRefusal &r) {
            failure = r.failure;
            message = r.message;
        }
        CloseQuery();
        ClearCache();
        m_depth = 0;
        m_db = nullptr;
    }
    sqlite3_close(db);
    m_openFailure = failure;
    if (error)
        *error = message;
    return false;
}

void CDatabase::CheckExistingFile(const QString &path) {
    // Every page is read and its structure checked, so a damaged file is refused before anything is
    // written into it.
    OpenQuery(QStringLiteral("PRAGMA quick_check"));
    QString verdict;
    ReadFieldText(0, verdict);
    CloseQuery();
    if (verdict != QLatin1String("ok"))
        throw OpenRefusal{OpenFailure::Unusable, QStringLiteral("damaged file: %1").arg(verdict)};
    OpenQuery(QStringLiteral("PRAGMA user_version"));
    double version = 0;
    ReadFieldNumber(0, version);
    CloseQuery();
    if (version > schema::CurrentSchemaVersion)
        throw OpenRefusal{OpenFailure::Unusable, QStringLiteral("file of a newer version %1").arg(version)};
    QString problem;
    if (!schema::HasEveryTableAndColumn(*this, int(version), &problem))
        throw OpenRefusal{OpenFailure::Unusable, QStringLiteral("not a Pelorvanide data file: %1").arg(problem)};
    if (sqlite3_db_readonly(m_db, "main") == 1 || !IsWritable(path))
        throw OpenRefusal{OpenFailure::ReadOnlyFile, QStringLiteral("the file cannot be written")};
    if (!IsWritable(QFileInfo(path).absolutePath()))
        throw OpenRefusal{OpenFailure::ReadOnlyFolder, QStringLiteral("the folder cannot be written")};
    if (version == schema::CurrentSchemaVersion)
        return;
    const QString backup = FreeBackupName(path, int(version));
    if (!QFile::copy(path, backup) || QFileInfo(backup).size() != QFileInfo(path).size()) {
        QFile::remove(backup);
        throw OpenRefusal{OpenFailure::UpgradeFailed, QStringLiteral("cannot write the copy %1").arg(backup)};
    }
    try {
        Upgrade(int(version));
    } catch (const CDbError &e) {
        // The transaction left the file as it was, so the copy is not needed.
        QFile::remove(backup);
        throw OpenRefusal{OpenFailure::UpgradeFailed, e.Message()};
    }
    m_backupPath = backup;
}

void CDatabase::Upgrade(int version) {
    CTransaction transaction(*this);
    schema::UpgradeSchema(*this, version);
    HashClearPasswords(*this);
    transaction.Commit();
}

QStringList CDatabase::UpgradeCopies(const QString &path) {
    const QFileInfo file(path);
    const QString pattern = QStringLiteral("^%1\\.v\\d+(-\\d+)?\\.bak$").arg(QRegularExpression::escape(file.fileName()));
    const QRegularExpression name(pattern);
    QStringList copies;
    for (const QString &entry : file.absoluteDir().entryList(QDir::Files))
        if (name.match(entry).hasMatch())
            copies << file.absoluteDir().filePath(entry);
    return copies;
}

void CDatabase::Close() {
    if (!m_db)
        return;
    CloseQuery();
    ClearCache();
    if (m_depth > 0) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_depth = 0;
    }
    sqlite3_close(m_db);
    m_db = nullptr;
}

void CDatabase::Check(int rc, const char *what) const {
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE)
        throw CDbError(m_db ? LastMessage(m_db) : QString::fromUtf8(what));
}

sqlite3_stmt *CDatabase::Prepare(const QString &text) const {
    if (!m_db)
        throw CDbError(QStringLiteral("the data file is not open"));
    sqlite3_stmt *stmt = nullptr;
    const void *tail = nullptr;
    const int bytes = int(text.size() * sizeof(char16_t));
    const int rc = sqlite3_prepare16_v2(m_db, text.utf16(), bytes, &stmt, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw CDbError(LastMessage(m_db));
    }
    // One command per statement: whatever follows a ';' must be blanks, comments or more ';'.
    const char16_t *rest = static_cast<const char16_t *>(tail);
    const char16_t *end = reinterpret_cast<const char16_t *>(text.utf16()) + text.size();
    while (rest && rest < end) {
        sqlite3_stmt *next = nullptr;
        const void *after = nullptr;
        const int nextRc = sqlite3_prepare16_v2(m_db, rest, int((end - rest) * sizeof(char16_t)), &next, &after);
        sqlite3_finalize(next);
        if (nextRc != SQLITE_OK || next) {
            sqlite3_finalize(stmt);
            throw CDbError(QStringLiteral("一条语句只能含有一条命令: %1").arg(text));
        }
        if (after == rest)
            break;
        rest = static_cast<const char16_t *>(after);
    }
    if (!stmt)
        throw CDbError(QStringLiteral("语句中没有命令"));
    return stmt;
}

sqlite3_stmt *CDatabase::CachedStatement(const QString &text) {
    if (sqlite3_stmt *stmt = m_cache.value(text))
        return stmt;
    if (m_cache.size() >= kCacheLimit)
        ClearCache();
    sqlite3_stmt *stmt = Prepare(text);
    m_cache.insert(text, stmt);
    return stmt;
}

void CDatabase::ClearCache() {
    for (sqlite3_stmt *stmt : std::as_const(m_cache))
        sqlite3_finalize(stmt);
    m_cache.clear();
}

void CDatabase::Bind(sqlite3_stmt *stmt, const QVector<SqlValue> &values) const {
    for (int i = 0; i < values.size(); ++i) {
        const SqlValue &v = values[i];
        switch (v.type) {
        case SqlValue::Integer:
            sqlite3_bind_int64(stmt, i + 1, v.integer);
            break;
        case SqlValue::Real:
            sqlite3_bind_double(stmt, i + 1, v.real);
            break;
        case SqlValue::Text: {
            const QStringView text = v.TextValue();
            // An empty text binds as an empty text, never as NULL.
            sqlite3_bind_text16(stmt, i + 1, text.isNull() ? u"" : text.utf16(), int(text.size() * sizeof(char16_t)),
                                SQLITE_TRANSIENT);
            break;
        }
        }
    }
}

void CDatabase::OpenQuery(const QString &statement) {
    CloseQuery();
    const TranslatedStatement t = TranslateStatement(statement, false);
    m_query = Prepare(t.text);
    m_queryText = t.text;
    Step();
}

void CDatabase::Step() {
    const int rc = sqlite3_step(m_query);
    if (rc == SQLITE_ROW) {
        m_eof = false;
        return;
    }
    m_eof = true;
    if (rc != SQLITE_DONE) {
        const QString message = LastMessage(m_db);
        CloseQuery();
        throw CDbError(message);
    }
}

void CDatabase::MoveNext() {
    if (m_query && !m_eof)
        Step();
}

long CDatabase::RecordCount() {
    if (!m_query)
        return 0;
    if (m_recordCount < 0) {
        sqlite3_stmt *count = Prepare(QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(m_queryText));
        const int rc = sqlite3_step(count);
        m_recordCount = rc == SQLITE_ROW ? long(sqlite3_column_int64(count, 0)) : 0;
        sqlite3_finalize(count);
        Check(rc, "count");
    }
    return m_recordCount;
}

void CDatabase::CloseQuery() {
    if (m_query)
        sqlite3_finalize(m_query);
    m_query = nullptr;
    m_eof = true;
    m_recordCount = -1;
    m_columns.clear();
}

int CDatabase::ColumnCount() const {
    return m_query ? sqlite3_column_count(m_query) : 0;
}

QString CDatabase::ColumnName(int column) const {
    return m_query ? QString::fromUtf8(sqlite3_column_name(m_query, column)) : QString();
}

int CDatabase::ColumnIndex(const QString &column) const {
    if (!m_query)
        return -1;
    if (m_columns.isEmpty()) {
        // Names are found as typed first, then without regard to case, as the original store did.
        for (int i = ColumnCount() - 1; i >= 0; --i) {
            const QString name = ColumnName(i);
            m_columns.insert(name, i);
            m_columns.insert(u'\x1f' + name.toLower(), i);
        }
    }
    auto it = m_columns.constFind(column);
    if (it == m_columns.constEnd())
        it = m_columns.constFind(u'\x1f' + column.toLower());
    return it == m_columns.constEnd() ? -1 : it.value();
}

bool CDatabase::ReadFieldText(int column, QString &value) const {
    QByteArrayView utf8;
    if (!ReadFieldUtf8(column, utf8))
        return false;
    value = QString::fromUtf8(utf8);
    return true;
}

bool CDatabase::ReadFieldUtf8(int column, QByteArrayView &value) const {
    if (!m_query || m_eof || column < 0 || column >= ColumnCount())
        return false;
    switch (sqlite3_column_type(m_query, column)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        m_scratch.setNum(sqlite3_column_int64(m_query, column));
        value = m_scratch;
        return true;
    case SQLITE_FLOAT:
        m_scratch = NumberUtf8(sqlite3_column_double(m_query, column));
        value = m_scratch;
        return true;
    default:
        value = QByteArrayView(reinterpret_cast<const char *>(sqlite3_column_text(m_query, column)),
                               sqlite3_column_bytes(m_query, column));
        return true;
    }
}

bool CDatabase::ReadFieldNumber(int column, double &value) const {
    if (!m_query || m_eof || column < 0 || column >= ColumnCount() ||
        sqlite3_column_type(m_query, column) == SQLITE_NULL)
        return false;
    value = sqlite3_column_double(m_query, column);
    return true;
}

int CDatabase::NamedColumn(const QString &column) const {
    const int index = ColumnIndex(column);
    if (index < 0 && m_query)
        throw CDbError(QStringLiteral("no such column: %1").arg(column));
    return index;
}

bool CDatabase::ReadFieldText(const QString &column, QString &value) const {
    return ReadFieldText(NamedColumn(column), value);
}

bool CDatabase::ReadFieldNumber(const QString &column, double &value) const {
    return ReadFieldNumber(NamedColumn(column), value);
}

void CDatabase::ExecuteStatement(const QString &statement) {
    if (!IsChangingStatement(statement)) {
        sqlite3_stmt *stmt = Prepare(TranslateStatement(statement, false).text);
        const int rc = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        Check(rc, "execute");
        return;
    }
    const TranslatedStatement t = TranslateStatement(statement, true);
    sqlite3_stmt *stmt = CachedStatement(t.text);
    Bind(stmt, t.values);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw CDbError(LastMessage(m_db));
}

void CDatabase::ExecutePrepared(const QString &statement, const QVector<QVector<SqlValue>> &rows) {
    sqlite3_stmt *stmt = Prepare(statement);
    for (const QVector<SqlValue> &row : rows) {
        Bind(stmt, row);
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        if (rc != SQLITE_DONE) {
            const QString message = LastMessage(m_db);
            sqlite3_finalize(stmt);
            throw CDbError(message);
        }
    }
    sqlite3_finalize(stmt);
}

int CDatabase::ChangedRows() const {
    return m_db ? sqlite3_changes(m_db) : 0;
}

void CDatabase::Exec(const char *sql) {
    if (!m_db)
        throw CDbError(QStringLiteral("the data file is not open"));
    char *message = nullptr;
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        throw CDbError(text);
    }
}

void CDatabase::BeginTrans() {
    Exec(m_depth == 0 ? "BEGIN" : QByteArray("SAVEPOINT sp" + QByteArray::number(m_depth)).constData());
    ++m_depth;
}

void CDatabase::CommitTrans() {
    if (m_depth == 0)
        throw CDbError(QStringLiteral("no transaction is active"));
    const int level = m_depth - 1;
    Exec(level == 0 ? "COMMIT" : QByteArray("RELEASE sp" + QByteArray::number(level)).constData());
    m_depth = level;
}

void CDatabase::RollbackTrans() {
    if (m_depth == 0 || !m_db)
        return;
    m_depth -= 1;
    // The store may already have ended the transaction itself after a hard failure.
    if (sqlite3_get_autocommit(m_db)) {
        m_depth = 0;
        return;
    }
    const QByteArray sp = "sp" + QByteArray::number(m_depth);
    const QByteArray sql = m_depth == 0 ? QByteArray("ROLLBACK") : "ROLLBACK TO " + sp + "; RELEASE " + sp;
    sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr);
}

CDatabase &TheDatabase() {
    static CDatabase database;
    return database;
}

void ReportDbError(const CDbError &error) {
    ShowMessage(error.Message(), ApplicationTitle(), MsgIcon::Exclamation, MsgButtons::Ok);
}

// The store has one kind of error text, so both reports show the same message.
void ReportComError(const CDbError &error) {
    ReportDbError(error);
}
