#pragma once
#include <QDialog>
#include <QString>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QPushButton;

// The login: an account name (chosen or typed) and its password. Ends with result 6 when the
// password matches the account's, and 7 otherwise; a wrong password keeps the dialog open.
class CLoginDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int LoginSucceeded = 6;
    static constexpr int LoginFailed = 7;

    explicit CLoginDlg(QWidget *parent = nullptr);

    // The name that logged in; empty after a cancel.
    QString UserName() const { return m_userName; }
    int Result() const { return m_result; }

    QComboBox *UserBox() const { return m_userBox; }
    QLineEdit *PasswordBox() const { return m_passwordBox; }
    QAbstractButton *OkButton() const { return m_okButton; }
    QAbstractButton *CancelButton() const { return m_cancelButton; }

    void OnOK();
    void OnCancel();
    // Escape and the system's close cancel.
    void reject() override { OnCancel(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void FillUsers();

    QComboBox *m_userBox;
    QLineEdit *m_passwordBox;
    QAbstractButton *m_okButton;
    QAbstractButton *m_cancelButton;
    QPushButton *m_defaultButton;
    QString m_userName;
    QString m_password;
    int m_result = LoginFailed;
    QPoint m_dragOffset;
};
