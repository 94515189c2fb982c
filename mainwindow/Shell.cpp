#include "mainwindow/Shell.h"

#include "app/Messages.h"
#include "mainwindow/ProgramInfo.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace shell {

void OpenHelp() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::current().absoluteFilePath(QString::fromLatin1(HelpFileName))));
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
