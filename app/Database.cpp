#include "app/Database.h"

#include "app/Dialect.h"
#include "app/FileStore.h"
#include "app/Messages.h"
#include "app/ServerStore.h"
#include "schema/Schema.h"
#include "schema/SchemaTables.h"
#include "users/Passwords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsChangingStatement(const QString &text) {
    QStringView s = QStringView(text).trimmed();
    for (const char *word : {"INSERT", "UPDATE", "DELETE"})
        if (s.startsWith(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}

// A store that must not be used, and why.
struct OpenRefusal {
    OpenFailure failure;
    QString message;
};

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
    m_openFailure = OpenFailure::Unusable;
    m_backupPath.clear();
    auto file = std::make_unique<CFileStore>();
    QString message;
    if (file->Open(path, FixedKey(), create, message)) {
        CFileStore &opened = *file;
        m_store = std::move(file);
        if (PassesOpenCheck(message, [&] {
                if (!create)
                    CheckFile(opened, path);
                // Pages are decrypted on every read from disk; a larger cache keeps a day's work in memory.
                m_store->Control("PRAGMA cache_size = -65536");
            }))
            return true;
    }
    if (error)
        *error = message;
    return false;
}

bool CDatabase::PassesOpenCheck(QString &message, const std::function<void()> &check) {
    try {
        check();
        m_openFailure = OpenFailure::None;
        return true;
    } catch (const CDbError &e) {
        message = e.Message();
    } catch (const OpenRefusal &r) {
        m_openFailure = r.failure;
        message = r.message;
    }
    Close();
    return false;
}

bool CDatabase::OpenServer(const ServerAddress &address, const QString &password, QString *error, bool create) {
    Close();
    m_openFailure = OpenFailure::Unusable;
    m_backupPath.clear();
    auto server = std::make_unique<CServerStore>();
    QString message;
    if (server->Open(address, password, message, m_serverFailure)) {
        m_store = std::move(server);
        m_storeLabel = QStringLiteral("服务器：%1").arg(address.Label());
        if (PassesOpenCheck(message, [&] {
                if (!create)
                    CheckTables(QStringLiteral("服务器%1").arg(address.Label()));
            }))
            return true;
    }
    if (error)
        *error = message;
    return false;
}

void CDatabase::CheckFile(CFileStore &file, const QString &path) {
    // Every page is read and its structure checked, so a damaged file is refused before anything is
    // written into it.
    const QString verdict = file.PageCheck();
    if (!verdict.isEmpty())
        throw OpenRefusal{OpenFailure::Unusable, QStringLiteral("damaged file: %1").arg(verdict)};
    const int version = SchemaVersion();
    CheckTables(QStringLiteral("file"));
    if (file.IsReadOnly() || !IsWritable(path))
        throw OpenRefusal{OpenFailure::ReadOnlyFile, QStringLiteral("the file cannot be written")};
    if (!IsWritable(QFileInfo(path).absolutePath()))
        throw OpenRefusal{OpenFailure::ReadOnlyFolder, QStringLiteral("the folder cannot be written")};
    if (version < schema::CurrentSchemaVersion)
        UpgradeFile(path, version);
}

void CDatabase::CheckTables(const QString &where) {
    const int version = SchemaVersion();
    // A server database is always made with a version; without one it is no database of the program.
    const int oldest = Kind() == StoreKind::Server ? 1 : 0;
    if (version > schema::CurrentSchemaVersion || version < oldest)
        throw OpenRefusal{OpenFailure::Unusable,
                          QStringLiteral("%1的数据版本%2不是本程序的版本").arg(where).arg(version)};
    QString problem;
    if (!schema::HasEveryTableAndColumn(*this, version, &problem))
        throw OpenRefusal{OpenFailure::Unusable, QStringLiteral("%1不是Pelorvanide的数据库: %2").arg(where, problem)};
    if (version < schema::CurrentSchemaVersion && Kind() == StoreKind::Server) {
        try {
            Upgrade(version);
        } catch (const CDbError &e) {
            throw OpenRefusal{OpenFailure::UpgradeFailed, e.Message()};
        }
    }
}

void CDatabase::UpgradeFile(const QString &path, int version) {
    const QString backup = FreeBackupName(path, version);
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
    const QString pattern =
        QStringLiteral("^%1\\.v\\d+(-\\d+)?\\.bak$").arg(QRegularExpression::escape(file.fileName()));
    const QRegularExpression name(pattern);
    QStringList copies;
    for (const QString &entry : file.absoluteDir().entryList(QDir::Files))
        if (name.match(entry).hasMatch())
            copies << file.absoluteDir().filePath(entry);
    return copies;
}

void CDatabase::Close() {
    m_columns.clear();
    m_store.reset();
    m_storeLabel.clear();
    m_depth = 0;
}

StoreKind CDatabase::Kind() const {
    return m_store ? m_store->Kind() : StoreKind::File;
}

QString CDatabase::StoreLabel() const {
    return m_storeLabel;
}

sqlite3 *CDatabase::Handle() const {
    return m_store && m_store->Kind() == StoreKind::File ? static_cast<CFileStore &>(*m_store).Handle() : nullptr;
}

CStore &CDatabase::Store() const {
    if (!m_store)
        throw CDbError(QStringLiteral("the data file is not open"));
    return *m_store;
}

int CDatabase::SchemaVersion() {
    return Store().SchemaVersion();
}

void CDatabase::SetSchemaVersion(int version) {
    Store().SetSchemaVersion(version);
}

QStringList CDatabase::TableColumns(const QString &table) {
    return Store().TableColumns(table);
}

void CDatabase::OpenQuery(const QString &statement) {
    CloseQuery();
    CStore &store = Store();
    store.OpenQuery(TranslateStatement(statement, false, store.Kind()).text);
}

bool CDatabase::IsEOF() const {
    return !m_store || m_store->IsEOF();
}

bool CDatabase::IsQueryOpen() const {
    return m_store && m_store->IsQueryOpen();
}

void CDatabase::MoveNext() {
    if (m_store)
        m_store->MoveNext();
}

long CDatabase::RecordCount() {
    return m_store && m_store->IsQueryOpen() ? m_store->RecordCount() : 0;
}

void CDatabase::CloseQuery() {
    m_columns.clear();
    if (m_store)
        m_store->CloseQuery();
}

int CDatabase::ColumnCount() const {
    return m_store ? m_store->ColumnCount() : 0;
}

QString CDatabase::ColumnName(int column) const {
    return m_store ? m_store->ColumnName(column) : QString();
}

int CDatabase::ColumnIndex(const QString &column) const {
    if (!IsQueryOpen())
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
    return m_store && m_store->ReadFieldUtf8(column, value);
}

bool CDatabase::ReadFieldNumber(int column, double &value) const {
    return m_store && m_store->ReadFieldNumber(column, value);
}

int CDatabase::NamedColumn(const QString &column) const {
    const int index = ColumnIndex(column);
    if (index < 0 && IsQueryOpen())
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
    CStore &store = Store();
    if (!IsChangingStatement(statement)) {
        store.Execute(TranslateStatement(statement, false, store.Kind()).text);
        return;
    }
    store.ExecuteBound(TranslateStatement(statement, true, store.Kind()));
}

void CDatabase::ExecutePrepared(const QString &statement, const QVector<QVector<SqlValue>> &rows) {
    CStore &store = Store();
    store.ExecuteRows(TranslateStatement(statement, false, store.Kind()).text, rows);
}

int CDatabase::ChangedRows() const {
    return m_store ? m_store->ChangedRows() : 0;
}

void CDatabase::BeginTrans() {
    Store().Control(m_depth == 0 ? QByteArray("BEGIN") : "SAVEPOINT sp" + QByteArray::number(m_depth));
    ++m_depth;
}

void CDatabase::BeginSnapshot() {
    if (m_depth != 0)
        throw CDbError(QStringLiteral("a snapshot must be the outermost transaction"));
    // On the file a plain transaction reads one state: no other connection commits into what it read.
    Store().Control(Kind() == StoreKind::Server ? QByteArray("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")
                                                : QByteArray("BEGIN"));
    m_depth = 1;
}

void CDatabase::CommitTrans() {
    if (m_depth == 0)
        throw CDbError(QStringLiteral("no transaction is active"));
    const int level = m_depth - 1;
    Store().Control(level == 0 ? QByteArray("COMMIT") : "RELEASE sp" + QByteArray::number(level));
    m_depth = level;
}

void CDatabase::RollbackTrans() {
    if (m_depth == 0 || !m_store)
        return;
    m_depth -= 1;
    // The store may already have ended the transaction itself after a hard failure.
    if (!m_store->InTransaction()) {
        m_depth = 0;
        return;
    }
    const QByteArray sp = "sp" + QByteArray::number(m_depth);
    try {
        if (m_depth == 0) {
            m_store->Control("ROLLBACK");
        } else {
            m_store->Control("ROLLBACK TO " + sp);
            m_store->Control("RELEASE " + sp);
        }
    } catch (const CDbError &) {
        // A rollback that fails leaves the store's own rollback at the end of the connection.
    }
}

void CDatabase::HoldUntilCommit(const QString &subject) {
    if (m_depth == 0)
        throw CDbError(QStringLiteral("no transaction is active"));
    Store().HoldUntilCommit(subject.toUtf8());
}

bool CDatabase::ChangedElsewhere() {
    return m_store && m_depth == 0 && m_store->ChangedElsewhere();
}

QString ConflictMessage() {
    return QStringLiteral("其他操作员正在同时修改这些票据，这次操作试了%1次都没有完成，已全部撤销，请稍后再试。")
        .arg(kTransactionAttempts);
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
