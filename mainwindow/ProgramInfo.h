#pragma once
#include <QString>

// The program's own row of the database: its version, author and contact address.
struct ProgramInfo {
    QString version;
    QString author;
    QString email;
};

// Reads the first row; NULL gives empty text. A failed read is reported and gives empty texts.
ProgramInfo ReadProgramInfo();

// The version box's text: the labels with the version and the author after them.
QString VersionText(const ProgramInfo &info);
