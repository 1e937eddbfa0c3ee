#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <cstdlib>

#include "ui/login_button.h"
#include "ui/skin_palette.h"

using namespace tarnel;

namespace {

// Four 20 x 10 frames, one colour each, so a look at the button tells which frame it shows.
constexpr QRgb kFrameColours[] = {qRgb(200, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 200),
                                  qRgb(220, 200, 0)};

QImage ColourStrip(int frames) {
    QImage strip(20 * frames, 10, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int k = 0; k < frames; ++k) {
        painter.fillRect(20 * k, 0, 20, 10, QColor(kFrameColours[k]));
    }
    return strip;
}

QRgb Shown(CLoginButton& button) {
    return button.grab().toImage().pixel(10, 5);
}

// A window with one button at (30, 30); the pointer starts outside it.
struct ButtonOnWindow {
    QWidget window;
    CLoginButton* button = new CLoginButton(&window, 0);

    explicit ButtonOnWindow(const QList<int>& frameStates) {
        window.resize(200, 120);
        button->move(30, 30);
        SetStates(frameStates);
        window.show();
        QTest::mouseMove(&window, QPoint(150, 100));
    }
    void SetStates(const QList<int>& states) {
        switch (states.size()) {
            case 1:
                button->SetImageStrip(ColourStrip(1), 1, {states[0]});
                break;
            case 2:
                button->SetImageStrip(ColourStrip(2), 2, {states[0], states[1]});
                break;
            case 3:
                button->SetImageStrip(ColourStrip(3), 3, {states[0], states[1], states[2]});
                break;
            default:
                button->SetImageStrip(ColourStrip(4), 4,
                                      {states[0], states[1], states[2], states[3]});
        }
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
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
    }
};

}  // namespace

class LoginButtonTest : public QObject {
    Q_OBJECT

  private slots:
    void stateMachine_data() {
        QTest::addColumn<QList<int>>("frameStates");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("frameShown");
        const QList<int> two{0, 1};
        const QList<int> three{0, 1, 2};
        QTest::newRow("untouched") << two << QStringList{} << 0 << 0;
        QTest::newRow("hover") << two << QStringList{"in"} << 1 << 1;
        QTest::newRow("moving inside keeps hover")
            << two << QStringList{"in", "in again"} << 1 << 1;
        QTest::newRow("leave") << two << QStringList{"in", "out"} << 0 << 0;
        QTest::newRow("back in after leaving") << two << QStringList{"in", "out", "in"} << 1 << 1;
        QTest::newRow("pressed, two frames show normal")
            << two << QStringList{"in", "press"} << 2 << 0;
        QTest::newRow("pressed, three frames") << three << QStringList{"in", "press"} << 2 << 2;
        QTest::newRow("released") << three << QStringList{"in", "press", "release"} << 0 << 0;
        QTest::newRow("next move after release hovers")
            << three << QStringList{"in", "press", "release", "in again"} << 1 << 1;
        QTest::newRow("dragged out while pressed")
            << three << QStringList{"in", "press", "drag out"} << 0 << 0;
        QTest::newRow("dragged out and let go outside")
            << three << QStringList{"in", "press", "drag out", "release outside"} << 0 << 0;
        QTest::newRow("single frame hovered") << QList<int>{0} << QStringList{"in"} << 1 << 0;
    }
    void stateMachine() {
        QFETCH(QList<int>, frameStates);
        QFETCH(QStringList, steps);
        QFETCH(int, state);
        QFETCH(int, frameShown);
        ButtonOnWindow fixture(frameStates);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
        for (const QString& step : steps) {
            fixture.Do(step);
        }
        QCOMPARE(fixture.button->VisualState(), state);
        QCOMPARE(Shown(*fixture.button), kFrameColours[frameShown]);
    }

    void clickNeedsTheReleaseOnTheButton_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("clicks");
        QTest::newRow("press and release") << QStringList{"in", "press", "release"} << 1;
        QTest::newRow("released outside")
            << QStringList{"in", "press", "drag out", "release outside"} << 0;
        QTest::newRow("hover only") << QStringList{"in", "out"} << 0;
    }
    void clickNeedsTheReleaseOnTheButton() {
        QFETCH(QStringList, steps);
        QFETCH(int, clicks);
        ButtonOnWindow fixture({0, 1});
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
        QSignalSpy clicked(fixture.button, &QAbstractButton::clicked);
        for (const QString& step : steps) {
            fixture.Do(step);
        }
        QCOMPARE(clicked.count(), clicks);
    }

    void disabledFrame_data() {
        QTest::addColumn<QList<int>>("frameStates");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("frameShown");
        QTest::newRow("three frames without a disabled one")
            << QList<int>{0, 1, 2} << QStringList{} << 0;
        QTest::newRow("hovered, then disabled") << QList<int>{0, 1} << QStringList{"in"} << 0;
        QTest::newRow("a disabled frame") << QList<int>{0, 1, 2, 3} << QStringList{"in"} << 3;
        QTest::newRow("disabled frame listed first")
            << QList<int>{3, 0, 1, 2} << QStringList{} << 0;
    }
    void disabledFrame() {
        QFETCH(QList<int>, frameStates);
        QFETCH(QStringList, steps);
        QFETCH(int, frameShown);
        ButtonOnWindow fixture(frameStates);
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
        for (const QString& step : steps) {
            fixture.Do(step);
        }
        fixture.button->setEnabled(false);
        QCOMPARE(Shown(*fixture.button), kFrameColours[frameShown]);
    }

    void disabledFrameIsCopiedPlainlyWithoutCaption() {
        QImage white(20, 10, QImage::Format_RGB32);
        white.fill(Qt::white);
        CLoginButton button(nullptr, 0);
        button.SetImageStrip(white, 1, {0});
        button.setText(QStringLiteral("OK"));
        QCOMPARE(Shown(button), palette::kKeyedButtonBackground);
        button.setEnabled(false);
        const QImage shot = button.grab().toImage();
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                QCOMPARE(shot.pixel(x, y), qRgb(255, 255, 255));
            }
        }
    }

    void stripSizesTheButtonToOneFrame_data() {
        QTest::addColumn<QSize>("strip");
        QTest::addColumn<int>("frames");
        QTest::addColumn<QSize>("size");
        QTest::newRow("two frames") << QSize(120, 30) << 2 << QSize(60, 30);
        QTest::newRow("three frames") << QSize(84, 28) << 3 << QSize(28, 28);
        QTest::newRow("one frame") << QSize(14, 14) << 1 << QSize(14, 14);
        QTest::newRow("missing strip keeps the size") << QSize() << 2 << QSize(93, 29);
        QTest::newRow("no frames keeps the size") << QSize(120, 30) << 0 << QSize(93, 29);
        QTest::newRow("too many frames keeps the size") << QSize(220, 30) << 11 << QSize(93, 29);
    }
    void stripSizesTheButtonToOneFrame() {
        QFETCH(QSize, strip);
        QFETCH(int, frames);
        QFETCH(QSize, size);
        QImage picture;
        if (strip.isValid()) {
            picture = QImage(strip, QImage::Format_RGB32);
            picture.fill(Qt::gray);
        }
        QWidget window;
        CLoginButton button(&window, 0);
        button.setGeometry(17, 23, 93, 29);
        button.SetImageStrip(picture, frames, {0, 1, 2});
        QCOMPARE(button.size(), size);
        QCOMPARE(button.pos(), QPoint(17, 23));
    }

    void captionIsCentredAndLifted() {
        const QRgb face = qRgb(230, 230, 230);
        QImage strip(120, 30, QImage::Format_RGB32);
        strip.fill(face);
        CLoginButton button(nullptr, 1);
        button.SetImageStrip(strip, 2, {0, 1});
        button.setText(QStringLiteral("OK"));
        const QImage shot = button.grab().toImage();
        QRect ink;
        int nearCaptionColour = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb pixel = shot.pixel(x, y);
                if (pixel != face) {
                    ink |= QRect(x, y, 1, 1);
                }
                const QRgb caption = palette::kButtonCaption;
                if (std::abs(qRed(pixel) - qRed(caption)) +
                        std::abs(qGreen(pixel) - qGreen(caption)) +
                        std::abs(qBlue(pixel) - qBlue(caption)) <
                    60) {
                    ++nearCaptionColour;
                }
            }
        }
        QVERIFY(!ink.isEmpty());
        QVERIFY2(std::abs(ink.left() - (59 - ink.right())) <= 2,
                 qPrintable(QString::number(ink.left())));
        QVERIFY2(ink.center().y() < 15, qPrintable(QString::number(ink.center().y())));
        QVERIFY(nearCaptionColour > 5);
    }
};

QTEST_MAIN(LoginButtonTest)
#include "login_button_test.moc"
