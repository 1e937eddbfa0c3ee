// Installing by a click: the window, the real adb and the simulated phone.
#include <QFile>

#include <fstream>
#include <memory>

#include "installer/app/tarnel_install_dlg.h"
#include "installer/package/game_package_writer.h"
#include "tests/installer_app/window_test_support.h"
#include "tests/support/phone_fixture.h"
#include "ui/login_button.h"
#include "ui/owner_draw_static.h"

using namespace tarnel;

namespace {

constexpr const char* kGame = "com.example.starfall";
constexpr int kInstallWait = 120000;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A game package with an APK built by aapt, game data and an icon.
std::filesystem::path MakeGamePackage(const std::filesystem::path& folder) {
    test::ApkContents apk;
    apk.packageName = kGame;
    apk.label = "星落";
    test::BuildApk(apk, folder / "starfall.apk");
    GamePackage package;
    package.manifest.packageName = kGame;
    package.manifest.appName = "星落";
    package.apk = ReadFile(folder / "starfall.apk");
    package.icon = test::SolidPng(72, 72, 30, 120, 200);
    package.dataFiles = {{std::string("obb/") + kGame + "/main.1.obb", std::string(300000, 'o')}};
    const std::filesystem::path path = folder / "starfall.tpk";
    WriteGamePackage(path, package);
    return path;
}

QString StatusOf(QWidget& window) {
    return window.findChild<COwerDrawStatic*>("status")->Text();
}

}  // namespace

class WindowInstallTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::SimulatedPhone> phone_;
    std::filesystem::path package_;

    void Plug(const test::Scenario& scenario = test::Scenario::object()) {
        phone_ = std::make_unique<test::SimulatedPhone>(scenario);
        package_ = MakeGamePackage(phone_->WorkFolder());
    }

    // The window with the package loaded and the phone found.
    void Open(CtarnelInstallDlg& window) {
        test::StartWindow(window, package_);
        QVERIFY(test::WaitUntilLoaded(window));
        QTRY_COMPARE_WITH_TIMEOUT(StatusOf(window), QStringLiteral("手机已连接到电脑"), 30000);
    }

    QWidget* InstallButton(QWidget& window) {
        return window.findChild<CLoginButton*>("installButton");
    }

    void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(7, 7)); }

  private slots:
    void cleanup() { phone_.reset(); }

    void aClickInstallsTheGameWhereTheUserChose_data() {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("codePath");
        QTest::newRow("sd card") << ""
                                 << "/mnt/asec/com.example.starfall-1/base.apk";
        QTest::newRow("internal memory") << "memoryLabel"
                                         << "/data/app/com.example.starfall-1/base.apk";
    }
    void aClickInstallsTheGameWhereTheUserChose() {
        QFETCH(QString, choice);
        QFETCH(QString, codePath);
        Plug();
        CtarnelInstallDlg window;
        Open(window);
        if (!choice.isEmpty()) {
            Click(window.findChild<QWidget*>(choice));
        }
        const QImage installLook = test::Look(InstallButton(window));
        Click(InstallButton(window));
        QTRY_COMPARE_WITH_TIMEOUT(StatusOf(window), QStringLiteral("已安装到手机"), kInstallWait);
        QTRY_COMPARE(window.State().busy, 0);
        QVERIFY(InstallButton(window)->isEnabled());
        QVERIFY(test::Look(InstallButton(window)) != installLook);
        QVERIFY(std::filesystem::exists(phone_->HostPath(codePath.toStdString())));
        const auto data = phone_->HostPath(std::string("/sdcard/Android/obb/") + kGame);
        QCOMPARE(std::filesystem::file_size(data / "main.1.obb"), 300000u);
        QVERIFY(!std::filesystem::exists(package_.parent_path() / "~starfall"));
    }

    void afterASuccessTheButtonAsksBeforeInstallingAgain() {
        Plug();
        CtarnelInstallDlg window;
        Open(window);
        Click(InstallButton(window));
        QTRY_COMPARE_WITH_TIMEOUT(window.State().readyToInstall, 0, kInstallWait);
        QTRY_COMPARE(window.State().busy, 0);
        const QImage doneLook = test::Look(InstallButton(window));
        {
            test::BoxAnswerer cancel(QMessageBox::Cancel);
            Click(InstallButton(window));
            QCOMPARE(cancel.boxes.size(), 1);
            QCOMPARE(cancel.boxes[0].text, QStringLiteral("是否重装游戏?"));
            QCOMPARE(cancel.boxes[0].caption, QStringLiteral("提示"));
        }
        QCOMPARE(window.State().busy, 0);
        QCOMPARE(window.State().readyToInstall, 0);
        QCOMPARE(test::Look(InstallButton(window)), doneLook);
        test::BoxAnswerer ok(QMessageBox::Ok);
        Click(InstallButton(window));
        QCOMPARE(ok.boxes.size(), 1);
        QVERIFY(test::Look(InstallButton(window)) != doneLook);
        QTRY_COMPARE_WITH_TIMEOUT(window.State().readyToInstall, 0, kInstallWait);
        QCOMPARE(StatusOf(window), QStringLiteral("已安装到手机"));
    }

    void whileInstallingNoOtherPackageIsTaken() {
        Plug({{"hang", true}});
        auto window = std::make_unique<CtarnelInstallDlg>();
        test::StartWindow(*window, package_);
        QVERIFY(test::WaitUntilLoaded(*window));
        Click(InstallButton(*window));
        QTRY_COMPARE_WITH_TIMEOUT(window->State().busy, 1, 30000);
        QVERIFY(!InstallButton(*window)->isEnabled());
        const auto other = test::BuildTestApk(phone_->WorkFolder(), "other", "别的游戏");
        test::BoxAnswerer answerer;
        window->OpenHandedOver(other.string());
        window->OpenFromUser(other.string());
        QCOMPARE(answerer.boxes.size(), 2);
        QCOMPARE(answerer.boxes[1].text, QStringLiteral("请等待安装完成..."));
        QCOMPARE(window->State().openedPath, package_.string());
        QCOMPARE(window->findChild<COwerDrawStatic*>("appLabel")->Text(), QStringLiteral("星落"));
        // Closing stops the hung installation and cleans up after it.
        window.reset();
        QVERIFY(!std::filesystem::exists(package_.parent_path() / "~starfall"));
    }
};

int main(int argc, char** argv) {
    return test::RunWindowTests<WindowInstallTest>(argc, argv);
}

#include "window_install_test.moc"
