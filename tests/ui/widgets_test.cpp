#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <cstdlib>

#include "ui/login_button.h"
#include "ui/my_progress_ctrl.h"
#include "ui/owner_draw_static.h"
#include "ui/skin_palette.h"

using namespace tarnel;

namespace {

// Four 20 x 10 frames, one colour each. The last is white, so a colour-keyed copy of it would show
// the button background instead.
constexpr QRgb kFrameColours[] = {qRgb(200, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 200),
                                  qRgb(255, 255, 255)};

// A window with one colour-keyed button at (30, 30); the pointer starts outside it.
struct ButtonOnWindow {
    QWidget window;
    CLoginButton* button = new CLoginButton(&window, 0);

    explicit ButtonOnWindow(const QList<int>& states) {
        const int frames = static_cast<int>(states.size());
        QImage strip(20 * frames, 10, QImage::Format_RGB32);
        QPainter painter(&strip);
        for (int k = 0; k < frames; ++k) {
            painter.fillRect(20 * k, 0, 20, 10, QColor(kFrameColours[k]));
        }
        window.resize(200, 120);
        button->move(30, 30);
        // Entries past the frame count are ignored.
        button->SetImageStrip(strip, frames,
                              {states[0], states.value(1), states.value(2), states.value(3)});
        window.show();
        QTest::mouseMove(&window, QPoint(150, 100));
    }
    void Do(const QString& step) {
        if (step == "in") {
            QTest::mouseMove(button, QPoint(10, 5));
        } else if (step == "in again") {
            QTest::mouseMove(button, QPoint(12, 6));
        } else if (step == "out") {
            QTest::mouseMove(&window, QPoint(150, 100));
        } else if (step == "drag out") {
            // A pressed button holds the pointer: the move outside still comes to it.
            QTest::mouseMove(button, QPoint(120, 70));
        } else if (step == "press") {
            QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 5));
        } else if (step == "release") {
            QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 5));
        } else if (step == "release outside") {
            QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(120, 70));
        } else if (step == "disable") {
            button->setEnabled(false);
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
    }
};

// A page that paints two colours side by side.
class Backdrop : public QWidget {
  public:
    QRgb left = qRgb(25, 154, 211);
    QRgb right = qRgb(244, 244, 244);

    Backdrop(int width, int height, QRgb colour = 0) {
        resize(width, height);
        if (colour != 0) {
            left = right = colour;
        }
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(0, 0, width() / 2, height(), QColor(left));
        painter.fillRect(width() / 2, 0, width() - width() / 2, height(), QColor(right));
    }
};

int CountNear(const QImage& image, const QRect& area, QRgb colour, int tolerance) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                                 std::abs(qBlue(p) - qBlue(colour)) <=
                             tolerance
                         ? 1
                         : 0;
        }
    }
    return count;
}

const QRgb kWhite = qRgb(255, 255, 255);

}  // namespace

class WidgetsTest : public QObject {
    Q_OBJECT

  private slots:
    void buttonStates_data() {
        QTest::addColumn<QList<int>>("frameStates");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("frameShown");
        QTest::addColumn<int>("clicks");
        const QList<int> two{0, 1};
        const QList<int> three{0, 1, 2};
        const QList<int> four{0, 1, 2, 3};
        QTest::newRow("untouched") << two << QStringList{} << 0 << 0;
        QTest::newRow("back in after leaving") << two << QStringList{"in", "out", "in"} << 1 << 0;
        QTest::newRow("leave") << two << QStringList{"in", "out"} << 0 << 0;
        QTest::newRow("pressed, two frames show normal")
            << two << QStringList{"in", "press"} << 0 << 0;
        QTest::newRow("pressed, three frames") << three << QStringList{"in", "press"} << 2 << 0;
        QTest::newRow("released") << three << QStringList{"in", "press", "release"} << 0 << 1;
        QTest::newRow("next move after release hovers")
            << three << QStringList{"in", "press", "release", "in again"} << 1 << 1;
        QTest::newRow("dragged out and let go outside")
            << three << QStringList{"in", "press", "drag out", "release outside"} << 0 << 0;
        QTest::newRow("disabled without a disabled frame")
            << three << QStringList{"in", "disable"} << 0 << 0;
        QTest::newRow("disabled frame, copied plainly")
            << four << QStringList{"in", "disable"} << 3 << 0;
        QTest::newRow("disabled frame listed first")
            << QList<int>{3, 0, 1, 2} << QStringList{"disable"} << 0 << 0;
    }
    void buttonStates() {
        QFETCH(QList<int>, frameStates);
        QFETCH(QStringList, steps);
        QFETCH(int, frameShown);
        QFETCH(int, clicks);
        ButtonOnWindow fixture(frameStates);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
        QSignalSpy clicked(fixture.button, &QAbstractButton::clicked);
        for (const QString& step : steps) {
            fixture.Do(step);
        }
        QCOMPARE(fixture.button->grab().toImage().pixel(10, 5), kFrameColours[frameShown]);
        QCOMPARE(clicked.count(), clicks);
    }

    // The filled part of the bar, pixel by pixel, for each range and position.
    void barFill() {
        const struct {
            const char* name;
            int width, lower, upper, position, filled;
        } cases[] = {
            {"19 percent of 455", 455, 0, 100, 19, 86},
            {"lower bound is not used", 200, 50, 100, 50, 100},
            {"range maximum 0", 455, 0, 0, 50, 0},
            {"past the end stays in the track", 455, 0, 100, 250, 455},
            {"negative position", 455, 0, 100, -20, 0},
            {"huge numbers", 300, 0, 2147483647, 2147483647, 300},
        };
        for (const auto& c : cases) {
            CMyProgressCtrl bar;
            bar.resize(c.width, 9);
            bar.SetRange(c.lower, c.upper);
            bar.SetPos(c.position);
            const QImage shot = bar.grab().toImage();
            for (int x = 0; x < c.width; ++x) {
                QVERIFY2(
                    shot.pixel(x, 8) == (x < c.filled ? palette::kBarFilled : palette::kBarEmpty),
                    c.name);
            }
        }
    }

    // The label's corners show whatever the page paints now, after each repaint.
    void labelIsDrawnLiveOverItsParent() {
        Backdrop page(200, 60);
        const QRgb colour = qRgb(10, 10, 10);
        auto* label = new COwerDrawStatic(&page, 19, colour);
        label->setGeometry(50, 10, 100, 40);
        label->SetText(QStringLiteral("存储信息"));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        for (const QRgb right : {qRgb(244, 244, 244), qRgb(253, 125, 36)}) {
            page.right = right;
            page.update();
            const QImage shot = page.grab().toImage();
            QCOMPARE(shot.pixel(52, 47), page.left);
            QCOMPARE(shot.pixel(147, 47), right);
            QVERIFY(CountNear(shot, label->geometry(), colour, 30) > 10);
        }
    }

    // Placed in a box too small for its font, a label still shows all of its text.
    void labelIsNeverSmallerThanItsText_data() {
        QTest::addColumn<int>("fontHeight");
        QTest::addColumn<QString>("text");
        QTest::newRow("dialog question") << 25 << QStringLiteral("你点击了退出按钮，你是想：");
        QTest::newRow("two lines") << 19 << QStringLiteral("第一行\n第二行更长");
    }
    void labelIsNeverSmallerThanItsText() {
        QFETCH(int, fontHeight);
        QFETCH(QString, text);
        const auto inkIn = [&](QSize box) {
            Backdrop page(600, 200, kWhite);
            auto* label = new COwerDrawStatic(&page, fontHeight, qRgb(0, 0, 0));
            label->setGeometry(QRect(QPoint(10, 10), box));
            label->SetText(text);
            const QImage shot = page.grab().toImage();
            if (label->pos() != QPoint(10, 10) || label->height() < fontHeight - 1) {
                return -1;
            }
            return 600 * 200 - CountNear(shot, shot.rect(), kWhite, 0);
        };
        QCOMPARE(inkIn(QSize(40, 12)), inkIn(QSize(580, 180)));
    }

    // A second line lies below the first, and the first is drawn only once.
    void textIsDrawnOnce() {
        Backdrop page(200, 100, kWhite);
        auto* label = new COwerDrawStatic(&page, 19, qRgb(0, 0, 0));
        label->setGeometry(0, 0, 200, 100);
        label->SetText(QStringLiteral("第一行"));
        const QImage oneLine = page.grab().toImage();
        label->SetText(QStringLiteral("第一行\n第二行"));
        const QImage twoLines = page.grab().toImage();
        const QRect firstLine(0, 0, 200, 19);
        QCOMPARE(twoLines.copy(firstLine), oneLine.copy(firstLine));
        QCOMPARE(CountNear(oneLine, QRect(0, 20, 200, 20), kWhite, 0), 200 * 20);
        QVERIFY(CountNear(twoLines, QRect(0, 20, 200, 20), qRgb(0, 0, 0), 200) > 10);
    }
};

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
