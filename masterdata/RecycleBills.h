#pragma once
#include <QString>

struct NameTable;

// Moves bill runs and their single bills into the recycle tables: the rows are copied whole (counter
// and void stamps included) with INSERT ... SELECT *, followed by the deletion's time and
// administrator, and then deleted, all in one transaction.
//  - mode "类型删除标志": every run of the kind named by value;
//  - mode "主类型删除标志": every run of the main kind named by value;
//  - any other mode: the one run of kind value whose first number is mode.
// Whole-kind moves stamp the remark "类型删除标志"; the single-run move keeps the run's remark.
// Runs are moved whatever their state. Inside a caller's transaction the move is a savepoint of it.
// A failure rolls the move back, is reported and returns false.
bool RecycleBills(const QString &value, const QString &mode, const QString &manager, const QString &time);

// The same without the report: throws CDbError and leaves the rollback to the caller's transaction.
void MoveBillsToRecycle(const QString &value, const QString &mode, const QString &manager, const QString &time);

// Deletes a kind (mode "类型删除标志") or a main kind (mode "主类型删除标志") and moves its runs, in
// one transaction stamped with the current administrator and time: after a failure, which is
// reported, the master row and every run are as they were. The kinds of a deleted main kind stay.
bool DeleteKindWithBills(const NameTable &table, const QString &name, const char *mode);
