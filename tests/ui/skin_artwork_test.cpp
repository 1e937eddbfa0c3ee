#include <QImageReader>
#include <QTest>

#include <cstdlib>

#include "ui/skin_drawing.h"
#include "ui/skin_folder.h"
#include "ui/skin_palette.h"

using namespace tarnel;

namespace {

enum class Surround { Keyed, Page, Panel, Band, Any };

int Distance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

QList<QPoint> FrameCorners(const QImage& strip, int frames, int k) {
    const QRect frame = FrameRect(strip.size(), frames, k);
    return {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()};
}

const QRgb kBand = qRgb(25, 154, 211);

}  // namespace

Q_DECLARE_METATYPE(Surround)

class SkinArtworkTest : public QObject {
    Q_OBJECT

  private slots:
    // Every picture the windows name, at the size their layouts place it.
    void picturesFitTheirLayouts_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frames");
        QTest::addColumn<Surround>("surround");
        const auto row = [](const char* file, QSize size, int frames, Surround surround) {
            QTest::newRow(file) << QString::fromUtf8(file) << size << frames << surround;
        };
        // Title bars, banners and their buttons.
        row("关闭合成.jpg", {84, 28}, 3, Surround::Band);
        row("缩小合成.jpg", {84, 28}, 3, Surround::Band);
        row("下拉合成.jpg", {56, 28}, 2, Surround::Band);
        row("微博合成.jpg", {186, 29}, 2, Surround::Band);
        row("qq合成.jpg", {186, 29}, 2, Surround::Band);
        row("top-bg.jpg", {980, 90}, 1, Surround::Band);
        row("Tarnel安装top.jpg", {460, 42}, 1, Surround::Band);
        row("连接向导.jpg", {160, 35}, 1, Surround::Band);
        row("title_back.png", {16, 35}, 1, Surround::Band);
        row("底部背景.png", {16, 60}, 1, Surround::Any);
        // Buttons drawn colour-keyed.
        row("本地安装合成.png", {320, 50}, 2, Surround::Keyed);
        row("连接合成.png", {320, 50}, 2, Surround::Keyed);
        row("安装合成.png", {184, 32}, 2, Surround::Keyed);
        row("完成.jpg", {184, 32}, 2, Surround::Keyed);
        row("刷新.jpg", {120, 30}, 2, Surround::Keyed);
        row("复制.jpg", {120, 30}, 2, Surround::Keyed);
        row("截屏.jpg", {120, 30}, 2, Surround::Keyed);
        row("确定.jpg", {160, 27}, 2, Surround::Keyed);
        row("取消.jpg", {160, 27}, 2, Surround::Keyed);
        row("Radio_0.jpg", {14, 14}, 1, Surround::Keyed);
        row("Radio_1.jpg", {14, 14}, 1, Surround::Keyed);
        row("选择框.jpg", {14, 14}, 1, Surround::Keyed);
        row("选择框选中.jpg", {14, 14}, 1, Surround::Keyed);
        row("小三角.jpg", {14, 14}, 1, Surround::Keyed);
        row("小三角hover.jpg", {14, 14}, 1, Surround::Keyed);
        // Pictures on the grey pages and the wizard.
        row("手机.jpg", {215, 410}, 1, Surround::Page);
        row("手机-1.jpg", {215, 410}, 1, Surround::Page);
        row("电脑.jpg", {80, 72}, 1, Surround::Page);
        row("手机设备.jpg", {48, 80}, 1, Surround::Page);
        row("连接箭头.jpg", {56, 24}, 1, Surround::Page);
        row("欢迎.jpg", {500, 84}, 1, Surround::Page);
        row("数据连接.jpg", {420, 50}, 1, Surround::Page);
        // Pictures on white panels and dialogs.
        row("设备.jpg", {80, 80}, 1, Surround::Panel);
        row("存储卡.jpg", {80, 80}, 1, Surround::Panel);
        row("笑脸.jpg", {96, 96}, 1, Surround::Panel);
        row("二维码.png", {80, 80}, 1, Surround::Panel);
    }
    void picturesFitTheirLayouts() {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(int, frames);
        QFETCH(Surround, surround);
        const QImage picture = LoadSkinBitmap(file);
        QVERIFY2(!picture.isNull(), qPrintable(SkinFile(file)));
        QCOMPARE(picture.size(), size);
        QCOMPARE(picture.width() % frames, 0);
        const bool lossless = file.endsWith(QStringLiteral(".png"));
        for (int k = 0; k < frames; ++k) {
            for (const QPoint corner : FrameCorners(picture, frames, k)) {
                const QRgb pixel = picture.pixel(corner);
                switch (surround) {
                    case Surround::Keyed:
                        // JPEG's rounding leaves white beside coloured edges a few levels off.
                        QVERIFY2(Distance(pixel, palette::kColourKey) <= (lossless ? 0 : 12),
                                 qPrintable(QString::number(pixel, 16)));
                        break;
                    case Surround::Page:
                        QVERIFY(Distance(pixel, palette::kPageBackground) <= 4);
                        break;
                    case Surround::Panel:
                        QVERIFY(Distance(pixel, palette::kPanel) <= 4);
                        break;
                    case Surround::Band:
                        // Hover and pressed frames have colours of their own.
                        QVERIFY(k > 0 || Distance(pixel, kBand) <= 8);
                        break;
                    case Surround::Any:
                        break;
                }
            }
        }
    }

    // The title-bar buttons sit on the right end of every band without a seam.
    void titleButtonsMatchTheBands_data() {
        QTest::addColumn<QString>("band");
        QTest::newRow("main window") << QStringLiteral("top-bg.jpg");
        QTest::newRow("installer") << QStringLiteral("Tarnel安装top.jpg");
        QTest::newRow("dialogs and wizard") << QStringLiteral("title_back.png");
    }
    void titleButtonsMatchTheBands() {
        QFETCH(QString, band);
        const QImage picture = LoadSkinBitmap(band);
        const QRgb bandColour = picture.pixel(picture.width() - 1, 2);
        for (const QString& button :
             {QStringLiteral("关闭合成.jpg"), QStringLiteral("缩小合成.jpg"),
              QStringLiteral("下拉合成.jpg")}) {
            const QImage strip = LoadSkinBitmap(button);
            for (const QPoint edge : {QPoint(0, 0), QPoint(27, 0), QPoint(0, 27), QPoint(27, 27)}) {
                QVERIFY2(Distance(strip.pixel(edge), bandColour) <= 6, qPrintable(button));
            }
        }
    }

    // The device page scales the screenshot into (79, 78, 197, 345) over the frame at (70, 40).
    void phoneFrameSurroundsTheScreenshotArea() {
        const QImage phone = LoadSkinBitmap(QStringLiteral("手机.jpg"));
        const QRect screen(79 - 70, 78 - 40, 197, 345);
        for (const QPoint outside : {QPoint(screen.left() - 2, screen.center().y()),
                                     QPoint(screen.right() + 2, screen.center().y()),
                                     QPoint(screen.center().x(), screen.top() - 2),
                                     QPoint(screen.center().x(), screen.bottom() + 2)}) {
            QVERIFY(qGray(phone.pixel(outside)) < 80);
        }
    }

    void qrCodeIsSharpBlackOnWhite() {
        const QImage code = LoadSkinBitmap(QStringLiteral("二维码.png"));
        int dark = 0;
        for (int y = 0; y < code.height(); ++y) {
            for (int x = 0; x < code.width(); ++x) {
                const int grey = qGray(code.pixel(x, y));
                QVERIFY(grey < 40 || grey == 255);
                dark += grey < 40 ? 1 : 0;
            }
        }
        const int area = code.width() * code.height();
        QVERIFY(dark > area / 4 && dark < area * 3 / 4);
    }

    void windowIconHoldsTheUsualSizes() {
        QImageReader reader(WindowIconFile());
        QList<QSize> sizes;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read();
            QVERIFY(!image.isNull());
            sizes << image.size();
        }
        for (int side : {16, 32, 48, 128}) {
            QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
        }
    }
};

QTEST_MAIN(SkinArtworkTest)
#include "skin_artwork_test.moc"
