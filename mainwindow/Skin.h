#pragma once
#include <QColor>
#include <QImage>
#include <QRegion>
#include <QString>

// The skin and splash files: Qt binary resource files beside the database whose bitmaps are taken by
// number, and the window shape computed from a bitmap.
namespace skin {

// The main window's skin: 1 shape, 2 background, 3 top band, 4 list caption band.
constexpr const char *SkinFileName = "MainDlgSrc.dat";
// The splash picture, bitmap 1.
constexpr const char *SplashFileName = "DOvozOzivodERU.dat";

enum SkinBitmap { ShapeBitmap = 1, BackgroundBitmap = 2, TopBandBitmap = 3, CaptionBandBitmap = 4 };

// The path a resource file is taken from: the working directory (where the database lies), then the
// program's own folder. Empty when neither holds it.
QString FindResourceFile(const QString &fileName);

// Bitmap number id of the resource file. When the file cannot be opened it says so with
// "没有找到动态链接库文件:<name>" / "提示" and gives a null image; an unknown number gives a null image.
QImage LoadBitmap(const QString &fileName, int id);

// Runs of rectangles are united into the region in pieces of this many.
constexpr int RegionPiece = 2000;

// The region of the pixels that are not transparent: a pixel is transparent when each of its red,
// green and blue values lies from the transparent colour's value to that value plus the tolerance's
// (limited to 255). Each row's runs of other pixels become one-pixel-high rectangles, collected in a
// buffer that grows by 100 and united into the region every `piece` rectangles.
QRegion RegionFromBitmap(const QImage &image, QColor transparent = QColor(255, 255, 255),
                         QColor tolerance = QColor(254, 254, 254), int piece = RegionPiece);

} // namespace skin
