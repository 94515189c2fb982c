#pragma once
#include <QString>
#include <QStringList>

// The rights of the logged-in user: the name-to-code table of the rights tree and the user's rights
// string. A right is granted when the tree names it and its code occurs anywhere in the rights
// string; a right the tree does not name, or a tree that could not be read, grants nothing. The
// administrator account holds every right whatever its row says.
class CPermissionTable {
public:
    // Text held in place of a missing name or code, so the two lists stay parallel.
    static QString NullEntry() { return QStringLiteral("-FF"); }

    // Reads the rights tree in ID order into the parallel name and code lists. A failed read is
    // reported and leaves false.
    bool LoadPermissionTable();
    // Reads the rights string of the user's account (empty when there is no row or it is NULL),
    // holds it and returns it.
    QString LoadUserRights(const QString &user);

    // Whether the current user's account row was found when its rights were read again.
    enum class Account { Present, Gone, Unreadable };
    // Reads the current user's rights afresh, so that a right the administrator revoked in another
    // copy of the program is refused at the next command. A failed read is reported, holds no
    // rights and says Unreadable.
    Account ReloadUserRights();

    // The name of a code, or the code of a name; false when the text is neither.
    bool TranslatePopedom(const QString &text, QString &translated) const;

    bool HasRight(const QString &rightName) const;
    // HasRight, and on refusal the message that tells the user to ask the administrator.
    bool CheckRight(const QString &rightName) const;

    void SetUserName(const QString &user) { m_user = user; }
    QString UserName() const { return m_user; }
    QString Rights() const { return m_rights; }
    const QStringList &Names() const { return m_names; }
    const QStringList &Codes() const { return m_codes; }

private:
    QStringList m_names;
    QStringList m_codes;
    QString m_user;
    QString m_rights;
};
