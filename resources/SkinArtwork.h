#pragma once
#include <QImage>
#include <QSize>

// The pictures of the skin and splash files, drawn by the build's generator and packed by rcc.
namespace skinart {

// The main window's size at rest, wide enough for every column of the repository list; the shape
// bitmap has this size.
constexpr QSize WindowSize(1260, 760);
// The top band with the menu-bar buttons, and the caption band over the list.
constexpr int TopBandHeight = 52;
constexpr QSize CaptionBandSize(980, 42);
constexpr QSize SplashSize(340, 410);

// Pure white outside the window, dark inside: the window's shape.
QImage ShapeBitmap();
QImage BackgroundBitmap();
QImage TopBandBitmap();
QImage CaptionBandBitmap();
QImage SplashBitmap();

} // namespace skinart
