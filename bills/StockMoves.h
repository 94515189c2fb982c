#pragma once
#include <QString>
#include <QVector>

// Issue and return of whole books: the statements, the lookups they need and the computations of a
// return line. Every multi-row change runs in one transaction: either every row moves or none.

// A stored run, looked up by kind and first number.
struct RunInfo {
    double begin = 0;
    QString endChar;
    int count = 0;
    double total = 0;
    QString flag;
    QString mainKind;
    QString prefix;
    QString suffix;
    double unitPrice = 0;
    QString issueDept;
    QString issueBroker;
    bool noneFixed = false;
};

// The run of the kind with the first number; with flag, only a run in that state. False when none;
// throws CDbError.
bool FindRun(const QString &kind, const QString &beginChar, RunInfo &run, const char *flag = nullptr);

// A pending row's run: kind and first number, as the pending lists hold them.
struct RunKey {
    QString kind;
    QString beginChar;
};

struct IssueStamp {
    QString time;
    QString dept;
    QString broker;
    QString manager;
    double documentNo = 0;
    // The document was written before under this number by the same dialog (continuous issue).
    bool continuing = false;
};

QString IssueStatement(const IssueStamp &stamp, const RunKey &run);

// What a multi-row move came to: done under documentNo, or refused with nothing changed at row, the
// first row refused. rows holds every row refused for the same reason, or, when done, every row
// moved, in list order.
struct MoveOutcome {
    enum Kind { Done, NotInState, BadAmount } kind = Done;
    int row = -1;
    QVector<int> rows;
    double documentNo = 0;
};

// Issues every run in one transaction, under the document number ClaimDocumentNumber gives. A run
// that is no longer in stock, or that another desk issued meanwhile, is not issued: the whole issue
// is refused, naming every such run. A failing statement rolls everything back and throws CDbError.
MoveOutcome IssueRuns(const QVector<RunKey> &runs, const IssueStamp &stamp);

// One pending return row, as its cells read.
struct ReturnLine {
    RunKey run;
    QString dept;
    QString broker;
    QString returnTotal;   // "回收金额"
    QString returnEndChar; // "返还结尾编号"
    QString returnCount;   // "回收张数"
    QString total;         // "金额"
};

struct ReturnStamp {
    QString time;
    QString manager;
    double documentNo = 0;
    bool continuing = false;
};

// The last returned number's value as text: begin + count - 1 with "%.0f".
QString ReturnEndValue(double begin, int count);

// The return statement of one line; amounts are the texts without the money sign and the count its
// comma-free integer.
QString ReturnStatement(const ReturnStamp &stamp, const ReturnLine &line, const QString &endValue);

// A number text that may stand unquoted in a statement: digits with at most one point, an optional
// leading minus.
bool IsNumberText(const QString &text);

// Returns every line in one transaction, under the document number ClaimDocumentNumber gives. A run
// that exists but is not issued, or that another desk changed meanwhile, is refused at its row; a
// run that does not exist is left to the statement, which changes nothing. The amounts of a run of
// non-fixed amount are the sum of its recorded single bills. An amount that is no number is refused
// (BadAmount). A failing statement rolls everything back and throws CDbError.
MoveOutcome ReturnRuns(const QVector<ReturnLine> &lines, const ReturnStamp &stamp);

// The returned count kept within 1 and the book's count.
int ClampReturnCount(int count, int bookCount);
// The last returned number of a book whose first number text is firstText: its digits are as many as
// firstText holds besides prefix and suffix.
QString ReturnedLastNumber(const RunInfo &run, const QString &firstText, int count);

// The single bills of one book of non-fixed amount.
struct BookKey {
    QString kind;
    QString mainKind;
    QString beginChar;
};

QString SingleBillListStatement(const BookKey &book);
QString RecordAmountStatement(const BookKey &book, const QString &billNumber, double amount);
// Records the amount of one single bill with its log entry, in one transaction. Throws CDbError.
void RecordBillAmount(const BookKey &book, const QString &billNumber, double amount);
// Sum of the book's recorded amounts, 0 when it has none. Throws CDbError.
double SingleBillTotal(const BookKey &book);
// Bills whose amount text is not empty and reads as a number other than zero.
int CountAmounts(const QStringList &amountTexts);
