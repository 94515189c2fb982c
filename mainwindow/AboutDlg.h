#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// "关于作者": the program's icon and name, the contact address and a button that writes to it.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget *parent = nullptr);
    QPushButton *ContactButton() const { return m_contact; }
    QPushButton *OkButton() const { return m_ok; }
    QLabel *EmailLabel() const { return m_email; }

private:
    void OnContact();

    QLabel *m_email = nullptr;
    QPushButton *m_contact = nullptr;
    QPushButton *m_ok = nullptr;
};
