#include "app/LoginDlg.h"

#include "app/Database.h"
#include "app/Messages.h"
#include "app/StartupLog.h"
#include "app/TabOrder.h"
#include "resources/Artwork.h"
#include "schema/Schema.h"
#include "users/Passwords.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

using namespace schema;

namespace {

// A button drawn from its caption's images: caption + "U" at rest, "D" pressed, "F" focused and
// "H" under the pointer.
class LoginImageButton : public QAbstractButton {
public:
    LoginImageButton(const QString &caption, QWidget *parent) : QAbstractButton(parent), m_caption(caption) {
        setObjectName(caption);
        setText(caption);
        setFocusPolicy(Qt::StrongFocus);
        setCursor(Qt::PointingHandCursor);
        setFixedSize(artwork::NamedImage(caption + QLatin1Char('U')).size());
    }

protected:
    void paintEvent(QPaintEvent *) override {
        QChar state = QLatin1Char('U');
        if (isDown())
            state = QLatin1Char('D');
        else if (underMouse())
            state = QLatin1Char('H');
        else if (hasFocus())
            state = QLatin1Char('F');
        QPainter(this).drawPixmap(0, 0, artwork::NamedImage(m_caption + state));
    }
    void enterEvent(QEnterEvent *event) override {
        update();
        QAbstractButton::enterEvent(event);
    }
    void leaveEvent(QEvent *event) override {
        update();
        QAbstractButton::leaveEvent(event);
    }

private:
    QString m_caption;
};

} // namespace

CLoginDlg::CLoginDlg(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setWindowTitle(QStringLiteral("用户登录"));
    OrderTabsByPosition(this);
    setFixedSize(artwork::LoginBackground().size());

    m_userBox = new QComboBox(this);
    m_userBox->setObjectName(QStringLiteral("userBox"));
    m_userBox->setEditable(true);
    m_userBox->setInsertPolicy(QComboBox::NoInsert);
    m_userBox->setGeometry(118, 106, 252, 30);

    m_passwordBox = new QLineEdit(this);
    m_passwordBox->setObjectName(QStringLiteral("passwordBox"));
    m_passwordBox->setEchoMode(QLineEdit::Password);
    m_passwordBox->setGeometry(118, 150, 252, 30);

    m_okButton = new LoginImageButton(QStringLiteral("OK"), this);
    m_okButton->move(150, 200);
    m_cancelButton = new LoginImageButton(QStringLiteral("CANCEL"), this);
    m_cancelButton->move(266, 200);

    // Enter anywhere runs OK through this button, which takes no room on the screen.
    m_defaultButton = new QPushButton(this);
    m_defaultButton->setObjectName(QStringLiteral("defaultButton"));
    m_defaultButton->setDefault(true);
    m_defaultButton->setFocusPolicy(Qt::NoFocus);
    m_defaultButton->setGeometry(0, 0, 0, 0);

    connect(m_okButton, &QAbstractButton::clicked, this, &CLoginDlg::OnOK);
    connect(m_defaultButton, &QAbstractButton::clicked, this, &CLoginDlg::OnOK);
    connect(m_cancelButton, &QAbstractButton::clicked, this, &CLoginDlg::OnCancel);

    FillUsers();
    setTabOrder(m_userBox, m_passwordBox);
    setTabOrder(m_passwordBox, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
    m_passwordBox->setFocus();
}

void CLoginDlg::FillUsers() {
    m_userBox->clear();
    CDatabase &db = TheDatabase();
    try {
        db.OpenQuery(QString::asprintf("SELECT * FROM %s ORDER BY %s ASC", Bill_Password_Info, Bill_Password_ID));
        for (; !db.IsEOF(); db.MoveNext()) {
            QString user;
            if (db.ReadFieldText(Bill_Password_User, user))
                m_userBox->addItem(user);
        }
        db.CloseQuery();
    } catch (const CDbError &e) {
        ReportDbError(e);
    }
    if (m_userBox->count() > 0)
        m_userBox->setCurrentIndex(0);
}

void CLoginDlg::OnOK() {
    m_password = m_passwordBox->text();
    const QString user = m_userBox->currentText();
    bool matches = false;
    try {
        matches = CheckAndLogLogin(user, m_password);
    } catch (const CDbError &e) {
        ReportDbError(e);
        return;
    }
    if (!matches) {
        ShowMessage(QStringLiteral("密码错误，请输入正确的密码!"), QStringLiteral("密码"), MsgIcon::Exclamation);
        return;
    }
    m_result = LoginSucceeded;
    m_userName = user;
    accept();
}

void CLoginDlg::OnCancel() {
    m_userName.clear();
    QDialog::reject();
}

void CLoginDlg::paintEvent(QPaintEvent *) {
    static const QPixmap background = artwork::LoginBackground();
    QPainter(this).drawPixmap(0, 0, background);
}

void CLoginDlg::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    qCInfo(startupLog, "login window shown");
}

// Without a caption bar the dialog is moved by dragging its background.
void CLoginDlg::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void CLoginDlg::mouseMoveEvent(QMouseEvent *event) {
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - m_dragOffset);
}
