// Draws the program's icon, the same picture the windows carry, into a hicolor icon theme folder:
// <folder>/hicolor/<size>x<size>/apps/pelorvanide.png for every size a desktop asks for.
#include "resources/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
        if (!root.mkpath(folder) ||
            !artwork::Picture(artwork::Glyph::Application, size).save(root.filePath(folder + "/pelorvanide.png"))) {
            std::fprintf(stderr, "cannot write the %d pixel icon into %s\n", size, argv[1]);
            return 1;
        }
    }
    return 0;
}
