#pragma once
#include <QString>
#include <memory>

class CSingleInstanceGuard;
class QWidget;

// The application object: opens the one database connection, keeps a second copy from starting,
// runs the main window and closes the connection at the end.
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

    // Opens "Pelorvanide.dat" in the working directory; on failure shows "无法找到数据文件!".
    static bool OpenDataFile();

private:
    std::unique_ptr<CSingleInstanceGuard> m_guard;
};

// Loads Qt's Chinese translation, so that standard buttons and Qt's dialogs speak Chinese; false when
// the translation is not installed (the program then goes on with Qt's English texts).
bool InstallChineseTranslation();

// Shows message boxes as real dialogs.
void InstallWidgetMessagePresenter();
