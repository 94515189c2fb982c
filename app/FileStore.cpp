#include "app/FileStore.h"

#include "app/Database.h"
#include "app/DatabaseCollation.h"
#include "app/Dialect.h"

#include <sqlite3.h>

#include <charconv>
#include <cmath>

namespace {

// Cached prepared forms of changing statements; cleared when it grows past this.
constexpr int kCacheLimit = 256;

QString LastMessage(sqlite3 *db) {
    return QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
}

int PinyinCollation(void *, int lengthA, const void *a, int lengthB, const void *b) {
    return ComparePinyin(QStringView(static_cast<const char16_t *>(a), lengthA / 2),
                         QStringView(static_cast<const char16_t *>(b), lengthB / 2));
}

} // namespace

QByteArray NumberUtf8(double v) {
    char buffer[64];
    std::to_chars_result r;
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e18)
        r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(v));
    else
        r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15);
    return QByteArray(buffer, r.ptr - buffer);
}

CFileStore::~CFileStore() {
    Close();
}

bool CFileStore::Open(const QString &path, const QByteArray &key, bool create, QString &error) {
    // The program works on one thread, so the connection needs no locking of its own.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        error = LastMessage(m_db);
        Close();
        return false;
    }
    sqlite3_key(m_db, key.constData(), int(key.size()));
    // Pages of 4 KiB: fewer pages to encrypt and authenticate than the 1 KiB default. Every file of
    // the program is written and read with this size.
    sqlite3_exec(m_db, "PRAGMA cipher_page_size = 4096", nullptr, nullptr, nullptr);
    // What is deleted or replaced is overwritten in the file, so a password replaced by its hash (the
    // upgrade hashes them all) stays neither in the file nor in backups copied from it page by page.
    sqlite3_exec(m_db, "PRAGMA secure_delete = ON", nullptr, nullptr, nullptr);
    sqlite3_create_collation16(m_db, u"PINYIN", SQLITE_UTF16, nullptr, PinyinCollation);
    try {
        // A plain SQLite library would ignore the key and write an unencrypted file.
        OpenQuery(QStringLiteral("PRAGMA cipher_version"));
        const bool encrypted = !IsEOF();
        CloseQuery();
        if (!encrypted)
            throw CDbError(QStringLiteral("the store has no encryption"));
    } catch (const CDbError &e) {
        error = e.Message();
        Close();
        return false;
    }
    return true;
}

void CFileStore::Close() {
    if (!m_db)
        return;
    CloseQuery();
    ClearCache();
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
    m_db = nullptr;
    m_dataVersion = -1;
}

QString CFileStore::PageCheck() {
    OpenQuery(QStringLiteral("PRAGMA quick_check"));
    QByteArrayView verdict;
    ReadFieldUtf8(0, verdict);
    const QString text = QString::fromUtf8(verdict);
    CloseQuery();
    return text == QLatin1String("ok") ? QString() : text;
}

bool CFileStore::IsReadOnly() const {
    return sqlite3_db_readonly(m_db, "main") == 1;
}

sqlite3_stmt *CFileStore::Prepare(const QString &text) const {
    if (!m_db)
        throw CDbError(QStringLiteral("the data file is not open"));
    sqlite3_stmt *stmt = nullptr;
    const int bytes = int(text.size() * sizeof(char16_t));
    const int rc = sqlite3_prepare16_v2(m_db, text.utf16(), bytes, &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw CDbError(LastMessage(m_db));
    }
    if (!stmt)
        throw CDbError(QStringLiteral("语句中没有命令"));
    return stmt;
}

sqlite3_stmt *CFileStore::CachedStatement(const QString &text) {
    if (sqlite3_stmt *stmt = m_cache.value(text))
        return stmt;
    if (m_cache.size() >= kCacheLimit)
        ClearCache();
    sqlite3_stmt *stmt = Prepare(text);
    m_cache.insert(text, stmt);
    return stmt;
}

void CFileStore::ClearCache() {
    for (sqlite3_stmt *stmt : std::as_const(m_cache))
        sqlite3_finalize(stmt);
    m_cache.clear();
}

void CFileStore::Bind(sqlite3_stmt *stmt, const QVector<SqlValue> &values) const {
    for (int i = 0; i < values.size(); ++i) {
        const SqlValue &v = values[i];
        switch (v.type) {
        case SqlValue::Integer:
            sqlite3_bind_int64(stmt, i + 1, v.integer);
            break;
        case SqlValue::Real:
            sqlite3_bind_double(stmt, i + 1, v.real);
            break;
        case SqlValue::Null:
            sqlite3_bind_null(stmt, i + 1);
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

void CFileStore::OpenQuery(const QString &text) {
    CloseQuery();
    m_query = Prepare(text);
    m_queryText = text;
    Step();
}

void CFileStore::Step() {
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

void CFileStore::MoveNext() {
    if (m_query && !m_eof)
        Step();
}

long CFileStore::RecordCount() {
    if (!m_query)
        return 0;
    if (m_recordCount < 0) {
        sqlite3_stmt *count = Prepare(QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(m_queryText));
        const int rc = sqlite3_step(count);
        m_recordCount = rc == SQLITE_ROW ? long(sqlite3_column_int64(count, 0)) : 0;
        sqlite3_finalize(count);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw CDbError(LastMessage(m_db));
    }
    return m_recordCount;
}

void CFileStore::CloseQuery() {
    if (m_query)
        sqlite3_finalize(m_query);
    m_query = nullptr;
    m_eof = true;
    m_recordCount = -1;
}

int CFileStore::ColumnCount() const {
    return m_query ? sqlite3_column_count(m_query) : 0;
}

QString CFileStore::ColumnName(int column) const {
    return m_query ? QString::fromUtf8(sqlite3_column_name(m_query, column)) : QString();
}

bool CFileStore::ReadFieldUtf8(int column, QByteArrayView &value) const {
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

bool CFileStore::ReadFieldNumber(int column, double &value) const {
    if (!m_query || m_eof || column < 0 || column >= ColumnCount() ||
        sqlite3_column_type(m_query, column) == SQLITE_NULL)
        return false;
    value = sqlite3_column_double(m_query, column);
    return true;
}

void CFileStore::Execute(const QString &text) {
    sqlite3_stmt *stmt = Prepare(text);
    const int rc = sqlite3_step(stmt);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw CDbError(LastMessage(m_db));
}

void CFileStore::ExecuteBound(const TranslatedStatement &statement) {
    sqlite3_stmt *stmt = CachedStatement(statement.text);
    Bind(stmt, statement.values);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw CDbError(LastMessage(m_db));
}

void CFileStore::ExecuteRows(const QString &text, const QVector<QVector<SqlValue>> &rows) {
    sqlite3_stmt *stmt = Prepare(text);
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

int CFileStore::ChangedRows() const {
    return m_db ? sqlite3_changes(m_db) : 0;
}

void CFileStore::Control(const QByteArray &command) {
    if (!m_db)
        throw CDbError(QStringLiteral("the data file is not open"));
    char *message = nullptr;
    if (sqlite3_exec(m_db, command.constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(m_db));
        sqlite3_free(message);
        throw CDbError(text);
    }
}

bool CFileStore::InTransaction() const {
    return m_db && !sqlite3_get_autocommit(m_db);
}

bool CFileStore::ChangedElsewhere() {
    if (!m_db)
        return false;
    // A statement of its own, so that the query a caller has open stays where it is.
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, "PRAGMA data_version", -1, &stmt, nullptr) != SQLITE_OK)
        return false;
    const qint64 version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : m_dataVersion;
    sqlite3_finalize(stmt);
    const bool changed = m_dataVersion >= 0 && version != m_dataVersion;
    m_dataVersion = version;
    return changed;
}

int CFileStore::SchemaVersion() {
    OpenQuery(QStringLiteral("PRAGMA user_version"));
    double version = 0;
    ReadFieldNumber(0, version);
    CloseQuery();
    return int(version);
}

void CFileStore::SetSchemaVersion(int version) {
    Execute(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

QStringList CFileStore::TableColumns(const QString &table) {
    QStringList names;
    OpenQuery(QStringLiteral("PRAGMA table_info(%1)").arg(table));
    for (; !IsEOF(); MoveNext()) {
        QByteArrayView name;
        ReadFieldUtf8(1, name);
        names << QString::fromUtf8(name).toLower();
    }
    CloseQuery();
    return names;
}
