// The window as the installation flow's view: what each effect shows, and packages loaded
// through it without a phone.
#include <QPlainTextEdit>

#include <thread>

#include "installer/app/tarnel_install_dlg.h"
#include "installer/package/game_package_writer.h"
#include "platform/text_codec.h"
#include "tests/installer_app/window_test_support.h"
#include "ui/login_button.h"
#include "ui/my_progress_ctrl.h"
#include "ui/owner_draw_static.h"

using namespace tarnel;

namespace {

COwerDrawStatic* LabelOf(QWidget& window, const char* name) {
    return window.findChild<COwerDrawStatic*>(name);
}

QWidget* ButtonOf(QWidget& window, const char* name) {
    return window.findChild<CLoginButton*>(name);
}

std::string Narrow(const char* utf8) {
    return NarrowText(utf8);
}

}  // namespace

class WindowViewTest : public QObject {
    Q_OBJECT

    QTemporaryDir packages_;
    std::filesystem::path apk_;

  private slots:
    void initTestCase() {
        apk_ = test::BuildTestApk(packages_.path().toStdString(), "facts", "星落传说", "2.5.1");
    }

    void withoutAPhoneTheStatusLineAsksForTheCable() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QTRY_COMPARE(LabelOf(window, "status")->Text(),
                     QStringLiteral("请用数据线将手机连接到电脑"));
    }

    void aStatusTooLongForItsLineEndsInAnEllipsis_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::newRow("short") << QStringLiteral("正在安装软件...") << true;
        QTest::newRow("longest failure")
            << QStringLiteral("安装失败：需求的共享用户签名错误。") << true;
        QTest::newRow("too long") << QString(40, QChar(u'长')) << false;
    }
    void aStatusTooLongForItsLineEndsInAnEllipsis() {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        CtarnelInstallDlg window;
        window.SetStatus(text.toStdString());
        COwerDrawStatic* status = LabelOf(window, "status");
        QCOMPARE(status->Text() == text, fits);
        QCOMPARE(status->toolTip(), fits ? QString() : text);
        if (!fits) {
            QVERIFY(status->Text().endsWith(QChar(0x2026)));
        }
    }

    void theInstallButtonIsEnabledAndReimagedByTheFlow() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        QWidget* button = ButtonOf(window, "installButton");
        const QImage installLook = test::Look(button);
        window.EnableInstallButton(false);
        QVERIFY(!button->isEnabled());
        // A button that cannot be pressed looks faded.
        QVERIFY(test::Look(button) != installLook);
        window.EnableInstallButton(true);
        QVERIFY(button->isEnabled());
        window.ShowInstallDone(true);
        QCOMPARE(button->size(), QSize(92, 32));
        const QImage doneLook = test::Look(button);
        QVERIFY(doneLook != installLook);
        QVERIFY(button->accessibleName() != QStringLiteral("立即安装"));
        window.ShowInstallDone(false);
        QCOMPARE(test::Look(button), installLook);
        QCOMPARE(button->accessibleName(), QStringLiteral("立即安装"));
    }

    void theFactsOfAnApkFillTheirLabels() {
        CtarnelInstallDlg window;
        test::StartWindow(window, apk_);
        QVERIFY(test::WaitUntilLoaded(window));
        QCOMPARE(LabelOf(window, "appLabel")->Text(), QStringLiteral("星落传说"));
        QCOMPARE(LabelOf(window, "versionName")->Text(), QStringLiteral("2.5.1"));
        QCOMPARE(LabelOf(window, "androidVersion")->Text(), QStringLiteral("Android 2.2"));
        QVERIFY(LabelOf(window, "sizeText")->Text().endsWith(QStringLiteral("KB")));
        QVERIFY(ButtonOf(window, "installButton")->isEnabled());
        QVERIFY(ButtonOf(window, "permissionToggle")->isEnabled());
        const auto* edit = window.findChild<QPlainTextEdit*>("permissionText");
        QVERIFY(!edit->toPlainText().isEmpty());
    }

    void aGamePackageShowsItsIconAndReadsItsPermissionsAfterwards() {
        GamePackage package;
        package.manifest.packageName = "com.example.icon";
        package.manifest.appName = "图标游戏";
        package.manifest.versionName = "3.0";
        package.icon = test::SolidPng(96, 96, 200, 40, 30);
        const std::filesystem::path path =
            std::filesystem::path(packages_.path().toStdString()) / "icon game.tpk";
        QVERIFY(WriteGamePackage(path, package));
        CtarnelInstallDlg window;
        test::StartWindow(window, path);
        QVERIFY(test::WaitUntilLoaded(window));
        QCOMPARE(LabelOf(window, "appLabel")->Text(), QStringLiteral("图标游戏"));
        QTRY_VERIFY(ButtonOf(window, "permissionToggle")->isEnabled());
        // Drawn 70 x 70 at (30, 60), whatever the picture's own size.
        const QImage look = window.grab(QRect(30, 60, 70, 70)).toImage();
        QCOMPARE(QColor(look.pixel(35, 35)), QColor(200, 40, 30));
        QCOMPARE(QColor(look.pixel(3, 66)), QColor(200, 40, 30));
        QCOMPARE(QColor(window.grab(QRect(101, 95, 1, 1)).toImage().pixel(0, 0)),
                 QColor(Qt::white));
    }

    void aFileOfAnotherKindIsRefusedAndTheFactsStay() {
        CtarnelInstallDlg window;
        test::StartWindow(window, apk_);
        QVERIFY(test::WaitUntilLoaded(window));
        test::BoxAnswerer answerer;
        window.OpenFromUser(
            (std::filesystem::path(packages_.path().toStdString()) / "game.zip").string());
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].caption, QStringLiteral("tarnelInstall"));
        QCOMPARE(answerer.boxes[0].icon, QMessageBox::Warning);
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("文件格式只能是apk或tpk文件！"));
        QCOMPARE(LabelOf(window, "appLabel")->Text(), QStringLiteral("星落传说"));
        // Nothing is loaded now: the install button says so once a phone is there.
        QCOMPARE(window.State().packageLoaded, 0);
    }

    void theProgressBarShowsAboveTheStatusLineOnlyWhileThereIsProgress() {
        CtarnelInstallDlg window;
        test::StartWindow(window);
        auto* bar = window.findChild<CMyProgressCtrl*>("progress");
        QVERIFY(!bar->isVisible());
        window.SetProgress(40);
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->GetPos(), 40);
        QVERIFY(bar->geometry().bottom() < LabelOf(window, "status")->geometry().top());
        window.SetProgress(100);
        QCOMPARE(bar->FilledWidth(), bar->width());
        window.SetProgress(-1);
        QVERIFY(!bar->isVisible());
    }

    void boxesAndTheQuestionLookAsTheFlowAsks_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("press");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("answer");
        QTest::newRow("box") << "box" << int(QMessageBox::Ok) << "tarnelInstall"
                             << int(QMessageBox::Warning) << true;
        QTest::newRow("message") << "message" << int(QMessageBox::Ok) << "错误"
                                 << int(QMessageBox::Warning) << true;
        QTest::newRow("question, OK") << "question" << int(QMessageBox::Ok) << "提示"
                                      << int(QMessageBox::Information) << true;
        QTest::newRow("question, Cancel") << "question" << int(QMessageBox::Cancel) << "提示"
                                          << int(QMessageBox::Information) << false;
    }
    void boxesAndTheQuestionLookAsTheFlowAsks() {
        QFETCH(QString, kind);
        QFETCH(int, press);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(bool, answer);
        CtarnelInstallDlg window;
        test::StartWindow(window);
        test::BoxAnswerer answerer(static_cast<QMessageBox::StandardButton>(press));
        bool answered = true;
        if (kind == "box") {
            window.ShowBox(Narrow("手机未连接到电脑"));
        } else if (kind == "message") {
            window.ShowMessage(Narrow("手机未连接到电脑"), Narrow("错误"));
        } else {
            answered = window.AskQuestion(Narrow("手机未连接到电脑"), Narrow("提示"));
        }
        QCOMPARE(answered, answer);
        QCOMPARE(answerer.boxes.size(), 1);
        QCOMPARE(answerer.boxes[0].caption, caption);
        QCOMPARE(int(answerer.boxes[0].icon), icon);
        QCOMPARE(answerer.boxes[0].text, QStringLiteral("手机未连接到电脑"));
        QCOMPARE(answerer.boxes[0].buttons.testFlag(QMessageBox::Cancel), kind == "question");
    }

    void effectsPostedByWorkersRunOnTheWindowsThread() {
        CtarnelInstallDlg window;
        std::thread::id ranOn;
        std::thread worker([&] { window.Post([&] { ranOn = std::this_thread::get_id(); }); });
        worker.join();
        QTRY_VERIFY(ranOn == std::this_thread::get_id());
    }
};

int main(int argc, char** argv) {
    return test::RunWindowTests<WindowViewTest>(argc, argv);
}

#include "window_view_test.moc"
