#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "ui/skin_drawing.h"
#include "ui/skin_fonts.h"
#include "ui/skin_palette.h"

using namespace tarnel;

namespace {

QImage Filled(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

}  // namespace

class SkinDrawingTest : public QObject {
    Q_OBJECT

  private slots:
    // Transparency in a file comes out black, not white: colour-keyed art relies on it.
    void loadBlendsTransparencyOntoBlack_data() {
        QTest::addColumn<QRgb>("filePixel");
        QTest::addColumn<QRgb>("loaded");
        QTest::newRow("transparent white") << qRgba(255, 255, 255, 0) << qRgb(0, 0, 0);
        QTest::newRow("half transparent white") << qRgba(255, 255, 255, 128) << qRgb(128, 128, 128);
        QTest::newRow("opaque blue") << qRgb(25, 154, 211) << qRgb(25, 154, 211);
    }
    void loadBlendsTransparencyOntoBlack() {
        QFETCH(QRgb, filePixel);
        QFETCH(QRgb, loaded);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("图.png"));
        QImage picture(4, 4, QImage::Format_ARGB32);
        picture.fill(QColor::fromRgba(filePixel));
        QVERIFY(picture.save(file));
        const QImage bitmap = LoadSkinBitmap(file);
        QVERIFY(!bitmap.hasAlphaChannel());
        const QRgb got = bitmap.pixel(1, 1);
        QVERIFY2(
            std::max({std::abs(qRed(got) - qRed(loaded)), std::abs(qGreen(got) - qGreen(loaded)),
                      std::abs(qBlue(got) - qBlue(loaded))}) <= 2,
            qPrintable(QString::number(got, 16)));
    }

    void unreadableFilesGiveNull() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("坏.png"));
        QVERIFY(LoadSkinBitmap(file).isNull());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("\x89PNG\r\n\x1a\n truncated");
        out.close();
        QVERIFY(LoadSkinBitmap(file).isNull());
        QVERIFY(SkinPictureSize(file).isEmpty());
        QImage target = Filled(QSize(9, 9), qRgb(0, 90, 0));
        QPainter painter(&target);
        QVERIFY(!DrawPhotoScaled(painter, file, QRect(0, 0, 9, 9)));
        painter.end();
        QCOMPARE(target, Filled(QSize(9, 9), qRgb(0, 90, 0)));
    }

    void frameGeometry_data() {
        QTest::addColumn<QSize>("strip");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("frame");
        QTest::newRow("100/3 truncates") << QSize(100, 9) << 3 << 2 << QRect(66, 0, 33, 9);
        QTest::newRow("index past the strip") << QSize(120, 30) << 2 << 2 << QRect();
        QTest::newRow("negative index") << QSize(120, 30) << 2 << -1 << QRect();
        QTest::newRow("no frames") << QSize(120, 30) << 0 << 0 << QRect();
        QTest::newRow("narrower than its frames") << QSize(2, 30) << 3 << 0 << QRect();
    }
    void frameGeometry() {
        QFETCH(QSize, strip);
        QFETCH(int, frames);
        QFETCH(int, index);
        QFETCH(QRect, frame);
        QCOMPARE(FrameRect(strip, frames, index), frame);
    }

    // Only pixels exactly of the key colour stay undrawn; drawing stretches the source part.
    void colourKey_data() {
        QTest::addColumn<QRgb>("source");
        QTest::addColumn<QRgb>("key");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("white") << qRgb(255, 255, 255) << palette::kColourKey << false;
        QTest::newRow("almost white") << qRgb(254, 255, 255) << palette::kColourKey << true;
        QTest::newRow("other key, white") << qRgb(255, 255, 255) << qRgb(255, 0, 255) << true;
    }
    void colourKey() {
        QFETCH(QRgb, source);
        QFETCH(QRgb, key);
        QFETCH(bool, drawn);
        const QRgb under = qRgb(10, 20, 30);
        // The keyed pixel sits beside a red one in the middle of a wider picture.
        QImage picture = Filled(QSize(4, 1), qRgb(0, 0, 0));
        picture.setPixel(1, 0, source);
        picture.setPixel(2, 0, qRgb(200, 0, 0));
        QImage target = Filled(QSize(12, 6), under);
        {
            QPainter painter(&target);
            ColourKeyBlit(painter, QRect(1, 1, 10, 4), picture, QRect(1, 0, 2, 1), key);
        }
        QCOMPARE(target.pixel(2, 2), drawn ? source : under);
        QCOMPARE(target.pixel(9, 3), qRgb(200, 0, 0));
        QCOMPARE(target.pixel(11, 3), under);
        QCOMPARE(target.pixel(9, 5), under);
    }

    // Fonts are asked for by cell height; labels must show Chinese without the Windows faces.
    void fontsHaveTheirCellHeightAndChinese() {
        for (const auto& [face, height] :
             {std::pair{kLabelFace, 19}, std::pair{kLabelFace, 25}, std::pair{kVersionFace, 14},
              std::pair{kButtonCaptionFace, 13}}) {
            const QFontMetrics metrics(SkinFont(face, height));
            QVERIFY2(std::abs(metrics.height() - height) <= 1, qPrintable(face));
            QVERIFY(face == kButtonCaptionFace || metrics.inFontUcs4(U'装'));
        }
    }
};

QTEST_MAIN(SkinDrawingTest)
#include "skin_drawing_test.moc"
