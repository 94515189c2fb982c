#include "mainwindow/ProgramInfo.h"

#include "app/Database.h"
#include "schema/Schema.h"

using namespace schema;

ProgramInfo ReadProgramInfo() {
    ProgramInfo info;
    CDatabase &db = TheDatabase();
    try {
        db.OpenQuery(QString::asprintf(" SELECT * FROM %s ", Bill_I_Info));
        if (!db.IsEOF()) {
            db.ReadFieldText(QString::fromLatin1(Bill_I_Version), info.version);
            db.ReadFieldText(QString::fromLatin1(Bill_I_Author), info.author);
            db.ReadFieldText(QString::fromLatin1(Bill_I_Email), info.email);
        }
        db.CloseQuery();
    } catch (const CDbError &error) {
        db.CloseQuery();
        ReportDbError(error);
        return ProgramInfo();
    }
    return info;
}

QString VersionText(const ProgramInfo &info) {
    return QStringLiteral("当前版本：%1\n作　　者：%2").arg(info.version, info.author);
}
