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

// Shows message boxes as real dialogs.
void InstallWidgetMessagePresenter();
