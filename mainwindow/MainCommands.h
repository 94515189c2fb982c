#pragma once
#include <QList>

// The main window's commands: every menu item, button and tray item runs one of these ids. Sources
// that share a command (a tray item and its menu item) name the id whose handler they run.
namespace cmd {
enum : int {
    DepartmentView = 32774,
    RepositoryView = 32775,
    Manager = 32776,
    Maker = 32777,
    StockIn = 32778,
    Issue = 32779,
    Return = 32780,
    Index = 32782,
    Search = 32783,
    Extract = 32784,
    Delete = 32785,
    MainKind = 32786,
    Kind = 32787,
    Help = 32788,
    About = 32789,
    Version = 32791,
    Report = 32792,
    Print = 32793,
    Exit = 32794,
    AddDepartment = 32795,
    AddRecipient = 32796,
    DeleteDepartment = 32797,
    DeleteRecipient = 32798,
    TrayReport = 32799,
    TrayHelp = 32800,
    TrayContact = 32801,
    TrayAbout = 32802,
    TrayExit = 32803,
    TrayStockIn = 32805,
    Password = 32807,
    Void = 32808,
    Forced = 32809,
    Login = 32810,
    Rights = 32811,
    Documents = 32813,
    History = 32814,
    Export = 32815,
    OperationLog = 32816,
    LogCheck = 32817,
    BookAudit = 32818,
    Overview = 32830,
    Refresh = 32831,
};
}

struct MainCommand {
    int id;
    const char *text;  // the menu item's text
    const char *right; // the right checked before it runs; nullptr when it is not guarded
    int requiredView;  // the view it runs in (0 department, 1 repository), -1 for any; grayed elsewhere
    bool needsRows;    // grayed in its menu while no row of the main list is selected
    int checkedInView; // checked in its menu while this view (2 the overview) is shown, -1 for never
    int sameAs;        // the id whose handler it runs, or 0 for its own
};

// Every command of the window, menu items first in menu order, then the tray's own ids.
const QList<MainCommand> &MainCommands();
// Null for an id that is no command.
const MainCommand *FindMainCommand(int id);
// The id whose handler runs for this id.
int HandlerId(int id);
// Commands after which the view is read again from the store.
bool MayChangeTheBooks(int id);
// Commands that end or change the session, and so run even for an account deleted meanwhile.
bool EndsTheSession(int id);

// The items of menu-bar menu 1 to 5 and of the tray menu, 0 standing for a separator.
QList<int> BarMenuItems(int menu);
QList<int> TrayMenuItems();
