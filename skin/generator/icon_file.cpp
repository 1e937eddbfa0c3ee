#include <QBuffer>
#include <QtEndian>

#include "artwork.h"

namespace skin {
namespace {

constexpr int kHeaderSize = 6;
constexpr int kEntrySize = 16;

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return bytes;
}

}  // namespace

// Entries hold PNG data, as icon readers have accepted for years; unlike Qt's own .ico writer
// this gives the same bytes on every run.
QByteArray IconFile(const std::vector<QImage>& sizes) {
    QByteArray header(kHeaderSize, '\0');
    qToLittleEndian<quint16>(1, header.data() + 2);
    qToLittleEndian<quint16>(static_cast<quint16>(sizes.size()), header.data() + 4);
    QByteArray entries;
    QByteArray pictures;
    const int firstPicture = kHeaderSize + kEntrySize * static_cast<int>(sizes.size());
    for (const QImage& image : sizes) {
        const QByteArray png = Png(image);
        QByteArray entry(kEntrySize, '\0');
        entry[0] = static_cast<char>(image.width() >= 256 ? 0 : image.width());
        entry[1] = static_cast<char>(image.height() >= 256 ? 0 : image.height());
        qToLittleEndian<quint16>(1, entry.data() + 4);
        qToLittleEndian<quint16>(32, entry.data() + 6);
        qToLittleEndian<quint32>(static_cast<quint32>(png.size()), entry.data() + 8);
        qToLittleEndian<quint32>(static_cast<quint32>(firstPicture + pictures.size()),
                                 entry.data() + 12);
        entries += entry;
        pictures += png;
    }
    return header + entries + pictures;
}

}  // namespace skin
