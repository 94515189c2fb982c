#include "app/BillApp.h"

#include "app/AppStyle.h"
#include "app/Backup.h"
#include "app/Database.h"
#include "app/Messages.h"
#include "app/SingleInstance.h"
#include "app/StartupLog.h"
#include "mainwindow/MainDlg.h"
#include "mainwindow/SkinStyle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QThread>
#include <QTranslator>

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Stop:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MsgAnswer FromQtAnswer(int answer) {
    switch (answer) {
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Cancel;
    }
}

// Brings the running copy to the front: its main window, once shown, then the dialog open over it
// (the login while nobody has logged in yet).
void RaiseWindow(QWidget *window) {
    if (window->isVisible()) {
        if (window->isMinimized())
            window->showNormal();
        window->raise();
        window->activateWindow();
    }
    QWidget *modal = QApplication::activeModalWidget();
    if (modal && modal != window) {
        modal->raise();
        modal->activateWindow();
    }
}

// The clerk's texts are Chinese: a font made for them reads better than the fallback glyphs.
void UseChineseUiFont() {
    const QString family = QStringLiteral("WenQuanYi Micro Hei");
    if (!QFontDatabase::hasFamily(family))
        return;
    QFont font = QApplication::font();
    font.setFamily(family);
    QApplication::setFont(font);
}

} // namespace

bool InstallChineseTranslation() {
    // Qt's own texts (standard buttons, the print and file dialogs) in the clerk's language.
    static QTranslator *translator = nullptr;
    if (translator)
        return true;
    auto *loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(loaded)) {
        delete loaded;
        return false;
    }
    translator = loaded;
    return true;
}

void InstallWidgetMessagePresenter() {
    SetMessagePresenter([](const QString &text, const QString &caption, MsgIcon icon, MsgButtons buttons) {
        QMessageBox box(ToQtIcon(icon), caption, text, ToQtButtons(buttons), QApplication::activeWindow());
        return FromQtAnswer(box.exec());
    });
}

CBillApp::CBillApp() = default;
CBillApp::~CBillApp() {
    if (m_verifier)
        m_verifier->wait();
}

bool CBillApp::OpenDataFile() {
    CDatabase &db = TheDatabase();
    QString error;
    const QString path = QDir::current().filePath(CDatabase::DataFileName());
    if (db.Open(path, &error)) {
        qCInfo(startupLog, "data file %s opened", qUtf8Printable(path));
        return true;
    }
    QString text;
    switch (db.LastOpenFailure()) {
    case OpenFailure::ReadOnlyFile:
        text = QStringLiteral("数据文件%1是只读的，无法写入，程序不能运行!").arg(CDatabase::DataFileName());
        break;
    case OpenFailure::ReadOnlyFolder:
        text = QStringLiteral("数据文件%1所在的文件夹不能写入，程序不能运行!").arg(CDatabase::DataFileName());
        break;
    case OpenFailure::UpgradeFailed:
        text =
            QStringLiteral("数据文件%1无法升级到本程序的版本，文件未作改动:\n%2").arg(CDatabase::DataFileName(), error);
        break;
    default:
        text = QStringLiteral("无法找到数据文件!");
    }
    ShowMessage(text, QStringLiteral("Prompt!"), MsgIcon::Stop);
    return false;
}

bool CBillApp::InitInstance() {
    // The instance is taken first: a second copy must not check, upgrade or write the file at the
    // same time.
    m_guard = std::make_unique<CSingleInstanceGuard>(SingleInstanceName());
    if (!m_guard->Acquire())
        return false;
    if (!OpenDataFile())
        return false;
    // Only the copy that owns the data file backs it up, at start when a day has passed and at exit.
    // The copy an upgrade left waits for a good backup of the upgraded file: that one is made at once.
    const QString dataFile = QDir::current().filePath(CDatabase::DataFileName());
    RemoveUnfinishedBackups(dataFile);
    m_backupOnExit = true;
    if (BackupIsDue(dataFile, QDateTime::currentDateTime()) || !CDatabase::UpgradeCopies(dataFile).isEmpty())
        StartBackup();
    return true;
}

namespace {
// A good backup of the checked data file replaces the copies an upgrade left beside it.
void ConcludeBackup(const BackupOutcome &outcome) {
    if (!outcome.ok) {
        ShowMessage(BackupFailureText(outcome), QStringLiteral("数据备份"), MsgIcon::Exclamation);
        return;
    }
    for (const QString &copy : CDatabase::UpgradeCopies(QDir::current().filePath(CDatabase::DataFileName())))
        QFile::remove(copy);
}
} // namespace

void CBillApp::StartBackup() {
    const BackupOutcome copied =
        CopyDatabase(TheDatabase(), QDir::current().filePath(CDatabase::DataFileName()), QDateTime::currentDateTime());
    if (!copied.ok) {
        ConcludeBackup(copied);
        return;
    }
    // The check reads the whole copy; it runs beside the clerk's work and tells its verdict when done.
    m_verified = std::make_shared<BackupOutcome>();
    m_verifier.reset(QThread::create([copied, verified = m_verified] { *verified = VerifyBackup(copied); }));
    QObject::connect(m_verifier.get(), &QThread::finished, m_verifier.get(), [this] {
        // The thread object is still delivering this signal: it goes once the loop is back.
        m_verifier.release()->deleteLater();
        ConcludeBackup(*m_verified);
    });
    m_verifier->start(QThread::LowPriority);
}

void CBillApp::FinishVerification() {
    if (!m_verifier)
        return;
    m_verifier->wait();
    m_verifier.reset();
    ConcludeBackup(*m_verified);
}

void CBillApp::ExitInstance() {
    FinishVerification();
    if (m_backupOnExit)
        ConcludeBackup(BackupDatabase(TheDatabase(), QDir::current().filePath(CDatabase::DataFileName()),
                                    QDateTime::currentDateTime()));
    m_backupOnExit = false;
    TheDatabase().Close();
    m_guard.reset();
}

int CBillApp::Run() {
    InstallWidgetMessagePresenter();
    InstallChineseTranslation();
    UseChineseUiFont();
    InstallSkinLook(ApplicationStyleSheet());
    if (!InitInstance()) {
        ExitInstance();
        return 0;
    }
    {
        // The main window's own loop is the program's loop: the program ends with it, or at once
        // when nobody logs in.
        CMainDlg window;
        QObject::connect(m_guard.get(), &CSingleInstanceGuard::ActivationRequested, &window,
                         [&window] { RaiseWindow(&window); });
        if (window.Initialise())
            window.exec();
    }
    ExitInstance();
    return 0;
}
