#include "app/ServerStore.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "app/FileStore.h"
#include "schema/SchemaTables.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>
#include <libpq-fe.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Types of the values bound to a statement, as the server knows them.
constexpr Oid kBoolOid = 16;
constexpr Oid kInt8Oid = 20;
constexpr Oid kFloat4Oid = 700;
constexpr Oid kFloat8Oid = 701;
constexpr Oid kNumericOid = 1700;

// Cached prepared forms of changing statements; the server forgets them when it grows past this.
constexpr int kPreparedLimit = 256;

// The channel on which every copy tells the others that it committed a change to the books.
constexpr const char *kChangeChannel = "pelorvanide_books";

// Serialisation failures and deadlocks the server broke: the transaction may simply run again.
bool IsConflict(const char *sqlState) {
    return sqlState && (std::strcmp(sqlState, "40001") == 0 || std::strcmp(sqlState, "40P01") == 0);
}

// Rows of one prepared statement sent together before their results are read: few round trips, and
// few enough results that neither side's buffers fill while the other still writes.
constexpr int kPipelineRows = 1000;

QString Trimmed(const char *message) {
    return QString::fromUtf8(message).trimmed();
}

// The values of one statement as texts the server reads, and their types.
struct BoundTexts {
    std::vector<QByteArray> texts;
    std::vector<const char *> pointers;
    std::vector<Oid> types;

    explicit BoundTexts(const QVector<SqlValue> &values) {
        texts.reserve(values.size());
        for (const SqlValue &v : values) {
            switch (v.type) {
            case SqlValue::Integer:
                texts.push_back(QByteArray::number(v.integer));
                types.push_back(kInt8Oid);
                break;
            case SqlValue::Real: {
                char buffer[32];
                const auto r = std::to_chars(buffer, buffer + sizeof buffer, v.real);
                texts.push_back(QByteArray(buffer, r.ptr - buffer));
                types.push_back(kFloat8Oid);
                break;
            }
            case SqlValue::Null:
                texts.push_back(QByteArray());
                types.push_back(0);
                break;
            case SqlValue::Text:
                // An empty text binds as an empty text, never as NULL.
                texts.push_back(v.TextValue().toUtf8());
                if (texts.back().isNull())
                    texts.back() = QByteArray("");
                // Its type is taken from where it stands, as for a quoted text in the statement.
                types.push_back(0);
                break;
            }
        }
        for (const QByteArray &t : texts)
            pointers.push_back(t.isNull() ? nullptr : t.constData());
    }
};

// A name as the statement spells it: the server reports unquoted names in lower case.
QString SpelledAsIn(const QString &name, const QString &statement) {
    const auto wordChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    for (qsizetype at = statement.indexOf(name, 0, Qt::CaseInsensitive); at >= 0;
         at = statement.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + name.size();
        if ((at == 0 || !wordChar(statement[at - 1])) && (end == statement.size() || !wordChar(statement[end])))
            return statement.mid(at, name.size());
    }
    const QString spelled = schema::SpelledColumnName(name);
    return spelled.isEmpty() ? name : spelled;
}

// The server's message with the names it quotes spelt as in the statement.
QString SpellNames(QString message, const QString &statement) {
    qsizetype open = message.indexOf(u'"');
    while (open >= 0) {
        const qsizetype close = message.indexOf(u'"', open + 1);
        if (close < 0)
            break;
        const QString spelled = SpelledAsIn(message.mid(open + 1, close - open - 1), statement);
        message.replace(open + 1, close - open - 1, spelled);
        open = message.indexOf(u'"', open + spelled.size() + 2);
    }
    return message;
}

QByteArray TypeSignature(const QVector<SqlValue> &values) {
    QByteArray signature;
    signature.reserve(values.size());
    for (const SqlValue &v : values)
        signature += char('0' + int(v.type));
    return signature;
}

} // namespace

ServerAddress ParseServerUrl(const QString &url) {
    const QUrl parsed(url);
    ServerAddress address;
    address.url = url;
    address.host = parsed.host().isEmpty() ? QStringLiteral("localhost") : parsed.host();
    address.database = parsed.path().mid(1);
    if (address.database.isEmpty())
        address.database = parsed.userName();
    return address;
}

QString ConfiguredServerUrl() {
    if (!QFileInfo::exists(SettingsFileName))
        return QString();
    const QSettings settings(SettingsFileName, QSettings::IniFormat);
    return settings.value(QStringLiteral("server/url")).toString().trimmed();
}

CServerStore::~CServerStore() {
    Close();
}

bool CServerStore::Open(const ServerAddress &address, const QString &password, QString &error, ServerFailure &failure) {
    Close();
    m_address = address;
    const QByteArray url = address.url.toUtf8();
    const QByteArray secret = password.toUtf8();
    // Nothing waits for ever: a server that does not answer within ten seconds is taken as
    // unreachable, and a connection that stops answering is given up after about a minute, at either
    // end (keepalives and the TCP time-out here, the server's keepalives through the options). A
    // statement that runs longer than ten minutes is ended by the server, and so is a transaction
    // left idle for five, which would hold its books from every other desk.
    const char *options = "-c statement_timeout=600000 -c idle_in_transaction_session_timeout=300000 "
                          "-c tcp_keepalives_idle=30 -c tcp_keepalives_interval=10 -c tcp_keepalives_count=3";
    std::vector<const char *> keys = {"dbname",           "connect_timeout", "options",         "client_encoding",
                                      "application_name", "keepalives",      "keepalives_idle", "keepalives_interval",
                                      "keepalives_count", "tcp_user_timeout"};
    std::vector<const char *> values = {url.constData(), "10", options, "UTF8", "pelorvanide", "1", "30", "10", "3",
                                        "60000"};
    if (!password.isEmpty()) {
        keys.push_back("password");
        values.push_back(secret.constData());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    m_conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (PQstatus(m_conn) != CONNECTION_OK) {
        failure = PQconnectionNeedsPassword(m_conn) && password.isEmpty() ? ServerFailure::NeedsPassword
                                                                          : ServerFailure::Refused;
        error = Trimmed(PQerrorMessage(m_conn));
        Close();
        return false;
    }
    PQsetNoticeProcessor(
        m_conn, [](void *, const char *) {}, nullptr);
    failure = ServerFailure::None;
    Listen();
    return true;
}

void CServerStore::Listen() {
    PQclear(Check(PQexec(m_conn, QByteArray("LISTEN ").append(kChangeChannel).constData()), QString()));
}

QString CServerStore::LostText(const QString &detail) const {
    return QStringLiteral(
               "与数据库服务器%1的连接中断了，这次操作没有完成，已全部撤销。\n下一次操作时程序会重新连接。\n%2")
        .arg(m_address.host, detail);
}

void CServerStore::EnsureConnected() {
    if (!m_conn)
        throw CDbError(QStringLiteral("the server is not connected"));
    if (PQstatus(m_conn) == CONNECTION_OK)
        return;
    // The transaction went with the connection: its rollback comes first, and only then a new one.
    if (m_inTransaction)
        throw CDbError(LostText(Trimmed(PQerrorMessage(m_conn))), DbFailure::ConnectionLost);
    CloseQuery();
    m_prepared.clear();
    PQreset(m_conn);
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw CDbError(QStringLiteral("无法重新连接数据库服务器%1，请检查网络和服务器后再试。\n%2")
                           .arg(m_address.host, Trimmed(PQerrorMessage(m_conn))),
                       DbFailure::ConnectionLost);
    Listen();
}

void CServerStore::Close() {
    CloseQuery();
    m_prepared.clear();
    if (m_conn)
        PQfinish(m_conn);
    m_conn = nullptr;
    m_inTransaction = false;
    m_changedBooks = false;
}

QString CServerStore::FailureText(pg_result *result) const {
    const QString message =
        Trimmed(result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : PQerrorMessage(m_conn));
    return message.isEmpty() ? Trimmed(PQerrorMessage(m_conn)) : message;
}

pg_result *CServerStore::Check(pg_result *result, const QString &statement) const {
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
        return result;
    const QString message = FailureText(result);
    const bool conflict = result && IsConflict(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    PQclear(result);
    if (PQstatus(m_conn) != CONNECTION_OK)
        throw CDbError(LostText(message), DbFailure::ConnectionLost);
    throw CDbError(SpellNames(message, statement), conflict ? DbFailure::Conflict : DbFailure::Statement);
}

void CServerStore::OpenQuery(const QString &text) {
    CloseQuery();
    EnsureConnected();
    const QByteArray utf8 = text.toUtf8();
    m_result = Check(PQexecParams(m_conn, utf8.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0), text);
    m_queryText = text;
    m_rows = PQntuples(m_result);
    m_row = 0;
}

void CServerStore::MoveNext() {
    if (m_row < m_rows)
        ++m_row;
}

void CServerStore::CloseQuery() {
    if (m_result)
        PQclear(m_result);
    m_result = nullptr;
    m_rows = 0;
    m_row = 0;
}

int CServerStore::ColumnCount() const {
    return m_result ? PQnfields(m_result) : 0;
}

QString CServerStore::ColumnName(int column) const {
    if (!m_result)
        return QString();
    // The server gives unquoted names in lower case; the clerk sees them as the statement or the
    // tables spell them.
    return SpelledAsIn(QString::fromUtf8(PQfname(m_result, column)), m_queryText);
}

bool CServerStore::IsNumberColumn(int column) const {
    const Oid type = PQftype(m_result, column);
    return type == kFloat8Oid || type == kFloat4Oid || type == kNumericOid;
}

bool CServerStore::ReadFieldUtf8(int column, QByteArrayView &value) const {
    if (!m_result || IsEOF() || column < 0 || column >= ColumnCount() || PQgetisnull(m_result, m_row, column))
        return false;
    const char *text = PQgetvalue(m_result, m_row, column);
    if (IsNumberColumn(column)) {
        m_scratch = NumberUtf8(std::strtod(text, nullptr));
        value = m_scratch;
    } else if (PQftype(m_result, column) == kBoolOid) {
        // A comparison in the select list reads 1 or 0, as in the file.
        value = *text == 't' ? QByteArrayView("1") : QByteArrayView("0");
    } else {
        value = QByteArrayView(text, PQgetlength(m_result, m_row, column));
    }
    return true;
}

bool CServerStore::ReadFieldNumber(int column, double &value) const {
    if (!m_result || IsEOF() || column < 0 || column >= ColumnCount() || PQgetisnull(m_result, m_row, column))
        return false;
    const char *text = PQgetvalue(m_result, m_row, column);
    if (PQftype(m_result, column) == kBoolOid)
        value = *text == 't' ? 1 : 0;
    else
        value = std::strtod(text, nullptr);
    return true;
}

void CServerStore::Execute(const QString &text) {
    EnsureConnected();
    const QByteArray utf8 = text.toUtf8();
    pg_result *result = Check(PQexecParams(m_conn, utf8.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0), text);
    m_changed = std::atoi(PQcmdTuples(result));
    PQclear(result);
    NoteChange();
}

void CServerStore::NoteChange() {
    if (m_changed == 0)
        return;
    // Told when the transaction commits; a change outside one is told at once.
    m_changedBooks = true;
    if (!m_inTransaction)
        Notify();
}

void CServerStore::Notify() {
    m_changedBooks = false;
    PQclear(Check(PQexec(m_conn, QByteArray("NOTIFY ").append(kChangeChannel).constData()), QString()));
}

const QByteArray *CServerStore::KnownPrepared(const QString &text, const QVector<SqlValue> &values) const {
    const auto it = m_prepared.constFind(QString::fromLatin1(TypeSignature(values)) + u'\x1f' + text);
    return it == m_prepared.constEnd() ? nullptr : &it.value();
}

QByteArray CServerStore::PreparedName(const QString &text, const QVector<SqlValue> &values) {
    EnsureConnected();
    if (const QByteArray *known = KnownPrepared(text, values))
        return *known;
    const QString key = QString::fromLatin1(TypeSignature(values)) + u'\x1f' + text;
    if (m_prepared.size() >= kPreparedLimit) {
        PQclear(Check(PQexec(m_conn, "DEALLOCATE ALL"), QString()));
        m_prepared.clear();
    }
    static int counter = 0;
    const QByteArray name = "pv" + QByteArray::number(++counter);
    const BoundTexts bound(values);
    PQclear(Check(
        PQprepare(m_conn, name.constData(), text.toUtf8().constData(), int(bound.types.size()), bound.types.data()),
        text));
    m_prepared.insert(key, name);
    return name;
}

void CServerStore::RunPrepared(const QByteArray &name, const QString &text, const QVector<SqlValue> &values) {
    const BoundTexts bound(values);
    pg_result *result = Check(PQexecPrepared(m_conn, name.constData(), int(bound.pointers.size()),
                                             bound.pointers.data(), nullptr, nullptr, 0),
                              text);
    m_changed = std::atoi(PQcmdTuples(result));
    PQclear(result);
    NoteChange();
}

void CServerStore::ExecuteBound(const TranslatedStatement &statement) {
    RunPrepared(PreparedName(statement.text, statement.values), statement.text, statement.values);
}

void CServerStore::ExecuteRows(const QString &text, const QVector<QVector<SqlValue>> &rows) {
    EnsureConnected();
    for (qsizetype first = 0; first < rows.size();) {
        // Every form a batch uses is prepared before the batch is sent; a new form ends the batch, so
        // a preparation never runs while results are still on their way.
        std::vector<QByteArray> names;
        while (first + qsizetype(names.size()) < rows.size() && names.size() < size_t(kPipelineRows)) {
            const QVector<SqlValue> &row = rows[first + qsizetype(names.size())];
            if (const QByteArray *known = KnownPrepared(text, row))
                names.push_back(*known);
            else if (names.empty())
                PreparedName(text, row);
            else
                break;
        }
        RunPipelined(text, rows, first, names);
        first += qsizetype(names.size());
    }
}

void CServerStore::RunPipelined(const QString &text, const QVector<QVector<SqlValue>> &rows, qsizetype first,
                                const std::vector<QByteArray> &names) {
    if (PQenterPipelineMode(m_conn) != 1)
        throw CDbError(Trimmed(PQerrorMessage(m_conn)));
    int sent = 0;
    QString failure;
    for (const QByteArray &name : names) {
        const BoundTexts bound(rows[first + sent]);
        if (PQsendQueryPrepared(m_conn, name.constData(), int(bound.pointers.size()), bound.pointers.data(), nullptr,
                                nullptr, 0) != 1) {
            failure = Trimmed(PQerrorMessage(m_conn));
            break;
        }
        ++sent;
    }
    const bool synced = PQpipelineSync(m_conn) == 1;
    if (!synced && failure.isEmpty())
        failure = Trimmed(PQerrorMessage(m_conn));
    // Every result up to the sync is read, so that the connection is ready for the next statement; the
    // first failure is the one told, the rows after it were skipped by the server.
    int ended = 0; // each row's results end with an empty one
    while (synced) {
        pg_result *result = PQgetResult(m_conn);
        if (!result) {
            if (++ended > sent)
                break; // the connection broke before the sync came back
            continue;
        }
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            m_changed = std::atoi(PQcmdTuples(result)); // as in the file: the last row's
        else if (status != PGRES_PIPELINE_SYNC && status != PGRES_PIPELINE_ABORTED && failure.isEmpty())
            failure = FailureText(result);
        PQclear(result);
        if (status == PGRES_PIPELINE_SYNC)
            break;
    }
    if (PQexitPipelineMode(m_conn) != 1 && failure.isEmpty())
        failure = Trimmed(PQerrorMessage(m_conn));
    if (!failure.isEmpty()) {
        if (PQstatus(m_conn) != CONNECTION_OK)
            throw CDbError(LostText(failure), DbFailure::ConnectionLost);
        throw CDbError(SpellNames(failure, text));
    }
    NoteChange();
}

void CServerStore::Control(const QByteArray &command) {
    EnsureConnected();
    const bool begins = command.startsWith("BEGIN");
    const bool ends = command == "COMMIT" || command == "ROLLBACK";
    // The others hear of the change with the commit itself: a NOTIFY is delivered only if it commits.
    if (command == "COMMIT" && m_changedBooks)
        Notify();
    if (ends) {
        m_inTransaction = false;
        m_changedBooks = false;
    }
    PQclear(Check(PQexec(m_conn, command.constData()), QString()));
    if (begins)
        m_inTransaction = true;
}

bool CServerStore::InTransaction() const {
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK) {
        // The server rolled it back when the connection went.
        m_inTransaction = false;
        return false;
    }
    return PQtransactionStatus(m_conn) != PQTRANS_IDLE;
}

void CServerStore::HoldUntilCommit(const QByteArray &subject) {
    EnsureConnected();
    const char *values[] = {subject.constData()};
    PQclear(Check(PQexecParams(m_conn, "SELECT pg_advisory_xact_lock(hashtextextended($1, 0))", 1, nullptr, values,
                               nullptr, nullptr, 0),
                  QString()));
}

bool CServerStore::ChangedElsewhere() {
    if (!m_conn || PQstatus(m_conn) != CONNECTION_OK || !PQconsumeInput(m_conn))
        return false;
    bool changed = false;
    const int own = PQbackendPID(m_conn);
    while (PGnotify *note = PQnotifies(m_conn)) {
        changed = changed || note->be_pid != own;
        PQfreemem(note);
    }
    return changed;
}

int CServerStore::SchemaVersion() {
    OpenQuery(QStringLiteral("SELECT to_regclass('%1') IS NOT NULL").arg(QLatin1String(VersionTable())));
    double present = 0;
    ReadFieldNumber(0, present);
    CloseQuery();
    if (present == 0)
        return 0;
    OpenQuery(QStringLiteral("SELECT MAX(version) FROM %1").arg(QLatin1String(VersionTable())));
    double version = 0;
    ReadFieldNumber(0, version);
    CloseQuery();
    return int(version);
}

void CServerStore::SetSchemaVersion(int version) {
    Execute(
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (version INTEGER NOT NULL)").arg(QLatin1String(VersionTable())));
    Execute(QStringLiteral("DELETE FROM %1").arg(QLatin1String(VersionTable())));
    Execute(QStringLiteral("INSERT INTO %1 (version) VALUES (%2)").arg(QLatin1String(VersionTable())).arg(version));
}

QStringList CServerStore::TableColumns(const QString &table) {
    QStringList names;
    OpenQuery(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = current_schema() "
                             "AND table_name = %1 ORDER BY ordinal_position")
                  .arg(QuoteText(table.toLower())));
    for (; !IsEOF(); MoveNext()) {
        QByteArrayView name;
        ReadFieldUtf8(0, name);
        names << QString::fromUtf8(name);
    }
    CloseQuery();
    return names;
}
