#pragma once
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's pictures, drawn at run time so that they scale and need no files: the icons of the
// trees, buttons and menus, the login background and the login's image buttons.
namespace artwork {

enum class Glyph {
    Department,
    Recipient,
    Kind,
    Stock,
    StockIn,
    Issue,
    Return,
    Report,
    Print,
    Login,
    Rights,
    Exit,
    Index,
    Search,
    Extract,
    Delete,
    Void,
    Forced,
    Documents,
    MainKind,
    Manager,
    Maker,
    AddDepartment,
    AddRecipient,
    DeleteDepartment,
    DeleteRecipient,
    Password,
    Help,
    Version,
    About,
    Top,
    Count,
    FindNext,
    Column,
    Minimise,
    Check,
    DepartmentView,
    RepositoryView,
    Application,
};

// The icon of a glyph at 16, 24 and 32 pixels.
QIcon Icon(Glyph glyph);
QPixmap Picture(Glyph glyph, int size);

// The login dialog's background, with room for the two fields and the two buttons.
QPixmap LoginBackground();
// The images of an image button by name: caption + "U" (up), "D" (down), "F" (focus), "H" (hot),
// for the captions "OK" and "CANCEL". A null pixmap for an unknown name.
QPixmap NamedImage(const QString &name);

// The colours the windows share.
QColor AccentColor();
QColor AccentDarkColor();

} // namespace artwork
