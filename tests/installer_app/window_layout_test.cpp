// The installer window's layout and what the user does with it: the permission panel, the
// install location, keys, drops, dragging and the vendor link.
#include <QAccessible>
#include <QDesktopServices>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include "installer/app/tarnel_install_dlg.h"
#include "tests/installer_app/window_test_support.h"
#include "ui/login_button.h"
#include "ui/owner_draw_static.h"

using namespace tarnel;

namespace {

QWidget* Control(QWidget& window, const QString& name) {
    QWidget* control = window.findChild<QWidget*>(name);
    if (control == nullptr) {
        qWarning("no control %s", qPrintable(name));
    }
    return control;
}

QString TextOf(QWidget& window, const QString& name) {
    auto* label = qobject_cast<COwerDrawStatic*>(Control(window, name));
    return label != nullptr ? label->Text() : QStringLiteral("<not a label>");
}

// The darkest pixel under a label: where the strokes of its text are solid.
QRgb InkOf(QWidget* label) {
    const QImage look = test::Look(label);
    QRgb darkest = qRgb(255, 255, 255);
    for (int y = 0; y < look.height(); ++y) {
        for (int x = 0; x < look.width(); ++x) {
            if (qGray(look.pixel(x, y)) < qGray(darkest)) {
                darkest = look.pixel(x, y);
            }
        }
    }
    return darkest;
}

bool Near(QRgb a, QRgb b) {
    return qAbs(qRed(a) - qRed(b)) <= 3 && qAbs(qGreen(a) - qGreen(b)) <= 3 &&
           qAbs(qBlue(a) - qBlue(b)) <= 3;
}

class UrlCatcher : public QObject {
    Q_OBJECT

  public:
    QList<QUrl> opened;

  public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

}  // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

    QTemporaryDir packages_;
    std::filesystem::path apk_;

  private slots:
    void initTestCase() {
        apk_ = test::BuildTestApk(packages_.path().toStdString(), "layout", "布局游戏");
    }

    void theWindowIsABorderless460By303Window() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QCOMPARE(window.size(), QSize(460, 303));
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tarnel应用安装"));
        QVERIFY(!window.windowIcon().isNull());
    }

    void controlsSitAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("text");
        QTest::newRow("game name") << "appLabel" << QRect(117, 69, 222, 23) << "";
        QTest::newRow("size caption") << "sizeCaption" << QRect(117, 104, 39, 17) << "大小：";
        QTest::newRow("size") << "sizeText" << QRect(155, 104, 114, 17) << "";
        QTest::newRow("version caption")
            << "versionCaption" << QRect(30, 145, 61, 17) << "应用版本：";
        QTest::newRow("version") << "versionName" << QRect(94, 145, 105, 17) << "";
        QTest::newRow("requirement caption")
            << "requirementCaption" << QRect(30, 177, 61, 17) << "系统要求：";
        QTest::newRow("android version") << "androidVersion" << QRect(94, 177, 133, 17) << "";
        QTest::newRow("permission label")
            << "permissionLabel" << QRect(30, 214, 56, 17) << "应用权限";
        QTest::newRow("permission toggle") << "permissionToggle" << QRect(86, 219, 14, 14) << "";
        QTest::newRow("location caption")
            << "locationCaption" << QRect(277, 214, 60, 17) << "安装位置：";
        QTest::newRow("sd card box") << "sdCardBox" << QRect(344, 218, 14, 14) << "";
        QTest::newRow("sd card label") << "sdCardLabel" << QRect(362, 214, 28, 17) << "SD卡";
        QTest::newRow("memory box") << "memoryBox" << QRect(402, 218, 14, 14) << "";
        QTest::newRow("memory label") << "memoryLabel" << QRect(420, 214, 30, 17) << "内存";
        QTest::newRow("more games") << "moreGames" << QRect(385, 60, 68, 17) << "更多游戏...";
        QTest::newRow("status line") << "status" << QRect(28, 264, 291, 18) << "";
        QTest::newRow("install button") << "installButton" << QRect(350, 260, 92, 32) << "";
        QTest::newRow("close button") << "closeButton" << QRect(432, 0, 28, 28) << "";
        QTest::newRow("vendor page") << "vendorPage" << QRect(20, 59, 1, 1) << "";
    }
    void controlsSitAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, text);
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QWidget* control = Control(window, name);
        QVERIFY(control != nullptr);
        if (qobject_cast<COwerDrawStatic*>(control) != nullptr) {
            // A label grows when its font needs more room than the layout gives it.
            QCOMPARE(control->pos(), place.topLeft());
            QVERIFY(control->width() >= place.width() && control->height() >= place.height());
        } else {
            QCOMPARE(control->geometry(), place);
        }
        QVERIFY(control->isVisible());
        if (!text.isEmpty()) {
            QCOMPARE(TextOf(window, name), text);
        }
    }

    void labelsDrawInTheirColours_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("game name") << "appLabel" << qRgb(10, 10, 10);
        QTest::newRow("size caption") << "sizeCaption" << qRgb(116, 116, 116);
        QTest::newRow("version") << "versionName" << qRgb(116, 116, 116);
        QTest::newRow("permission label") << "permissionLabel" << qRgb(25, 154, 211);
        QTest::newRow("sd card label") << "sdCardLabel" << qRgb(116, 116, 116);
        QTest::newRow("more games") << "moreGames" << qRgb(25, 154, 211);
        QTest::newRow("status line") << "status" << qRgb(116, 116, 116);
    }
    void labelsDrawInTheirColours() {
        QFETCH(QString, name);
        QFETCH(QRgb, colour);
        CtarnelInstallDlg window;
        test::StartWindow(window, apk_);
        QVERIFY(test::WaitUntilLoaded(window));
        QTRY_VERIFY(!TextOf(window, "status").isEmpty());
        const QRgb ink = InkOf(Control(window, name));
        QVERIFY2(Near(ink, colour), qPrintable(QString::number(ink, 16)));
    }

    void untilAPackageIsOpenedTheNamesPlaceAsksForOne() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QCOMPARE(TextOf(window, "appLabel"), QStringLiteral("请拖入apk或tpk文件"));
        QVERIFY(Near(InkOf(Control(window, "appLabel")), qRgb(116, 116, 116)));
        // The icon's place is marked, not left blank.
        QCOMPARE(QColor(window.grab(QRect(65, 95, 1, 1)).toImage().pixel(0, 0)),
                 QColor(244, 244, 244));
    }

    void thePermissionPanelGrowsTheWindowAndShrinksItBack_data() {
        QTest::addColumn<int>("presses");
        QTest::addColumn<int>("height");
        QTest::addColumn<QPoint>("statusAt");
        QTest::addColumn<QPoint>("progressAt");
        QTest::addColumn<QPoint>("buttonAt");
        QTest::addColumn<bool>("editShown");
        QTest::newRow("closed") << 0 << 303 << QPoint(28, 264) << QPoint(28, 256)
                                << QPoint(350, 260) << false;
        QTest::newRow("opened") << 1 << 388 << QPoint(28, 349) << QPoint(28, 341)
                                << QPoint(350, 345) << true;
        QTest::newRow("opened and closed")
            << 2 << 303 << QPoint(28, 264) << QPoint(28, 256) << QPoint(350, 260) << false;
        QTest::newRow("opened again")
            << 3 << 388 << QPoint(28, 349) << QPoint(28, 341) << QPoint(350, 345) << true;
    }
    void thePermissionPanelGrowsTheWindowAndShrinksItBack() {
        QFETCH(int, presses);
        QFETCH(int, height);
        QFETCH(QPoint, statusAt);
        QFETCH(QPoint, progressAt);
        QFETCH(QPoint, buttonAt);
        QFETCH(bool, editShown);
        CtarnelInstallDlg window;
        test::StartWindow(window, apk_);
        QVERIFY(test::WaitUntilLoaded(window));
        QWidget* toggle = Control(window, "permissionToggle");
        QVERIFY(toggle->isEnabled());
        const QImage closedLook = test::Look(toggle);
        const QPoint windowAt = window.pos();
        for (int i = 0; i < presses; ++i) {
            QTest::mouseClick(toggle, Qt::LeftButton, {}, QPoint(7, 7));
        }
        QCOMPARE(window.size(), QSize(460, height));
        QCOMPARE(window.pos(), windowAt);
        QCOMPARE(window.State().permissionPanelOpen, editShown ? 1 : 0);
        QCOMPARE(Control(window, "status")->pos(), statusAt);
        QCOMPARE(Control(window, "progress")->pos(), progressAt);
        QCOMPARE(Control(window, "installButton")->pos(), buttonAt);
        auto* edit = qobject_cast<QPlainTextEdit*>(Control(window, "permissionText"));
        QCOMPARE(edit->isVisible(), editShown);
        QCOMPARE(edit->geometry(), QRect(0, 240, 460, 88));
        QVERIFY(edit->isReadOnly());
        QCOMPARE(test::Look(toggle) == closedLook, !editShown);
        if (editShown) {
            // Both permissions of the APK, one a line, without the CR of the bridge's text.
            const QStringList lines = edit->toPlainText().split('\n');
            QCOMPARE(lines.size(), 2);
            QVERIFY(!edit->toPlainText().contains('\r'));
        }
    }

    void thePermissionLabelWorksOnlyWhileTheToggleDoes() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QWidget* label = Control(window, "permissionLabel");
        QVERIFY(!Control(window, "permissionToggle")->isEnabled());
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(10, 8));
        QCOMPARE(window.height(), 303);
        window.OpenFromUser(apk_.string());
        QVERIFY(test::WaitUntilLoaded(window));
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(10, 8));
        QCOMPARE(window.height(), 388);
    }

    void theInstallLocationIsOneOfTwoBoxes_data() {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("toSdCard");
        QTest::newRow("at start") << QStringList{} << 1;
        QTest::newRow("memory box") << QStringList{"memoryBox"} << 0;
        QTest::newRow("memory label") << QStringList{"memoryLabel"} << 0;
        QTest::newRow("memory, then sd card box") << QStringList{"memoryBox", "sdCardBox"} << 1;
        QTest::newRow("memory, then sd card label")
            << QStringList{"memoryLabel", "sdCardLabel"} << 1;
        QTest::newRow("sd card again") << QStringList{"sdCardBox", "sdCardLabel"} << 1;
        QTest::newRow("memory twice") << QStringList{"memoryBox", "memoryLabel"} << 0;
    }
    void theInstallLocationIsOneOfTwoBoxes() {
        QFETCH(QStringList, clicks);
        QFETCH(int, toSdCard);
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QWidget* sdCard = Control(window, "sdCardBox");
        QWidget* memory = Control(window, "memoryBox");
        const QImage checked = test::Look(sdCard);
        const QImage unchecked = test::Look(memory);
        QVERIFY(checked != unchecked);
        for (const QString& name : clicks) {
            QTest::mouseClick(Control(window, name), Qt::LeftButton, {}, QPoint(5, 5));
        }
        QCOMPARE(window.State().installToSdCard, toSdCard);
        QCOMPARE(test::Look(sdCard), toSdCard == 1 ? checked : unchecked);
        QCOMPARE(test::Look(memory), toSdCard == 1 ? unchecked : checked);
    }

    void enterIsIgnoredAndEscapeCloses() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QSignalSpy finished(&window, &QDialog::finished);
        for (QWidget* target : {static_cast<QWidget*>(&window), Control(window, "installButton"),
                                Control(window, "closeButton")}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Enter);
        }
        QVERIFY(window.isVisible());
        QCOMPARE(finished.count(), 0);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(finished.count(), 1);
    }

    void theCloseButtonEndsTheWindow() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QSignalSpy finished(&window, &QDialog::finished);
        QTest::mouseClick(Control(window, "closeButton"), Qt::LeftButton, {}, QPoint(14, 14));
        QCOMPARE(finished.count(), 1);
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }

    void aDropOfThreeFilesOpensTheFirst() {
        const std::filesystem::path folder = packages_.path().toStdString();
        const QList<QUrl> files = {
            QUrl::fromLocalFile(
                QString::fromStdString(test::BuildTestApk(folder, "first", "第一个游戏").string())),
            QUrl::fromLocalFile(QString::fromStdString(
                test::BuildTestApk(folder, "second", "第二个游戏").string())),
            QUrl::fromLocalFile(QString::fromStdString(
                test::BuildTestApk(folder, "third", "第三个游戏").string()))};
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QMimeData data;
        data.setUrls(files);
        QDragEnterEvent enter(QPoint(200, 150), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(200, 150), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&window, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(window.State().packageLoaded, 1);
        QVERIFY(test::WaitUntilLoaded(window));
        QCOMPARE(TextOf(window, "appLabel"), QStringLiteral("第一个游戏"));
        QCOMPARE(QString::fromStdString(window.State().openedPath), files[0].toLocalFile());
    }

    void theTopBandDragsTheWindow_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<bool>("moves");
        QTest::newRow("last row of the band") << "" << QPoint(200, 95) << true;
        QTest::newRow("first row below the band") << "" << QPoint(200, 96) << false;
        QTest::newRow("over the game name") << "appLabel" << QPoint(5, 5) << true;
        QTest::newRow("on the vendor link") << "moreGames" << QPoint(5, 5) << false;
    }
    void theTopBandDragsTheWindow() {
        QFETCH(QString, target);
        QFETCH(QPoint, pressAt);
        QFETCH(bool, moves);
        UrlCatcher browser;  // the vendor link must not reach a real browser
        QDesktopServices::setUrlHandler("http", &browser, "Open");
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QWidget* receiver = target.isEmpty() ? &window : Control(window, target);
        const QPoint before = window.pos();
        QTest::mousePress(receiver, Qt::LeftButton, {}, pressAt);
        QTest::mouseMove(receiver, pressAt + QPoint(30, 12));
        QTest::mouseRelease(receiver, Qt::LeftButton, {}, pressAt + QPoint(30, 12));
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(window.pos() != before, moves);
    }

    void theVendorLinkOpensTheVendorSite() {
        UrlCatcher browser;
        QDesktopServices::setUrlHandler("http", &browser, "Open");
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QTest::mouseClick(Control(window, "moreGames"), Qt::LeftButton, {}, QPoint(10, 8));
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(browser.opened, QList<QUrl>{QUrl("http://127.0.0.1:9/")});
    }

    void everyImageButtonHasAnAccessibleName() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        const QList<CLoginButton*> buttons = window.findChildren<CLoginButton*>();
        QCOMPARE(buttons.size(), 5);
        for (CLoginButton* button : buttons) {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
            QVERIFY(accessible != nullptr);
            QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(),
                     qPrintable(button->objectName()));
        }
    }
};

int main(int argc, char** argv) {
    return test::RunWindowTests<WindowLayoutTest>(argc, argv);
}

#include "window_layout_test.moc"
