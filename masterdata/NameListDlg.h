#pragma once
#include <QDialog>
#include <QString>
#include <QStringList>

class CQueryListCtrl;
class QPushButton;
class QVBoxLayout;

// What one master list shows: the list dialogs differ only in these texts and in what adding and
// deleting a row do.
struct NameListSetup {
    QString caption;
    QString label; // above the list; empty for none
    QString statement;
    QStringList moneyColumns = {};
    QString tickColumn = {};     // a flag column shown as "√"
    QString deleteQuestion = {}; // asked (caption "警告") before deleting; empty deletes at once
};

// A list of one master table with "增加", "删除" and "关闭". Every change is written at once; the add
// dialog refreshes the list after each entry it adds.
class CNameListDlg : public QDialog {
    Q_OBJECT
public:
    CQueryListCtrl *List() const { return m_list; }
    QPushButton *AddButton() const { return m_add; }
    QPushButton *DeleteButton() const { return m_delete; }
    QPushButton *CloseButton() const { return m_close; }

    void FillList();

protected:
    CNameListDlg(const NameListSetup &setup, QWidget *parent);
    // A further button, placed above "关闭".
    QPushButton *AddCommandButton(const QString &text);
    // A further field among the buttons, placed above "关闭".
    void AddCommandWidget(QWidget *widget);
    // The first column of the first selected row; false when no row is selected.
    bool SelectedName(QString &name) const;

    virtual void OnAdd() = 0;
    // Deletes the named row from the store; true when the list should be refilled.
    virtual bool DeleteRow(const QString &name) = 0;

private:
    void OnDelete();

    NameListSetup m_setup;
    CQueryListCtrl *m_list;
    QPushButton *m_add;
    QPushButton *m_delete;
    QPushButton *m_close;
    QVBoxLayout *m_buttons;
};
