#pragma once
#include <QString>

class CDatabase;

// The check of the operation log ("日志校验"): the entries are walked in the order they were written
// and every hash is made again from the entry's columns and the hash before it.

struct LogCheck {
    enum Finding {
        Whole,   // every entry chains to the one before
        Changed, // an entry's columns no longer give its hash
        Removed, // entries are missing before this one
        Inserted // an entry stands where the program wrote none
    } finding = Whole;
    qint64 entries = 0;     // entries walked
    qint64 no = 0;          // the number the first bad entry has, or should have had
    qint64 id = 0;          // its row key; 0 for removed entries
    qint64 missing = 0;     // how many entries were removed
    bool codeFound = false; // the asked check code is the head of an entry before the first bad one
};

// Walks the whole log. code, when given, is a check code (16 hex digits, any case) looked for among
// the hashes of the entries that chain. Throws CDbError.
LogCheck CheckLogChain(CDatabase &db, const QString &code = QString());

// 16 hex digits, in either case: what a check code looks like.
bool IsLogCheckCode(const QString &text);

// The check's result in words, naming the first entry that is wrong.
QString LogCheckText(const LogCheck &check);
// Whether the log still passes through the code, in words.
QString CodeCheckText(const LogCheck &check, const QString &code);
