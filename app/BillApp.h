#pragma once
#include <QString>
#include <functional>
#include <memory>

class CSingleInstanceGuard;
class QThread;
class QWidget;
struct BackupOutcome;

// The application object: opens the one database connection, keeps a second copy from starting,
// runs the main window, backs the data file up and closes the connection at the end.
class CBillApp {
public:
    CBillApp();
    ~CBillApp();

    // Runs the whole program; returns the process exit code.
    int Run();

    // Start-up up to the main window. False when the program must end: the data file cannot be
    // opened (the message is shown) or another copy runs (it was asked to come to the front).
    bool InitInstance();
    void ExitInstance();

    // Opens "Pelorvanide.dat" in the working directory; on failure shows "无法找到数据文件!". With a
    // settings file "Pelorvanide.ini" naming a server ([server] url=postgresql://user@host:port/db)
    // it opens that database instead; a server that cannot be reached, a refused login or an unknown
    // or unusable database is told in Chinese with the host and the server's own words.
    static bool OpenDataFile();
    // Asks the clerk for the server password when libpq's own means (~/.pgpass, the service file,
    // PGPASSWORD) hold none; false when the clerk gives up. Tests answer it themselves.
    using PasswordAsker = std::function<bool(const QString &server, QString &password)>;
    static PasswordAsker SetPasswordAsker(PasswordAsker asker);

    // Copies the data file into backup/ beside it and checks the copy on a thread of its own; a
    // failure is told to the clerk and the program goes on.
    void StartBackup();
    // Waits for the check of the start-up copy if it still runs, and tells a failure.
    void FinishVerification();

private:
    std::unique_ptr<CSingleInstanceGuard> m_guard;
    bool m_backupOnExit = false;
    std::unique_ptr<QThread> m_verifier;
    std::shared_ptr<BackupOutcome> m_verified;
};

// Loads Qt's Chinese translation, so that standard buttons and Qt's dialogs speak Chinese; false when
// the translation is not installed (the program then goes on with Qt's English texts).
bool InstallChineseTranslation();

// Shows message boxes as real dialogs.
void InstallWidgetMessagePresenter();
