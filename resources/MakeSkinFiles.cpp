// Draws the bitmaps of the skin and splash files into a folder, with the resource lists that rcc
// packs into "MainDlgSrc.dat" and "DOvozOzivodERU.dat": each bitmap is found there by its number.
#include "resources/SkinArtwork.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

using Drawing = std::pair<int, std::function<QImage()>>;

bool WriteResourceList(const QDir &dir, const QString &listName, const QString &stem,
                       const std::vector<Drawing> &bitmaps) {
    QFile list(dir.filePath(listName));
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QTextStream out(&list);
    out << "<RCC>\n  <qresource prefix=\"/bitmap\">\n";
    for (const auto &[id, draw] : bitmaps) {
        const QString file = QStringLiteral("%1-%2.png").arg(stem).arg(id);
        if (!draw().save(dir.filePath(file)))
            return false;
        out << "    <file alias=\"" << id << "\">" << file << "</file>\n";
    }
    out << "  </qresource>\n</RCC>\n";
    return true;
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    QDir dir;
    if (!dir.mkpath(QString::fromLocal8Bit(argv[1])))
        return 1;
    dir.setPath(QString::fromLocal8Bit(argv[1]));
    const bool written =
        WriteResourceList(dir, QStringLiteral("skin.qrc"), QStringLiteral("skin"),
                          {{1, skinart::ShapeBitmap},
                           {2, skinart::BackgroundBitmap},
                           {3, skinart::TopBandBitmap},
                           {4, skinart::CaptionBandBitmap}}) &&
        WriteResourceList(dir, QStringLiteral("splash.qrc"), QStringLiteral("splash"), {{1, skinart::SplashBitmap}});
    if (!written) {
        std::fprintf(stderr, "cannot write the skin pictures into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
