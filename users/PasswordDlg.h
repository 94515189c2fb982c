#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

// "设置密码": the logged-in user changes their own password after giving the present one.
class CPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(const QString &user, QWidget *parent = nullptr);

    void OnOK();

    QLineEdit *UserEdit() const { return m_user; }
    QLineEdit *OldEdit() const { return m_old; }
    QLineEdit *NewEdit() const { return m_new; }
    QLineEdit *ConfirmEdit() const { return m_confirm; }
    QPushButton *OkButton() const { return m_ok; }
    QPushButton *CancelButton() const { return m_cancel; }

private:
    QLineEdit *m_user;
    QLineEdit *m_old;
    QLineEdit *m_new;
    QLineEdit *m_confirm;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
