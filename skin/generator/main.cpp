// Draws every picture of skin/home/ into the folder given on the command line:
//   tarnel-skin-generator <skin/home folder>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

#include "artwork.h"
#include "look.h"

namespace {

bool Save(const QDir& folder, const skin::Artwork& artwork) {
    const QString path = folder.filePath(artwork.file);
    // Every picture is stored opaque: the toolkit blends PNG transparency onto black.
    const QImage opaque = artwork.image.convertToFormat(QImage::Format_RGB32);
    const bool saved = artwork.file.endsWith(QStringLiteral(".jpg"))
                           ? skin::WriteJpeg(opaque, path, 97)
                           : opaque.save(path, "PNG");
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
    return saved;
}

bool SaveIcon(const QDir& folder) {
    QFile icon(folder.filePath(QStringLiteral("tarnel.ico")));
    return icon.open(QIODevice::WriteOnly) &&
           icon.write(skin::IconFile({skin::LogoImage(16), skin::LogoImage(24), skin::LogoImage(32),
                                      skin::LogoImage(48), skin::LogoImage(64),
                                      skin::LogoImage(128)})) > 0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <skin/home folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    bool saved = SaveIcon(folder);
    for (const auto& list : {skin::WindowChrome(), skin::Buttons(), skin::Illustrations()}) {
        for (const skin::Artwork& artwork : list) {
            saved = Save(folder, artwork) && saved;
        }
    }
    return saved ? 0 : 1;
}
