// Draws the program icon into an icon-theme tree, one picture per size the desktops ask for:
//   tarnel-app-icons <folder>   writes <folder>/<N>x<N>/apps/tarnel.png
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "look.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <icon theme folder>\n", argv[0]);
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
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
