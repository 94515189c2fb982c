#pragma once
#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;
class QPushButton;

// "表格名称": asks for the name printed above a list. "确定" takes the typed name; closing the
// dialog any other way prints the list as "清单".
class CTableNameDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTableNameDlg(QWidget *parent = nullptr);

    QString TableName() const;
    QLineEdit *NameEdit() const { return m_name; }
    QPushButton *OkButton() const { return m_ok; }

    // Shows the dialog modally and returns the name to print under.
    static QString AskTableName(QWidget *parent = nullptr);

    // How AskTableName shows the dialog (exec by default); tests drive the dialog in their own runner
    // and return its result. Returns the runner it replaces.
    using Runner = std::function<int(CTableNameDlg &dialog)>;
    static Runner SetRunner(Runner runner);

private:
    QLineEdit *m_name;
    QPushButton *m_ok;
};
