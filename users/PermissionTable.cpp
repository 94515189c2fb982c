#include "users/PermissionTable.h"

#include "app/Database.h"
#include "app/Dialect.h"
#include "app/Messages.h"
#include "schema/Schema.h"

using namespace schema;

bool CPermissionTable::LoadPermissionTable() {
    m_names.clear();
    m_codes.clear();
    CDatabase &db = TheDatabase();
    try {
        db.OpenQuery(
            QString::asprintf(" SELECT * FROM %s ORDER BY %s ASC", Bill_Popedom_Tree_Info, Bill_Popedom_Tree_ID));
        for (; !db.IsEOF(); db.MoveNext()) {
            QString code = NullEntry();
            QString name = NullEntry();
            db.ReadFieldText(Bill_Popedom_Tree_Code, code);
            db.ReadFieldText(Bill_Popedom_Tree_Name, name);
            m_codes << code;
            m_names << name;
        }
        db.CloseQuery();
    } catch (const CDbError &e) {
        ReportDbError(e);
        return false;
    }
    return true;
}

QString CPermissionTable::LoadUserRights(const QString &user) {
    m_user = user;
    ReloadUserRights();
    return m_rights;
}

CPermissionTable::Account CPermissionTable::ReloadUserRights() {
    m_rights.clear();
    CDatabase &db = TheDatabase();
    try {
        db.OpenQuery(QString::asprintf(" SELECT * FROM %s WHERE %s = '%s'", Bill_Password_Info, Bill_Password_User,
                                       Quote(m_user).constData()));
        const bool found = !db.IsEOF();
        if (found)
            db.ReadFieldText(Bill_Password_Popedom, m_rights);
        db.CloseQuery();
        return found ? Account::Present : Account::Gone;
    } catch (const CDbError &e) {
        ReportDbError(e);
        m_rights.clear();
        return Account::Unreadable;
    }
}

bool CPermissionTable::TranslatePopedom(const QString &text, QString &translated) const {
    int at = m_codes.indexOf(text);
    if (at >= 0) {
        translated = m_names.at(at);
        return true;
    }
    at = m_names.indexOf(text);
    if (at >= 0) {
        translated = m_codes.at(at);
        return true;
    }
    return false;
}

bool CPermissionTable::HasRight(const QString &rightName) const {
    if (m_user == QString::fromUtf8(AdministratorUser))
        return true;
    // Rights fail closed: a name the tree does not hold (or a tree that could not be read) grants
    // nothing, and neither does a tree row without a code.
    const qsizetype at = m_names.indexOf(rightName);
    if (at < 0)
        return false;
    const QString &code = m_codes.at(at);
    if (code.isEmpty() || code == NullEntry())
        return false;
    return m_rights.contains(code);
}

bool CPermissionTable::CheckRight(const QString &rightName) const {
    if (HasRight(rightName))
        return true;
    ShowMessage(QStringLiteral("您没有权限进行该项操作，想要取得该项操作的权限，请与管理员联系!"),
                QStringLiteral("权限"), MsgIcon::Exclamation);
    return false;
}
