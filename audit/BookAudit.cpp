#include "audit/BookAudit.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "audit/RowFields.h"
#include "bills/BillNumbers.h"
#include "schema/Schema.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <limits>

using namespace schema;

namespace {

// How a kind writes its numbers, taken from the first book read of it.
struct KindPattern {
    QString name;
    QString prefix;
    QString suffix;
    int width = 0;
};

// The numbers of one book, live or deleted.
struct Span {
    int kind = 0;
    double begin = 0;
    double end = 0;
    bool live = false;
};

struct SortedFinding {
    int kind = 0;
    double begin = 0;
    AuditFinding finding;
};

// The calendar day of a stored time "yyyy-M-d h:m:s", padded or not. Read by hand: parsing a date-time
// looks up the time zone every time, which an audit of many overdue books cannot afford.
QDate DayOf(QByteArrayView time) {
    const QByteArray date = time.toByteArray().split(' ').first();
    const QList<QByteArray> parts = date.split('-');
    return parts.size() == 3 ? QDate(parts[0].toInt(), parts[1].toInt(), parts[2].toInt()) : QDate();
}

class CBookAuditor {
public:
    explicit CBookAuditor(const AuditOptions &options)
        : m_options(options),
          m_cutoff(options.now.addDays(-options.overdueDays).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8()) {
    }

    void ReadLiveBooks(CDatabase &db);
    void ReadDeletedBooks(CDatabase &db);
    QVector<AuditFinding> Findings();

private:
    enum LiveColumn {
        Kind,
        Begin,
        End,
        Prefix,
        Suffix,
        BeginChar,
        EndChar,
        Flag,
        Amount,
        Price,
        ReturnAmount,
        ReturnTotal,
        ReturnEnd,
        ReturnEndChar,
        IssueTime,
        IssueDept,
        IssueBroker,
        InvalidTime,
        InvalidManager,
        NoneFixed
    };
    // A deleted book is read with the first six columns of a live one, then its deletion stamps.
    enum DeletedColumn { DeletedTime = EndChar, DeletedManager };

    QString Condition() const;
    int KindOf(const CDatabase &db);
    QString Numbers(int kind, double first, double last) const;
    void Add(int kind, double begin, const QString &numbers, const QString &problem);
    void CheckLiveBook(const CDatabase &db, int kind, double begin, double end);
    void CheckSpans();

    const AuditOptions &m_options;
    const QByteArray m_cutoff;
    QVector<KindPattern> m_kinds;
    QHash<QByteArray, int> m_kindIndex;
    QByteArray m_lastKind;
    int m_lastIndex = -1;
    std::vector<Span> m_spans;
    QVector<SortedFinding> m_findings;
};

QString CBookAuditor::Condition() const {
    return m_options.kind.isEmpty()
               ? QString()
               : QString::asprintf(" WHERE %s = '%s'", Bill_Kind, Quote(m_options.kind).constData());
}

int CBookAuditor::KindOf(const CDatabase &db) {
    const QByteArrayView kind = FieldUtf8(db, Kind);
    if (m_lastIndex >= 0 && kind == m_lastKind)
        return m_lastIndex;
    m_lastKind = kind.toByteArray();
    auto it = m_kindIndex.constFind(m_lastKind);
    if (it == m_kindIndex.constEnd()) {
        KindPattern pattern;
        pattern.name = QString::fromUtf8(kind);
        pattern.prefix = QString::fromUtf8(FieldUtf8(db, Prefix));
        pattern.suffix = QString::fromUtf8(FieldUtf8(db, Suffix));
        const QString beginChar = QString::fromUtf8(FieldUtf8(db, BeginChar));
        pattern.width = int(beginChar.size() - pattern.prefix.size() - pattern.suffix.size());
        m_kinds.append(pattern);
        it = m_kindIndex.insert(m_lastKind, int(m_kinds.size()) - 1);
    }
    m_lastIndex = it.value();
    return m_lastIndex;
}

QString CBookAuditor::Numbers(int kind, double first, double last) const {
    const KindPattern &p = m_kinds[kind];
    const QString from = FormatBillNumber(p.prefix, first, p.suffix, p.width);
    return first == last ? from
                         : QStringLiteral("%1 至 %2").arg(from, FormatBillNumber(p.prefix, last, p.suffix, p.width));
}

void CBookAuditor::Add(int kind, double begin, const QString &numbers, const QString &problem) {
    m_findings.append({kind, begin, {m_kinds[kind].name, numbers, problem}});
}

void CBookAuditor::ReadLiveBooks(CDatabase &db) {
    db.OpenQuery(QString::asprintf("SELECT %s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s FROM %s",
                                   Bill_Kind, Bill_Begin_Int, Bill_End_Int, Bill_Prefix, Bill_Suffix, Bill_Begin_Char,
                                   Bill_End_Char, Bill_Flag, Bill_Unit_Amount, Bill_Unit_Price, Bill_Unit_Return_Amount,
                                   Bill_Unit_Return_Total, Bill_Return_End_Int, Bill_Return_End_Char, Bill_Issue_Time,
                                   Bill_Issue_Dept, Bill_Issue_Broker, Bill_Invalid_Time, Bill_Invalid_Manager,
                                   Bill_NoneFixed_Sum, Bill_Info) +
                 Condition());
    for (; !db.IsEOF(); db.MoveNext()) {
        const int kind = KindOf(db);
        const double begin = FieldNumber(db, Begin);
        const double end = FieldNumber(db, End);
        m_spans.push_back({kind, begin, end, true});
        CheckLiveBook(db, kind, begin, end);
    }
    db.CloseQuery();
}

void CBookAuditor::CheckLiveBook(const CDatabase &db, int kind, double begin, double end) {
    static const QByteArray issued = QByteArray(FlagIssued);
    static const QByteArray returned = QByteArray(FlagReturned);
    static const QByteArray voided = QByteArray(FlagVoid);
    const QByteArrayView flag = FieldUtf8(db, Flag);
    if (flag == issued) {
        const QByteArrayView time = FieldUtf8(db, IssueTime);
        if (!time.isEmpty() && time < QByteArrayView(m_cutoff)) {
            Add(kind, begin, Numbers(kind, begin, end),
                QStringLiteral("发放 %1 天未回收（领票部门 %2，领票人 %3）")
                    .arg(DayOf(time).daysTo(m_options.now.date()))
                    .arg(QString::fromUtf8(FieldUtf8(db, IssueDept)), QString::fromUtf8(FieldUtf8(db, IssueBroker))));
        }
    } else if (flag == returned) {
        QStringList faults;
        const double count = FieldNumber(db, Amount);
        const double used = FieldNumber(db, ReturnAmount);
        const double returnEnd = FieldNumber(db, ReturnEnd);
        if (used > count)
            faults << QStringLiteral("回收张数 %1 大于本内张数 %2").arg(used).arg(count);
        if (returnEnd < begin || returnEnd > end)
            faults << QStringLiteral("返还结尾编号 %1 不在本内").arg(QString::fromUtf8(FieldUtf8(db, ReturnEndChar)));
        const double expected = used * FieldNumber(db, Price);
        const double collected = FieldNumber(db, ReturnTotal);
        if (FieldNumber(db, NoneFixed) == 0 && std::fabs(collected - expected) > 0.005)
            faults << QStringLiteral("回收金额 %1 不等于回收张数乘单价 %2")
                          .arg(FormatMoney(collected), FormatMoney(expected));
        if (!faults.isEmpty())
            Add(kind, begin, Numbers(kind, begin, end),
                QStringLiteral("回收自相矛盾：") + faults.join(QStringLiteral("；")));
    } else if (flag == voided && (FieldUtf8(db, InvalidTime).isEmpty() || FieldUtf8(db, InvalidManager).isEmpty())) {
        Add(kind, begin, Numbers(kind, begin, end), QStringLiteral("作废票据没有作废时间或管理员"));
    }
}

void CBookAuditor::ReadDeletedBooks(CDatabase &db) {
    db.OpenQuery(QString::asprintf("SELECT %s,%s,%s,%s,%s,%s,%s,%s FROM %s", Bill_Kind, Bill_Begin_Int, Bill_End_Int,
                                   Bill_Prefix, Bill_Suffix, Bill_Begin_Char, Bill_Recycle_Time, Bill_Recycle_Manager,
                                   Bill_Recycle_Info) +
                 Condition());
    for (; !db.IsEOF(); db.MoveNext()) {
        const int kind = KindOf(db);
        const double begin = FieldNumber(db, Begin);
        const double end = FieldNumber(db, End);
        m_spans.push_back({kind, begin, end, false});
        if (FieldUtf8(db, DeletedTime).isEmpty() || FieldUtf8(db, DeletedManager).isEmpty())
            Add(kind, begin, Numbers(kind, begin, end), QStringLiteral("删除票据没有删除时间或管理员"));
    }
    db.CloseQuery();
}

void CBookAuditor::CheckSpans() {
    // Deleted books before live ones of the same first number, so that a live book meets them all.
    std::sort(m_spans.begin(), m_spans.end(), [](const Span &a, const Span &b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.begin != b.begin)
            return a.begin < b.begin;
        return a.live < b.live;
    });
    constexpr double None = -std::numeric_limits<double>::infinity();
    int kind = -1;
    double covered = None;
    double liveCovered = None;
    for (const Span &s : m_spans) {
        if (s.kind != kind) {
            kind = s.kind;
            covered = liveCovered = None;
        }
        if (covered != None && s.begin > covered + 1)
            Add(kind, covered + 1, Numbers(kind, covered + 1, s.begin - 1),
                QStringLiteral("编号缺失：没有任何票据（含已删除的）持有这些编号"));
        const double other = s.live ? covered : liveCovered;
        if (other != None && s.begin <= other)
            Add(kind, s.begin, Numbers(kind, s.begin, std::min(s.end, other)),
                s.live ? QStringLiteral("编号重复：被两本票据同时持有")
                       : QStringLiteral("编号重复：已删除的票据与在用票据持有相同编号"));
        covered = std::max(covered, s.end);
        if (s.live)
            liveCovered = std::max(liveCovered, s.end);
    }
}

QVector<AuditFinding> CBookAuditor::Findings() {
    CheckSpans();
    std::stable_sort(m_findings.begin(), m_findings.end(), [this](const SortedFinding &a, const SortedFinding &b) {
        if (a.kind != b.kind)
            return m_kinds[a.kind].name < m_kinds[b.kind].name;
        return a.begin < b.begin;
    });
    QVector<AuditFinding> findings;
    findings.reserve(m_findings.size());
    for (const SortedFinding &f : std::as_const(m_findings))
        findings.append(f.finding);
    return findings;
}

} // namespace

QVector<AuditFinding> AuditBooks(const AuditOptions &options) {
    CDatabase &db = TheDatabase();
    CBookAuditor auditor(options);
    auditor.ReadLiveBooks(db);
    auditor.ReadDeletedBooks(db);
    return auditor.Findings();
}

QStringList AuditTitles() {
    return {QStringLiteral("票据类型"), QStringLiteral("编号"), QStringLiteral("问题")};
}

QStringList AuditCells(const AuditFinding &finding) {
    return {finding.kind, finding.numbers, finding.problem};
}

QString CleanAuditText() {
    return QStringLiteral("账簿完整，未发现问题");
}
