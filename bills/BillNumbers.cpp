#include "bills/BillNumbers.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "schema/Schema.h"

#include <cmath>
#include <cstring>

QString FormatBillNumber(const QString &prefix, double value, const QString &suffix, int width) {
    return prefix + FormatBillDigits(value, width) + suffix;
}

QString FormatBillDigits(double value, int width) {
    return QString::asprintf("%0*.0f", width, value);
}

bool IsDigitText(const QString &text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool ParseDecimalText(const QString &text, double &value) {
    const QString trimmed = text.trimmed();
    qsizetype i = trimmed.startsWith(u'+') || trimmed.startsWith(u'-') ? 1 : 0;
    qsizetype digits = 0;
    bool point = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.' && !point)
            point = true;
        else
            return false;
    }
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (digits == 0 || !ok || !std::isfinite(number))
        return false;
    value = number;
    return true;
}

qint64 ToCents(double yuan) {
    return std::llround(yuan * 100.0);
}

// The text FormatMoney gives for the amount, written from the whole cents without a detour
// through floating point; a report writes tens of thousands of them.
QString FormatCents(qint64 cents) {
    QString text = MoneySign;
    if (cents < 0)
        text += QLatin1Char('-');
    const quint64 whole = cents < 0 ? quint64(-(cents + 1)) + 1 : quint64(cents);
    text += QString::number(whole / 100);
    const int fraction = int(whole % 100);
    text += QLatin1Char('.');
    text += QLatin1Char(char('0' + fraction / 10));
    text += QLatin1Char(char('0' + fraction % 10));
    return text;
}

QString FormatMoney(double value) {
    return FormatCents(ToCents(value));
}

bool IsWholeCents(double value) {
    // The typed decimal is the nearest double, so 0.07 * 100 is 7.000000000000001: a tolerance far
    // below a cent and far above that error tells the two apart.
    const double cents = value * 100.0;
    return std::isfinite(cents) && std::fabs(cents - std::round(cents)) < 1e-6;
}

void ShowCentsRefusal() {
    ShowMessage(QStringLiteral("金额只能精确到分（最多两位小数），请重新输入!"), QStringLiteral("金额错误"),
                MsgIcon::Exclamation);
}

QString StripMoneySign(const QString &text) {
    return text.startsWith(MoneySign) ? text.mid(MoneySign.size()) : text;
}

bool ParseMoneyText(const QString &text, double &value, QString &normalised) {
    const QString rest = StripMoneySign(text);
    if (rest.isEmpty())
        return false;
    for (QChar c : rest)
        if ((c < u'0' || c > u'9') && c != u'.')
            return false;
    // The leading number: digits with at most one point; "." alone reads as 0.
    int end = 0;
    bool point = false;
    while (end < rest.size() && (rest[end] != u'.' || !point)) {
        point = point || rest[end] == u'.';
        ++end;
    }
    value = rest.left(end).toDouble();
    normalised = FormatMoney(value);
    return true;
}

void ShowMoneyRefusal() {
    ShowMessage(QString::asprintf("或者在货币前加上人民币符号%s,或者干脆不要加。\n请不要使用其他货币符号!",
                                  qUtf8Printable(MoneySign)),
                QStringLiteral("货币不规范"), MsgIcon::Exclamation);
}

QString FormatDateTime(const QDateTime &when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return QString::asprintf("%d-%d-%d %d:%d:%d", d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
}

double MaxNumberValue(int width) {
    const QString nines(57, u'9');
    return nines.left(qBound(0, width, 57)).toDouble();
}

int ParseReturnCount(const QString &text, QString *commaFree) {
    QString plain = text;
    plain.remove(u',');
    if (commaFree)
        *commaFree = plain;
    int end = 0;
    if (end < plain.size() && (plain[end] == u'-' || plain[end] == u'+'))
        ++end;
    while (end < plain.size() && plain[end].isDigit())
        ++end;
    return plain.left(end).toInt();
}

QString FormatDocumentNumber(double number) {
    return QString::asprintf("%.0f", number);
}

double FirstDocumentNumber(const char *column) {
    if (std::strcmp(column, schema::Bill_Issue_No) == 0)
        return 200000000000000.0;
    if (std::strcmp(column, schema::Bill_Return_No) == 0)
        return 300000000000000.0;
    return 100000000000000.0;
}

namespace {

double ReadNextDocumentNumber(const char *column) {
    CDatabase &db = TheDatabase();
    db.OpenQuery(QString::asprintf("SELECT (MAX(%s)+1) AS %s \t\t\t\t\t\tFROM %s", column, "编号", schema::Bill_Info));
    double next = 0;
    const bool found = db.ReadFieldNumber(QStringLiteral("编号"), next);
    db.CloseQuery();
    return found ? next : FirstDocumentNumber(column);
}

} // namespace

bool NextDocumentNumber(const char *column, double &number) {
    try {
        number = ReadNextDocumentNumber(column);
        return true;
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
}

double ClaimDocumentNumber(const char *column, double shown, bool continuing) {
    CDatabase &db = TheDatabase();
    db.HoldUntilCommit(QStringLiteral("document numbers of %1").arg(QLatin1String(column)));
    if (continuing)
        return shown;
    db.OpenQuery(QString::asprintf("SELECT COUNT(*) AS n FROM %s WHERE %s = %.0f", schema::Bill_Info, column, shown));
    double holders = 0;
    db.ReadFieldNumber(0, holders);
    db.CloseQuery();
    return holders == 0 ? shown : ReadNextDocumentNumber(column);
}
