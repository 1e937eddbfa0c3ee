// Draws the installer window in one of its states and saves the picture, for review:
//   installer_window_screenshots --package FILE --screenshot-state NAME --screenshot OUT.png
// The package is opened for real; the state is then set through the window's view, as the
// installation flow sets it.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTest>

#include <functional>
#include <iostream>
#include <map>

#include "installer/app/tarnel_install_dlg.h"
#include "installer/package/package_messages.h"
#include "ui/owner_draw_static.h"
#include "ui/web_browser.h"

using namespace tarnel;

namespace {

using StateSetter = std::function<void(CtarnelInstallDlg&)>;

const std::map<std::string, StateSetter>& States() {
    static const std::map<std::string, StateSetter> states = {
        {"empty", [](CtarnelInstallDlg&) {}},
        {"loaded", [](CtarnelInstallDlg& w) { w.SetStatus(NarrowText("手机已连接到电脑")); }},
        {"panel",
         [](CtarnelInstallDlg& w) {
             w.SetStatus(NarrowText("手机已连接到电脑"));
             w.findChild<QAbstractButton*>("permissionToggle")->click();
         }},
        {"installing",
         [](CtarnelInstallDlg& w) {
             w.EnableInstallButton(false);
             w.SetStatus(NarrowText("正在上传数据包..."));
             w.SetProgress(45);
         }},
        {"done",
         [](CtarnelInstallDlg& w) {
             w.SetStatus(NarrowText("已安装到手机"));
             w.ShowInstallDone(true);
         }},
        {"failure",
         [](CtarnelInstallDlg& w) { w.SetStatus(NarrowText("安装失败：程序已经存在。")); }},
    };
    return states;
}

QString Option(const QStringList& arguments, const QString& name) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

}  // namespace

int main(int argc, char** argv) {
    PrepareWebViews();
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString package = Option(arguments, "--package");
    const QString state = Option(arguments, "--screenshot-state");
    const QString output = Option(arguments, "--screenshot");
    const auto setter = States().find(state.toStdString());
    if (package.isEmpty() || output.isEmpty() || setter == States().end()) {
        std::cerr << "usage: installer_window_screenshots --package FILE --screenshot-state "
                     "empty|loaded|panel|installing|done|failure --screenshot OUT.png\n";
        return 2;
    }

    CtarnelInstallDlg window;
    const bool empty = state == "empty";
    window.StartUp(empty ? std::string() : QFile::encodeName(package).toStdString());
    auto* status = window.findChild<COwerDrawStatic*>("status");
    auto* toggle = window.findChild<QAbstractButton*>("permissionToggle");
    // Loaded, the phone looked for, and a game package's permissions read.
    if (!QTest::qWaitFor(
            [&] {
                return window.State().loading == 0 && !status->Text().isEmpty() &&
                       (empty || toggle->isEnabled());
            },
            60000)) {
        std::cerr << "the package did not load\n";
        return 1;
    }
    setter->second(window);
    QTest::qWait(500);
    QPixmap picture = window.screen()->grabWindow(window.winId());
    if (picture.isNull() || picture.size() != window.size()) {
        picture = window.grab();
    }
    if (!picture.save(output)) {
        std::cerr << "cannot write " << output.toStdString() << "\n";
        return 1;
    }
    return 0;
}
