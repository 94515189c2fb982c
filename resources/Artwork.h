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
    Maximise,
    Restore,
    Check,
    DepartmentView,
    RepositoryView,
    Overview,
    Application,
    Refresh,
};

// The icon of a glyph at 16, 24 and 32 pixels.
QIcon Icon(Glyph glyph);
QPixmap Picture(Glyph glyph, int size);

// The login dialog's background, with room for the two fields and the two buttons.
QPixmap LoginBackground();
// The images of an image button by name: caption + "U" (up), "D" (down), "F" (focus), "H" (hot),
// for the captions "OK" and "CANCEL". A null pixmap for an unknown name.
QPixmap NamedImage(const QString &name);

// The faces of the main window's image buttons in their four states (0 normal, 1 pressed,
// 2 focused, 3 under the pointer), at the button's size.
enum class ButtonFace { Bar, Command, Current, Window };
QPixmap ButtonImage(ButtonFace face, int state, QSize size);

// The list header's section images, stretched to each section: 277 at rest, 276 under the pointer,
// 278 pressed.
enum HeaderImageId { HeaderNormal = 277, HeaderHot = 276, HeaderPressed = 278 };
QPixmap HeaderImage(int id, QSize size);

// The pop-up menus' item backgrounds: the first item, the last, the others, and the highlight.
enum class MenuPlace { First, Middle, Last, Highlight };
QPixmap MenuItemImage(MenuPlace place, QSize size);

// The colours the windows share.
QColor AccentColor();
QColor AccentDarkColor();

} // namespace artwork
