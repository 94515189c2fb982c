#include "mainwindow/Overview.h"

#include "app/Database.h"
#include "mainwindow/ViewStatements.h"
#include "reports/ReportGenerators.h"
#include "schema/Schema.h"

#include <QByteArrayView>
#include <algorithm>

using namespace schema;

namespace {

// The columns of the one pass, in select order.
enum Column { Flag, Kind, Total, ReturnTotal, ReturnTime, IssueTime, InvalidTime, Begin, End, Dept, Broker };

QString BooksStatement() {
    return QString::asprintf(" SELECT %s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s FROM %s ", Bill_Flag, Bill_Kind, Bill_Unit_Total,
                             Bill_Unit_Return_Total, Bill_Return_Time, Bill_Issue_Time, Bill_Invalid_Time,
                             Bill_Begin_Char, Bill_End_Char, Bill_Issue_Dept, Bill_Issue_Broker, Bill_Info);
}

// Times are stored as zero-padded texts, so a month or a year is a prefix and an earlier time sorts
// first.
QByteArray TimeText(const QDateTime &time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
}

// The date of a stored time ("2025-03-09 08:30:00"), read straight from its digits: a year of
// overdue books would take seconds through the general date parser.
QDate DateOf(QByteArrayView time) {
    const auto number = [&](qsizetype from, qsizetype length) {
        int value = 0;
        for (qsizetype i = from; i < from + length && i < time.size(); ++i)
            value = value * 10 + (time.at(i) - '0');
        return value;
    };
    return time.size() >= 10 ? QDate(number(0, 4), number(5, 2), number(8, 2)) : QDate();
}

class COverviewPass {
public:
    COverviewPass(const QDateTime &now, OverviewFigures &figures)
        : m_now(now), m_figures(figures), m_year(now.toString(QStringLiteral("yyyy")).toLatin1()),
          m_overdueBefore(TimeText(now.addDays(-OverdueDays))) {
        const QDate thisMonth(now.date().year(), now.date().month(), 1);
        for (int i = OverviewMonths - 1; i >= 0; --i) {
            const QDate month = thisMonth.addMonths(-i);
            m_monthKeys << month.toString(QStringLiteral("yyyy-MM")).toLatin1();
            m_figures.months << MonthMoney{month, 0};
        }
    }

    void AddKind(const QString &kind) {
        m_kindKeys << kind.toUtf8();
        m_figures.kinds << KindFigures{kind, 0, 0, 0};
    }

    void AddBook(const CDatabase &db) {
        QByteArrayView flag;
        db.ReadFieldUtf8(Flag, flag);
        if (flag == QByteArrayView(FlagStock)) {
            ++m_figures.booksInStock;
            m_figures.stockCents += Cents(db, Total);
            ++KindOf(db).inStock;
        } else if (flag == QByteArrayView(FlagIssued)) {
            ++m_figures.booksOut;
            ++KindOf(db).out;
            NoteOverdue(db);
        } else if (flag == QByteArrayView(FlagReturned)) {
            ++KindOf(db).returned;
        } else if (flag == QByteArrayView(FlagVoid) && InThisYear(db, InvalidTime)) {
            ++m_figures.voidedThisYear;
        }
        // A book returned and voided since still counts as returned, as the cancellation detail
        // lists it.
        NoteReturn(db);
    }

    void Finish() {
        std::stable_sort(m_figures.overdue.begin(), m_figures.overdue.end(),
                         [](const OverdueBook &a, const OverdueBook &b) { return a.issued < b.issued; });
    }

private:
    static qint64 Cents(const CDatabase &db, int column) {
        double value = 0;
        return db.ReadFieldNumber(column, value) ? ToCents(value) : 0;
    }

    // A unit keeps a few dozen kinds: comparing the stored bytes with each is quicker than making a
    // text of every book's kind.
    KindFigures &KindOf(const CDatabase &db) {
        QByteArrayView kind;
        db.ReadFieldUtf8(Kind, kind);
        for (qsizetype i = 0; i < m_kindKeys.size(); ++i)
            if (m_kindKeys.at(i) == kind)
                return m_figures.kinds[i];
        // A book of a kind no longer listed still counts, under its own name.
        AddKind(QString::fromUtf8(kind));
        return m_figures.kinds.last();
    }

    bool InThisYear(const CDatabase &db, int column) const {
        QByteArrayView time;
        return db.ReadFieldUtf8(column, time) && time.startsWith(m_year);
    }

    void NoteReturn(const CDatabase &db) {
        QByteArrayView time;
        if (!db.ReadFieldUtf8(ReturnTime, time) || time.size() < 7)
            return;
        const QByteArrayView month = time.first(7);
        const int index = int(m_monthKeys.indexOf(month.toByteArray()));
        const bool thisYear = time.startsWith(m_year);
        if (index < 0 && !thisYear)
            return;
        const qint64 cents = Cents(db, ReturnTotal);
        if (index >= 0)
            m_figures.months[index].cents += cents;
        if (index == OverviewMonths - 1) {
            ++m_figures.returnedThisMonth;
            m_figures.collectedThisMonthCents += cents;
        }
        if (thisYear) {
            ++m_figures.returnedThisYear;
            m_figures.collectedThisYearCents += cents;
        }
    }

    void NoteOverdue(const CDatabase &db) {
        QByteArrayView issued;
        if (!db.ReadFieldUtf8(IssueTime, issued) || issued.isEmpty() || !(issued < QByteArrayView(m_overdueBefore)))
            return;
        OverdueBook book;
        book.issued = QString::fromUtf8(issued);
        db.ReadFieldText(Kind, book.kind);
        db.ReadFieldText(Begin, book.begin);
        db.ReadFieldText(End, book.end);
        db.ReadFieldText(Dept, book.department);
        db.ReadFieldText(Broker, book.recipient);
        const QDate date = DateOf(issued);
        book.days = date.isValid() ? int(date.daysTo(m_now.date())) : 0;
        m_figures.overdue << book;
    }

    const QDateTime m_now;
    OverviewFigures &m_figures;
    const QByteArray m_year;
    const QByteArray m_overdueBefore;
    QList<QByteArray> m_monthKeys;
    QList<QByteArray> m_kindKeys;
};

} // namespace

OverviewFigures ReadOverview(const QDateTime &now) {
    OverviewFigures figures;
    QStringList kinds;
    ReadKindNames(kinds);
    COverviewPass pass(now, figures);
    for (const QString &kind : kinds)
        pass.AddKind(kind);

    CDatabase &db = TheDatabase();
    try {
        for (db.OpenQuery(BooksStatement()); !db.IsEOF(); db.MoveNext())
            pass.AddBook(db);
        db.CloseQuery();
    } catch (const CDbError &) {
        db.CloseQuery();
        throw;
    }
    pass.Finish();
    figures.lowStock = ShortKinds();
    return figures;
}
