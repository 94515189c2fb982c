#pragma once
#include <QDialog>
#include <QString>

class CPermissionTable;
class CQueryListCtrl;
class CRightsTreePane;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "权限管理": the accounts with their details and rights. The left pane is the rights tree; the fields
// and the list of accounts are on the right. Nothing is written before "保存" or "删除"; choosing another
// account discards edits not saved. The built-in administrator is shown with every right and cannot be
// changed or deleted here.
class CUserAccountDlg : public QDialog {
    Q_OBJECT
public:
    // The table translates between the names in the tree and the codes of rights strings.
    explicit CUserAccountDlg(const CPermissionTable &table, QWidget *parent = nullptr);

    void FillUserList();
    // Shows the account of the list row in the fields and its rights in the tree.
    void ShowUser(int row);
    // Unchecks every right and empties the fields, for a new account.
    void ClearUser();
    // Writes the account of the fields with the rights string; false when nothing was written.
    bool SaveUser(const QString &rights);
    // Deletes the account; false when nothing was deleted.
    bool DeleteUser(const QString &name);

    void OnAdd();
    void OnSave();
    void OnDelete();

    CRightsTreePane *RightsTree() const { return m_tree; }
    CQueryListCtrl *UserList() const { return m_list; }
    QLineEdit *NameEdit() const { return m_name; }
    QRadioButton *MaleButton() const { return m_male; }
    QRadioButton *FemaleButton() const { return m_female; }
    QLineEdit *PasswordEdit() const { return m_password; }
    QLineEdit *AddressEdit() const { return m_address; }
    QLineEdit *ContactEdit() const { return m_contact; }
    QLineEdit *EmailEdit() const { return m_email; }
    QLineEdit *RemarkEdit() const { return m_remark; }
    QPushButton *AddButton() const { return m_add; }
    QPushButton *SaveButton() const { return m_save; }
    QPushButton *DeleteButton() const { return m_delete; }
    QPushButton *CloseButton() const { return m_close; }

private:
    CRightsTreePane *m_tree;
    CQueryListCtrl *m_list;
    QLineEdit *m_name;
    QRadioButton *m_male;
    QRadioButton *m_female;
    QLineEdit *m_password;
    QLineEdit *m_address;
    QLineEdit *m_contact;
    QLineEdit *m_email;
    QLineEdit *m_remark;
    QPushButton *m_add;
    QPushButton *m_save;
    QPushButton *m_delete;
    QPushButton *m_close;
};
