#pragma once

#include <QImage>
#include <QString>

#include <vector>

// Every picture of skin/home/, by file name. The sizes follow the window layouts that show them.
namespace skin {

struct Artwork {
    QString file;
    QImage image;
};
using ArtworkList = std::vector<Artwork>;

// Title bands, banners, the title-bar buttons, the link buttons and the bottom band.
ArtworkList WindowChrome();
// Buttons with captions, radio buttons, check boxes and the permission toggle.
ArtworkList Buttons();
// The pictures of the pages, the connection wizard and the exit question.
ArtworkList Illustrations();

// A QR code of text, black on white, modules of whole pixels centred in a square of side pixels.
QImage QrCode(const QByteArray& text, int side);
// A baseline JPEG without chroma subsampling.
bool WriteJpeg(const QImage& image, const QString& path, int quality);
// An .ico file holding the mark at each size.
QByteArray IconFile(const std::vector<QImage>& sizes);

}  // namespace skin
