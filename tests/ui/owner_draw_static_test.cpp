#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <cstdlib>

#include "ui/owner_draw_static.h"

using namespace tarnel;

namespace {

// A page that paints a picture of two colours and counts the presses that reach it.
class Backdrop : public QWidget {
  public:
    QRgb left = qRgb(25, 154, 211);
    QRgb right = qRgb(244, 244, 244);
    int presses = 0;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(0, 0, width() / 2, height(), QColor(left));
        painter.fillRect(width() / 2, 0, width() - width() / 2, height(), QColor(right));
    }
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

int CountNear(const QImage& image, const QRect& area, QRgb colour, int tolerance) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                    std::abs(qBlue(p) - qBlue(colour)) <=
                tolerance) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace

class OwnerDrawStaticTest : public QObject {
    Q_OBJECT

  private slots:
    void backgroundComesLiveFromTheParent() {
        Backdrop page;
        page.resize(200, 60);
        auto* label = new COwerDrawStatic(&page, 19, qRgb(10, 10, 10));
        label->setGeometry(50, 10, 100, 40);
        label->SetText(QStringLiteral("存储信息"));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));

        // The label's corners show whatever the page paints now, after each repaint.
        QImage shot = page.grab().toImage();
        QCOMPARE(shot.pixel(52, 47), page.left);
        QCOMPARE(shot.pixel(147, 47), page.right);
        page.left = qRgb(135, 212, 80);
        page.right = qRgb(253, 125, 36);
        page.update();
        shot = page.grab().toImage();
        QCOMPARE(shot.pixel(52, 47), page.left);
        QCOMPARE(shot.pixel(147, 47), page.right);
    }

    void textIsDrawnInItsColour() {
        Backdrop page;
        page.left = page.right = qRgb(255, 255, 255);
        page.resize(300, 60);
        const QRgb colour = qRgb(25, 154, 211);
        auto* label = new COwerDrawStatic(QStringLiteral("宋体"), &page, 25, colour);
        label->setGeometry(20, 10, 200, 30);
        label->SetText(QStringLiteral("更多游戏"));
        const QImage shot = page.grab().toImage();
        QVERIFY(CountNear(shot, label->geometry(), colour, 30) > 10);
        QCOMPARE(CountNear(shot, QRect(0, 0, 20, 60), qRgb(255, 255, 255), 0), 20 * 60);
    }

    // Placed in a box too small for its font, a label still shows all of its text.
    void labelIsNeverSmallerThanItsText_data() {
        QTest::addColumn<int>("fontHeight");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<QString>("text");
        QTest::newRow("dialog question")
            << 25 << QSize(158, 17) << QStringLiteral("你点击了退出按钮，你是想：");
        QTest::newRow("caption") << 19 << QSize(62, 17) << QStringLiteral("设备型号：");
        QTest::newRow("title") << 25 << QSize(62, 17) << QStringLiteral("Tarnel");
        QTest::newRow("two lines") << 19 << QSize(40, 17) << QStringLiteral("第一行\n第二行更长");
        QTest::newRow("empty") << 19 << QSize(10, 5) << QString();
    }
    void labelIsNeverSmallerThanItsText() {
        QFETCH(int, fontHeight);
        QFETCH(QSize, box);
        QFETCH(QString, text);
        const auto inkOf = [&](QSize size) {
            Backdrop page;
            page.left = page.right = qRgb(255, 255, 255);
            page.resize(600, 200);
            auto* label = new COwerDrawStatic(&page, fontHeight, qRgb(0, 0, 0));
            label->setGeometry(QRect(QPoint(10, 10), size));
            label->SetText(text);
            const QImage shot = page.grab().toImage();
            return std::make_pair(label->geometry(),
                                  600 * 200 - CountNear(shot, shot.rect(), qRgb(255, 255, 255), 0));
        };
        const auto [placed, ink] = inkOf(box);
        const auto [roomy, allInk] = inkOf(QSize(580, 180));
        Q_UNUSED(roomy);
        QCOMPARE(placed.topLeft(), QPoint(10, 10));
        QVERIFY(placed.height() >= fontHeight - 1);
        QCOMPARE(ink, allInk);
    }

    void lineBreaksStartNewLines() {
        Backdrop page;
        page.left = page.right = qRgb(255, 255, 255);
        page.resize(200, 100);
        auto* label = new COwerDrawStatic(&page, 19, qRgb(0, 0, 0));
        label->setGeometry(0, 0, 200, 100);
        label->SetText(QStringLiteral("第一行"));
        const QImage oneLine = page.grab().toImage();
        label->SetText(QStringLiteral("第一行\n第二行"));
        const QImage twoLines = page.grab().toImage();
        // The second line lies below the first, and the first is drawn only once.
        const QRect firstLine(0, 0, 200, 19);
        QCOMPARE(twoLines.copy(firstLine), oneLine.copy(firstLine));
        QVERIFY(CountNear(oneLine, QRect(0, 20, 200, 20), qRgb(255, 255, 255), 0) == 200 * 20);
        QVERIFY(CountNear(twoLines, QRect(0, 20, 200, 20), qRgb(0, 0, 0), 200) > 10);
    }

    void clicks_data() {
        QTest::addColumn<bool>("clickable");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("pressesOnThePage");
        QTest::newRow("clickable label") << true << 1 << 0;
        QTest::newRow("plain label lets the press through") << false << 0 << 1;
    }
    void clicks() {
        QFETCH(bool, clickable);
        QFETCH(int, clicks);
        QFETCH(int, pressesOnThePage);
        Backdrop page;
        page.resize(200, 60);
        auto* label = new COwerDrawStatic(&page, 19, qRgb(0, 0, 0));
        label->setGeometry(10, 10, 80, 20);
        label->SetText(QStringLiteral("应用权限"));
        label->SetClickable(clickable);
        QSignalSpy clicked(label, &COwerDrawStatic::clicked);
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicked.count(), clicks);
        QCOMPARE(page.presses, pressesOnThePage);
        QCOMPARE(label->cursor().shape(), clickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
};

QTEST_MAIN(OwnerDrawStaticTest)
#include "owner_draw_static_test.moc"
