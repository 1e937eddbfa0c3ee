// Draws the installer window in each of its states for review, as OUT/installer-STATE.png:
//   installer_window_screenshots PACKAGE OUT
// The package is opened for real; each state is then set through the window's view, as the
// installation flow sets it.
#include <QAbstractButton>
#include <QApplication>
#include <QScreen>
#include <QTest>

#include <functional>
#include <iostream>

#include "installer/app/tarnel_install_dlg.h"
#include "installer/package/package_messages.h"
#include "ui/owner_draw_static.h"
#include "ui/web_browser.h"

using namespace tarnel;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: installer_window_screenshots PACKAGE OUT\n";
        return 2;
    }
    PrepareWebViews();
    QApplication application(argc, argv);
    const auto status = [](const char* text) {
        return [text](CtarnelInstallDlg& w) { w.SetStatus(NarrowText(text)); };
    };
    const std::pair<const char*, std::function<void(CtarnelInstallDlg&)>> states[] = {
        {"empty", [](CtarnelInstallDlg&) {}},
        {"loaded", status("手机已连接到电脑")},
        {"panel",
         [&](CtarnelInstallDlg& w) {
             status("手机已连接到电脑")(w);
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
        {"failure", status("安装失败：程序已经存在。")},
    };
    for (const auto& [state, set] : states) {
        CtarnelInstallDlg window;
        const bool empty = state == std::string("empty");
        window.StartUp(empty ? std::string() : argv[1]);
        auto* toggle = window.findChild<QAbstractButton*>("permissionToggle");
        // Loaded, the phone looked for, and a game package's permissions read.
        if (!QTest::qWaitFor(
                [&] {
                    return window.State().loading == 0 &&
                           !window.findChild<COwerDrawStatic*>("status")->Text().isEmpty() &&
                           (empty || toggle->isEnabled());
                },
                60000)) {
            std::cerr << "the package did not load\n";
            return 1;
        }
        set(window);
        QTest::qWait(500);
        const QString output = QString::fromLocal8Bit(argv[2]) + "/installer-" + state + ".png";
        QPixmap picture = window.screen()->grabWindow(window.winId());
        if (picture.size() != window.size())
            picture = window.grab();
        if (!picture.save(output)) {
            std::cerr << "cannot write " << output.toStdString() << "\n";
            return 1;
        }
        std::cout << output.toStdString() << "\n";
    }
    return 0;
}
