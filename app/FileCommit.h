#pragma once
#include <QString>

// Files that take their name only when they are whole. A file is written under a temporary name beside
// its target, flushed to the disk and then renamed to the target in one step, so a failure, a full
// disk or a killed program never leaves a half file under the target's name, and an existing target
// stays as it was until the new file replaces it. Error texts are a Chinese sentence followed by the
// system's own words.

// Creates a new empty file beside target, named ".<target's name>.<random>.part", with the permissions
// of an existing target or the usual ones of a new file. Empty with the reason in error on failure.
QString CreateFileBeside(const QString &target, QString *error);

// Writes the file's data through to the disk.
bool FlushToDisk(const QString &path, QString *error);

// Flushes the finished file and renames it to target in one step, then flushes the folder. With replace
// an existing target is replaced; without it an existing target is never touched and the call fails with
// taken set. The finished file is left in place on failure.
bool MoveIntoPlace(const QString &finished, const QString &target, bool replace, QString *error,
                   bool *taken = nullptr);

// A file being written to replace target: the temporary file is made at construction and removed on
// destruction unless Commit put it in the target's place.
class CFileReplacement {
public:
    explicit CFileReplacement(const QString &target);
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement &) = delete;
    CFileReplacement &operator=(const CFileReplacement &) = delete;

    // The file to write into; empty when it could not be made (Error() says why).
    const QString &TempPath() const { return m_temp; }
    const QString &Error() const { return m_error; }
    // Puts the finished file in the target's place; false with the reason in Error().
    bool Commit();

private:
    QString m_target;
    QString m_temp;
    QString m_error;
    bool m_committed = false;
};
