#include "mainwindow/Skin.h"

#include "app/Messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QResource>
#include <QVector>
#include <algorithm>

namespace skin {

namespace {

// Where the bitmaps of a registered file appear while one is read.
const QString MapRoot = QStringLiteral("/pelorvanide-skin-file");

struct ChannelRange {
    int low;
    int high;
    bool Holds(int value) const { return value >= low && value <= high; }
};

ChannelRange Range(int colour, int tolerance) {
    return {colour, std::min(255, colour + tolerance)};
}

} // namespace

QString FindResourceFile(const QString &fileName) {
    for (const QString &dir : {QDir::currentPath(), QCoreApplication::applicationDirPath()}) {
        const QFileInfo file(QDir(dir).filePath(fileName));
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return QString();
}

QImage LoadBitmap(const QString &fileName, int id) {
    const QString path = FindResourceFile(fileName);
    if (path.isEmpty() || !QResource::registerResource(path, MapRoot)) {
        ShowMessage(QStringLiteral("没有找到动态链接库文件:%1").arg(fileName), QStringLiteral("提示"), MsgIcon::None);
        return QImage();
    }
    // The decoded image owns its pixels, so the file can be let go at once.
    QImage image(QStringLiteral(":%1/bitmap/%2").arg(MapRoot).arg(id));
    QResource::unregisterResource(path, MapRoot);
    return image;
}

QRegion RegionFromBitmap(const QImage &image, QColor transparent, QColor tolerance, int piece) {
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    const ChannelRange red = Range(transparent.red(), tolerance.red());
    const ChannelRange green = Range(transparent.green(), tolerance.green());
    const ChannelRange blue = Range(transparent.blue(), tolerance.blue());
    const auto isTransparent = [&](QRgb pixel) {
        return red.Holds(qRed(pixel)) && green.Holds(qGreen(pixel)) && blue.Holds(qBlue(pixel));
    };

    QRegion region;
    QVector<QRect> rects;
    rects.reserve(100);
    const auto flush = [&] {
        if (rects.isEmpty())
            return;
        QRegion part;
        part.setRects(rects.constData(), int(rects.size()));
        region = region.united(part);
        rects.clear();
    };
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        int x = 0;
        while (x < pixels.width()) {
            while (x < pixels.width() && isTransparent(row[x]))
                ++x;
            const int first = x;
            while (x < pixels.width() && !isTransparent(row[x]))
                ++x;
            if (x == first)
                continue;
            if (rects.size() == rects.capacity())
                rects.reserve(rects.capacity() + 100);
            rects.append(QRect(first, y, x - first, 1));
            if (rects.size() >= piece)
                flush();
        }
    }
    flush();
    return region;
}

} // namespace skin
