#include <qrencode.h>

#include <QPainter>

#include <memory>

#include "artwork.h"
#include "look.h"

namespace skin {

QImage QrCode(const QByteArray& text, int side) {
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    QImage image = Canvas(QSize(side, side), kWhite);
    if (!code) {
        return image;
    }
    // Whole-pixel modules stay sharp; what is left over becomes the quiet zone.
    const int modules = code->width;
    const int module = std::max(1, side / (modules + 1));
    const int margin = (side - module * modules) / 2;
    QPainter painter(&image);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            if (code->data[y * modules + x] & 1) {
                painter.fillRect(margin + x * module, margin + y * module, module, module,
                                 QColor(24, 28, 34));
            }
        }
    }
    return image;
}

}  // namespace skin
