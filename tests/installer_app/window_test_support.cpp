#include "tests/installer_app/window_test_support.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>

#include "installer/app/tarnel_install_dlg.h"

namespace tarnel::test {

WindowTestHome::WindowTestHome() {
    const QDir folder(folder_.path());
    folder.mkpath(QStringLiteral("home"));
    QFile::link(QStringLiteral(TARNEL_SOURCE_DIR "/skin"), folder.filePath("home/skin"));
    QFile settings(folder.filePath("home/Update.ini"));
    settings.open(QIODevice::WriteOnly);
    // Port 9 (discard) has no listener on a test machine: the vendor page fails at once.
    settings.write("[URL]\nwebhost=127.0.0.1:9\n");
    settings.close();
    folder.mkpath(QStringLiteral("run"));
    QFile::setPermissions(folder.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TARNEL_HOME", QFile::encodeName(folder.filePath("home")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.filePath("cache")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath("config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.filePath("run")));
    qputenv("TARNEL_ADB", "/nonexistent/adb");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

BoxAnswerer::BoxAnswerer(QMessageBox::StandardButton press) : press(press) {
    connect(&poll_, &QTimer::timeout, this, &BoxAnswerer::AnswerOpenBoxes);
    poll_.start(20);
}

void BoxAnswerer::AnswerOpenBoxes() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box == nullptr || !box->isVisible()) {
            continue;
        }
        boxes.push_back({box->icon(), box->windowTitle(), box->text(), box->standardButtons()});
        QAbstractButton* button = box->button(press);
        if (button == nullptr) {
            button = box->buttons().front();
        }
        button->click();
    }
}

void StartWindow(CtarnelInstallDlg& window, const std::filesystem::path& path) {
    window.StartUp(path.string());
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}

bool WaitUntilLoaded(const CtarnelInstallDlg& window) {
    return QTest::qWaitFor([&] { return window.State().loading == 0; }, 60000);
}

std::filesystem::path BuildTestApk(const std::filesystem::path& folder, const std::string& stem,
                                   const std::string& label, const std::string& version) {
    ApkContents contents;
    contents.packageName = "com.example." + stem;
    contents.label = label;
    contents.versionName = version;
    contents.permissions = {"android.permission.INTERNET", "android.permission.CAMERA"};
    const std::filesystem::path apk = folder / (stem + ".apk");
    BuildApk(contents, apk);
    return apk;
}

UseRealAdb::UseRealAdb() {
    qputenv("TARNEL_ADB", "adb");
}

UseRealAdb::~UseRealAdb() {
    qputenv("TARNEL_ADB", "/nonexistent/adb");
}

QImage Look(QWidget* control) {
    return control->parentWidget()->grab(control->geometry()).toImage();
}

}  // namespace tarnel::test
