// Copies a whole store into another: pelorvanide-migrate FROM TO, each a data file or a server url
// (postgresql://user@host:port/db). The target must be empty; the copy is one transaction and is
// checked table by table before it counts.
#include "app/Database.h"
#include "app/ServerStore.h"
#include "schema/DeliveredDatabase.h"
#include "schema/StoreCopy.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

bool IsServerUrl(const QString &place) {
    return place.startsWith(QLatin1String("postgresql://")) || place.startsWith(QLatin1String("postgres://"));
}

QString PlaceLabel(const QString &place) {
    return IsServerUrl(place) ? QStringLiteral("服务器%1").arg(ParseServerUrl(place).Label()) : place;
}

bool OpenPlace(CDatabase &db, const QString &place, bool target, QString &error) {
    if (IsServerUrl(place))
        return db.OpenServer(ParseServerUrl(place), QString(), &error, target);
    if (target && QFile::exists(place)) {
        error = QStringLiteral("文件已存在，不会被覆盖");
        return false;
    }
    if (!target && !QFile::exists(place)) {
        error = QStringLiteral("文件不存在");
        return false;
    }
    return db.Open(place, &error, target);
}

// [##########..........]  50%  Bill_Info
void ShowProgress(qint64 done, qint64 total, const QString &table) {
    constexpr int width = 40;
    const int filled = total > 0 ? int(done * width / total) : width;
    std::fprintf(stderr, "\r[%s%s] %3d%%  %-32s", QByteArray(filled, '#').constData(),
                 QByteArray(width - filled, '.').constData(), total > 0 ? int(done * 100 / total) : 100,
                 qUtf8Printable(table));
    std::fflush(stderr);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: pelorvanide-migrate FROM TO\n"
                             "  FROM, TO: a data file (Pelorvanide.dat) or postgresql://user@host:port/db\n");
        return 2;
    }
    const QString from = QString::fromLocal8Bit(argv[1]);
    const QString to = QString::fromLocal8Bit(argv[2]);
    CDatabase source;
    CDatabase target;
    QString error;
    if (!OpenPlace(source, from, false, error)) {
        std::fprintf(stderr, "无法打开%s: %s\n", qUtf8Printable(PlaceLabel(from)), qUtf8Printable(error));
        return 1;
    }
    if (!OpenPlace(target, to, true, error)) {
        std::fprintf(stderr, "无法打开%s: %s\n", qUtf8Printable(PlaceLabel(to)), qUtf8Printable(error));
        return 1;
    }
    try {
        CopyStore(source, target, ShowProgress);
        if (target.Kind() == StoreKind::Server)
            CreateClerkRole(target);
    } catch (const CDbError &e) {
        std::fprintf(stderr, "\n无法复制到%s: %s\n", qUtf8Printable(PlaceLabel(to)), qUtf8Printable(e.Message()));
        target.Close();
        if (!IsServerUrl(to))
            QFile::remove(to);
        return 1;
    }
    std::fprintf(stderr, "\n%s已复制到%s，每个表的行数和校验和都一致。\n", qUtf8Printable(PlaceLabel(from)),
                 qUtf8Printable(PlaceLabel(to)));
    return 0;
}
