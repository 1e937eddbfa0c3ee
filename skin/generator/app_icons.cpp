// Draws the program icon into an icon-theme tree, one picture per size:
//   tarnel-app-icons <folder> <size>...   writes <folder>/<size>x<size>/apps/tarnel.png
#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#include "look.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <icon theme folder> <size>...\n", argv[0]);
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int side = std::atoi(argv[i]);
        if (side <= 0 || side > 1024) {
            std::fprintf(stderr, "not an icon size: %s\n", argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(side);
        const QString path = theme.filePath(folder + QStringLiteral("/tarnel.png"));
        // The same encoding as the entries of tarnel.ico: no time stamp, the same bytes each run.
        if (!theme.mkpath(folder) ||
            !skin::LogoImage(side).convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
