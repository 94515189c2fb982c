#include "mainwindow/Shell.h"

#include "app/Messages.h"
#include "mainwindow/ProgramInfo.h"
#include "mainwindow/Skin.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace shell {

void OpenHelp() {
    // A help file of the working directory wins over the one installed beside the program.
    QString path = skin::FindResourceFile(QString::fromLatin1(HelpFileName));
    if (path.isEmpty())
        path = QDir::current().absoluteFilePath(QString::fromLatin1(HelpFileName));
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ShowVersion() {
    ShowMessage(VersionText(ReadProgramInfo()), QStringLiteral("当前版本"), MsgIcon::Information);
}

void WriteToContact() {
    const QString email = ReadProgramInfo().email.trimmed();
    if (email.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:%1").arg(email)));
}

} // namespace shell
