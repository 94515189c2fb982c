#pragma once

class QWidget;

// What the main window asks of the desktop: the help document, the version box and the e-mail to
// the program's contact.
namespace shell {

// The help document beside the program, opened by the desktop's browser.
constexpr const char *HelpFileName = "rOzevURU2.html";

// Asks the desktop to open the help document of the working directory, else the one beside the
// program; a failure is not reported.
void OpenHelp();
// "当前版本" with the version and author of the database.
void ShowVersion();
// Opens the mail program on the contact address; nothing when the address is empty.
void WriteToContact();

} // namespace shell
