#pragma once
#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
struct NameTable;

// The texts of one add dialog.
struct AddNameSetup {
    QString caption;
    QString nameLabel;
    QString duplicateMessage; // %s stands for the name
    QString acceptText = QStringLiteral("增加");
    QString closeText = QStringLiteral("关闭");
};

// Adds names to a master table. Accepting takes the fields and the name as NormaliseTypedName makes
// it, does nothing while a required value is missing, refuses a name already stored ("同名错误!"),
// writes the entry, tells the owner (which refreshes its list or view) and then either clears the
// name for the next entry ("连续增加") or closes. Dialogs with more fields than a name add their rows
// and override the steps they change.
class CAddNameDlg : public QDialog {
    Q_OBJECT
public:
    // table may be null for a dialog that overrides IsNameFree and InsertEntry.
    CAddNameDlg(const AddNameSetup &setup, const NameTable *table, std::function<void()> inserted, QWidget *parent);

    QLineEdit *NameEdit() const { return m_name; }
    QCheckBox *KeepAddingBox() const { return m_keepAdding; }
    QPushButton *AcceptButton() const { return m_accept; }
    QPushButton *CloseButton() const { return m_close; }

protected:
    // The field rows; the name row is the only one at first.
    QFormLayout *Form() const { return m_form; }
    // The row of check boxes, "连续增加" first.
    QHBoxLayout *CheckRow() const { return m_checks; }
    // Focuses a field and selects its text, as after a refusal.
    static void FocusAndSelect(QLineEdit *edit);

    // Reads the other fields; false stops (the refusal has been shown).
    virtual bool TakeFields() { return true; }
    virtual bool HasRequiredValues(const QString &name) const { return !name.isEmpty(); }
    virtual bool IsNameFree(const QString &name) const;
    // Last checks and adjustments after the name was found free; false stops.
    virtual bool PrepareInsert() { return true; }
    // Writes the entry; a failure has been reported and returns false.
    virtual bool InsertEntry(const QString &name);
    // Inserts the entry when no row holds the name yet (free); false when it was taken or the write
    // failed, which has been reported.
    bool InsertIfStillFree(const QString &name, bool &free);

private:
    void OnAccept();

    AddNameSetup m_setup;
    const NameTable *m_table;
    std::function<void()> m_inserted;
    QFormLayout *m_form;
    QHBoxLayout *m_checks;
    QLineEdit *m_name;
    QCheckBox *m_keepAdding;
    QPushButton *m_accept;
    QPushButton *m_close;
};
