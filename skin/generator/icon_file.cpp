#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include "artwork.h"

namespace skin {
namespace {

constexpr int kHeaderSize = 6;
constexpr int kEntrySize = 16;

// Qt writes one picture per .ico; each such file is a header, one entry and the picture data.
QByteArray SingleIcon(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "ico").write(image.convertToFormat(QImage::Format_ARGB32));
    return bytes;
}

}  // namespace

QByteArray IconFile(const std::vector<QImage>& sizes) {
    QByteArray header(kHeaderSize, '\0');
    qToLittleEndian<quint16>(1, header.data() + 2);
    qToLittleEndian<quint16>(static_cast<quint16>(sizes.size()), header.data() + 4);
    QByteArray entries;
    QByteArray pictures;
    const int firstPicture = kHeaderSize + kEntrySize * static_cast<int>(sizes.size());
    for (const QImage& image : sizes) {
        const QByteArray single = SingleIcon(image);
        QByteArray entry = single.mid(kHeaderSize, kEntrySize);
        const QByteArray picture = single.mid(kHeaderSize + kEntrySize);
        qToLittleEndian<quint32>(static_cast<quint32>(firstPicture + pictures.size()),
                                 entry.data() + 12);
        entries += entry;
        pictures += picture;
    }
    return header + entries + pictures;
}

}  // namespace skin
