#include "tests/installer_app/window_test_support.h"

#include <QAbstractButton>

#include "installer/app/tarnel_install_dlg.h"

namespace tarnel::test {

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
        boxes.push_back({box->windowTitle(), box->text(), box->standardButtons()});
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
