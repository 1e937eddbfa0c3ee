#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <cstdlib>

#include "ui/skin_drawing.h"
#include "ui/skin_page_painter.h"
#include "ui/skin_palette.h"

using namespace tarnel;

namespace {

bool Near(QRgb a, QRgb b, int tolerance = 2) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QImage Filled(QSize size, QRgb colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Paints its background and pictures the way the skinned pages do, with every file missing.
class PageWithoutPictures : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        SkinPagePainter page(this, palette::kPageBackground);
        page.Picture(QStringLiteral("没有这张图.jpg"), 10, 10);
        page.PicturePart(QStringLiteral("没有这张图.png"), 40, 10, QSize(80, 80));
        page.Stretched(QStringLiteral("没有这张图.png"), QRect(0, 0, width(), 30));
        page.Photo(QStringLiteral("/nonexistent/screencap.png"), QRect(5, 5, 50, 50));
        page.painter().setPen(Qt::black);
        page.painter().drawText(QRect(0, 60, width(), 30), Qt::AlignCenter, QStringLiteral("设备"));
    }
};

}  // namespace

class SkinDrawingTest : public QObject {
    Q_OBJECT

  private slots:
    void loadBlendsTransparencyOntoBlack_data() {
        QTest::addColumn<QRgb>("filePixel");
        QTest::addColumn<QRgb>("loaded");
        QTest::newRow("fully transparent white") << qRgba(255, 255, 255, 0) << qRgb(0, 0, 0);
        QTest::newRow("fully transparent red") << qRgba(255, 0, 0, 0) << qRgb(0, 0, 0);
        QTest::newRow("half transparent white") << qRgba(255, 255, 255, 128) << qRgb(128, 128, 128);
        QTest::newRow("opaque white") << qRgb(255, 255, 255) << qRgb(255, 255, 255);
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
        QCOMPARE(bitmap.size(), QSize(4, 4));
        QVERIFY(!bitmap.hasAlphaChannel());
        QVERIFY2(Near(bitmap.pixel(1, 1), loaded),
                 qPrintable(QString::number(bitmap.pixel(1, 1), 16)));
    }

    void unreadableFilesGiveNull_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("create");
        QByteArray png;
        {
            QImage picture = Filled(QSize(16, 16), qRgb(1, 2, 3));
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            picture.save(&buffer, "PNG");
        }
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("text") << QByteArray("not a picture at all\n") << true;
        QTest::newRow("cut after the header") << png.left(33) << true;
    }
    void unreadableFilesGiveNull() {
        QFETCH(QByteArray, content);
        QFETCH(bool, create);
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("坏.png"));
        if (create) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        }
        QVERIFY(LoadSkinBitmap(file).isNull());
        QVERIFY(SkinPictureSize(file).isEmpty());
    }

    void namesResolveInTheProgramFolder() {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("skin/home")));
        QVERIFY(Filled(QSize(7, 5), qRgb(9, 9, 9)).save(home.filePath("skin/home/电脑.jpg")));
        const QByteArray saved = qgetenv("TARNEL_HOME");
        qputenv("TARNEL_HOME", QFile::encodeName(home.path()));
        const QImage bitmap = LoadSkinBitmap(QStringLiteral("电脑.jpg"));
        qputenv("TARNEL_HOME", saved);
        QCOMPARE(bitmap.size(), QSize(7, 5));
    }

    void frameGeometry_data() {
        QTest::addColumn<QSize>("strip");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("index");
        QTest::addColumn<QRect>("frame");
        QTest::newRow("150/3 first") << QSize(150, 20) << 3 << 0 << QRect(0, 0, 50, 20);
        QTest::newRow("150/3 second") << QSize(150, 20) << 3 << 1 << QRect(50, 0, 50, 20);
        QTest::newRow("150/3 third") << QSize(150, 20) << 3 << 2 << QRect(100, 0, 50, 20);
        QTest::newRow("100/3 first") << QSize(100, 9) << 3 << 0 << QRect(0, 0, 33, 9);
        QTest::newRow("100/3 second") << QSize(100, 9) << 3 << 1 << QRect(33, 0, 33, 9);
        QTest::newRow("100/3 third") << QSize(100, 9) << 3 << 2 << QRect(66, 0, 33, 9);
        QTest::newRow("120/2 hover") << QSize(120, 30) << 2 << 1 << QRect(60, 0, 60, 30);
        QTest::newRow("single frame") << QSize(14, 14) << 1 << 0 << QRect(0, 0, 14, 14);
        QTest::newRow("index past the strip") << QSize(120, 30) << 2 << 2 << QRect();
        QTest::newRow("negative index") << QSize(120, 30) << 2 << -1 << QRect();
        QTest::newRow("no frames") << QSize(120, 30) << 0 << 0 << QRect();
        QTest::newRow("narrower than its frames") << QSize(2, 30) << 3 << 0 << QRect();
        QTest::newRow("no height") << QSize(120, 0) << 2 << 0 << QRect();
        QTest::newRow("no strip") << QSize() << 2 << 0 << QRect();
    }
    void frameGeometry() {
        QFETCH(QSize, strip);
        QFETCH(int, frames);
        QFETCH(int, index);
        QFETCH(QRect, frame);
        QCOMPARE(FrameRect(strip, frames, index), frame);
    }

    void drawFrameCopiesOneFrameToTheOrigin_data() {
        QTest::addColumn<bool>("keyed");
        QTest::addColumn<QRgb>("atWhite");
        QTest::newRow("plain") << false << qRgb(255, 255, 255);
        QTest::newRow("colour-keyed") << true << qRgb(0, 128, 0);
    }
    void drawFrameCopiesOneFrameToTheOrigin() {
        QFETCH(bool, keyed);
        QFETCH(QRgb, atWhite);
        // Three 10 x 6 frames: red, blue with a white top row, yellow.
        QImage strip = Filled(QSize(30, 6), qRgb(255, 0, 0));
        QPainter(&strip).fillRect(10, 0, 10, 6, QColor(0, 0, 255));
        QPainter(&strip).fillRect(10, 0, 10, 1, Qt::white);
        QPainter(&strip).fillRect(20, 0, 10, 6, Qt::yellow);
        QImage target = Filled(QSize(16, 8), qRgb(0, 128, 0));
        {
            QPainter painter(&target);
            DrawFrame(painter, strip, 3, 1, keyed);
        }
        QCOMPARE(target.pixel(0, 0), atWhite);
        QCOMPARE(target.pixel(9, 5), qRgb(0, 0, 255));
        QCOMPARE(target.pixel(10, 5), qRgb(0, 128, 0));
        QCOMPARE(target.pixel(3, 7), qRgb(0, 128, 0));
    }

    void colourKeyLeavesOnlyTheKeyUndrawn_data() {
        QTest::addColumn<QRgb>("source");
        QTest::addColumn<QRgb>("key");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("white") << qRgb(255, 255, 255) << palette::kColourKey << false;
        QTest::newRow("almost white, red") << qRgb(254, 255, 255) << palette::kColourKey << true;
        QTest::newRow("almost white, blue") << qRgb(255, 255, 254) << palette::kColourKey << true;
        QTest::newRow("button background")
            << palette::kKeyedButtonBackground << palette::kColourKey << true;
        QTest::newRow("black") << qRgb(0, 0, 0) << palette::kColourKey << true;
        QTest::newRow("other key, white") << qRgb(255, 255, 255) << qRgb(255, 0, 255) << true;
        QTest::newRow("other key, magenta") << qRgb(255, 0, 255) << qRgb(255, 0, 255) << false;
    }
    void colourKeyLeavesOnlyTheKeyUndrawn() {
        QFETCH(QRgb, source);
        QFETCH(QRgb, key);
        QFETCH(bool, drawn);
        const QRgb under = qRgb(10, 20, 30);
        QImage target = Filled(QSize(4, 4), under);
        {
            QPainter painter(&target);
            ColourKeyBlit(painter, QRect(0, 0, 4, 4), Filled(QSize(4, 4), source),
                          QRect(0, 0, 4, 4), key);
        }
        QCOMPARE(target.pixel(2, 2), drawn ? source : under);
    }

    void colourKeyStretchesTheSourcePart() {
        // A white-and-red pair from the middle of a wider picture, stretched to 10 x 4.
        QImage source = Filled(QSize(4, 1), qRgb(0, 0, 0));
        source.setPixel(1, 0, qRgb(255, 255, 255));
        source.setPixel(2, 0, qRgb(200, 0, 0));
        QImage target = Filled(QSize(12, 6), qRgb(0, 0, 90));
        {
            QPainter painter(&target);
            ColourKeyBlit(painter, QRect(1, 1, 10, 4), source, QRect(1, 0, 2, 1));
        }
        QCOMPARE(target.pixel(2, 2), qRgb(0, 0, 90));
        QCOMPARE(target.pixel(9, 3), qRgb(200, 0, 0));
        QCOMPARE(target.pixel(11, 3), qRgb(0, 0, 90));
        QCOMPARE(target.pixel(9, 5), qRgb(0, 0, 90));
    }

    void photoIsScaledIntoItsRectangle() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("screencap.png"));
        QVERIFY(Filled(QSize(3, 5), qRgb(200, 0, 0)).save(file));
        QImage target = Filled(QSize(40, 30), qRgb(0, 90, 0));
        {
            QPainter painter(&target);
            QVERIFY(DrawPhotoScaled(painter, file, QRect(5, 4, 20, 10)));
        }
        QCOMPARE(target.pixel(5, 4), qRgb(200, 0, 0));
        QCOMPARE(target.pixel(24, 13), qRgb(200, 0, 0));
        QCOMPARE(target.pixel(25, 13), qRgb(0, 90, 0));
        QCOMPARE(target.pixel(24, 14), qRgb(0, 90, 0));
    }

    void unreadablePhotoLeavesTheTarget() {
        QTemporaryDir folder;
        const QString broken = folder.filePath(QStringLiteral("screencap.png"));
        QFile out(broken);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("\x89PNG\r\n\x1a\n truncated");
        out.close();
        const QImage untouched = Filled(QSize(20, 20), qRgb(0, 90, 0));
        QImage target = untouched;
        {
            QPainter painter(&target);
            QVERIFY(!DrawPhotoScaled(painter, broken, QRect(0, 0, 20, 20)));
            QVERIFY(!DrawPhotoScaled(painter, folder.filePath("missing.png"), QRect(0, 0, 9, 9)));
        }
        QCOMPARE(target, untouched);
    }

    void pageWithoutItsPicturesStillPaintsBackgroundAndText() {
        PageWithoutPictures page;
        page.resize(200, 100);
        const QImage shot = page.grab().toImage();
        for (const QPoint at : {QPoint(0, 0), QPoint(15, 15), QPoint(60, 20), QPoint(199, 99)}) {
            QCOMPARE(shot.pixel(at), palette::kPageBackground);
        }
        int dark = 0;
        for (int x = 0; x < 200; ++x) {
            for (int y = 60; y < 90; ++y) {
                dark += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
            }
        }
        QVERIFY(dark > 10);
    }
};

QTEST_MAIN(SkinDrawingTest)
#include "skin_drawing_test.moc"
