#include <QDialog>
#include <QSignalSpy>
#include <QTest>

#include "ui/login_button.h"
#include "ui/owner_draw_static.h"
#include "ui/window_conventions.h"

using namespace tarnel;

namespace {

// A borderless 300 x 200 window dragged by its top 40 pixels, with a close button and a title
// label in the band.
struct SkinnedWindow {
    QWidget window;
    CLoginButton* close = new CLoginButton(&window, 0);
    COwerDrawStatic* title = new COwerDrawStatic(&window, 25, qRgb(255, 255, 255));

    SkinnedWindow() {
        MakeSkinnedWindow(&window);
        DragByTopBand(&window, 40);
        window.setGeometry(100, 100, 300, 200);
        close->setGeometry(272, 0, 28, 28);
        title->setGeometry(11, 4, 62, 17);
        title->SetText(QStringLiteral("设置"));
        window.show();
    }
};

}  // namespace

class WindowConventionsTest : public QObject {
    Q_OBJECT

  private slots:
    void dragByTheTopBand_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<bool>("moves");
        QTest::newRow("middle of the band") << "window" << QPoint(150, 20) << true;
        QTest::newRow("last row of the band") << "window" << QPoint(150, 39) << true;
        QTest::newRow("first row below the band") << "window" << QPoint(150, 40) << false;
        QTest::newRow("body of the window") << "window" << QPoint(150, 150) << false;
        QTest::newRow("over the title label") << "title" << QPoint(5, 5) << true;
        QTest::newRow("on the close button") << "close" << QPoint(14, 14) << false;
    }
    void dragByTheTopBand() {
        QFETCH(QString, target);
        QFETCH(QPoint, pressAt);
        QFETCH(bool, moves);
        SkinnedWindow fixture;
        QVERIFY(QTest::qWaitForWindowExposed(&fixture.window));
        QWidget* receiver = target == "title"   ? static_cast<QWidget*>(fixture.title)
                            : target == "close" ? static_cast<QWidget*>(fixture.close)
                                                : &fixture.window;
        const QPoint before = fixture.window.pos();
        QTest::mousePress(receiver, Qt::LeftButton, {}, pressAt);
        QTest::mouseMove(receiver, pressAt + QPoint(30, 12));
        QTest::mouseRelease(receiver, Qt::LeftButton, {}, pressAt + QPoint(30, 12));
        QCOMPARE(fixture.window.pos(), moves ? before + QPoint(30, 12) : before);
    }

    void pressOnAButtonInTheBandStillClicks() {
        SkinnedWindow fixture;
        QSignalSpy clicked(fixture.close, &QAbstractButton::clicked);
        QTest::mouseClick(fixture.close, Qt::LeftButton, {}, QPoint(14, 14));
        QCOMPARE(clicked.count(), 1);
    }

    void skinnedWindowsKeepTheirKind_data() {
        QTest::addColumn<bool>("dialog");
        QTest::newRow("plain widget") << false;
        QTest::newRow("dialog") << true;
    }
    void skinnedWindowsKeepTheirKind() {
        QFETCH(bool, dialog);
        QDialog asDialog;
        QWidget asWidget;
        QWidget* window = dialog ? static_cast<QWidget*>(&asDialog) : &asWidget;
        MakeSkinnedWindow(window);
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(window->isWindow());
        QCOMPARE(window->windowType(), dialog ? Qt::Dialog : Qt::Window);
    }
};

QTEST_MAIN(WindowConventionsTest)
#include "window_conventions_test.moc"
