#include "installer/app/installer_window_app.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>

#include <filesystem>
#include <iostream>

#include "installer/app/hand_over.h"
#include "installer/app/tarnel_install_dlg.h"
#include "ui/quit_on_signals.h"
#include "ui/skin_folder.h"
#include "ui/web_browser.h"
#include "ui/window_conventions.h"

namespace tarnel {
namespace {

// The running copy may have another current directory.
std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return path.empty() || error ? path : absolute.string();
}

}  // namespace

int RunInstallerWindow(const std::string& path) {
    if (!HasDisplay()) {
        std::cerr << "tarnelInstall: there is no display for the window; "
                     "--no-gui, --info and --extract work without one\n";
        return 2;
    }
    if (path.size() > static_cast<size_t>(kMaxHandedPathBytes)) {
        std::cerr << "tarnelInstall: the package path is longer than " << kMaxHandedPathBytes
                  << " bytes\n";
        return 2;
    }
    const std::string absolute = AbsolutePath(path);

    // The web engine describes its graphics set-up at start; users have no use for that.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    PrepareWebViews();
    // Qt sees no argument of ours: a package named like one of its options stays a package.
    int argc = 1;
    char name[] = "tarnelInstall";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(WindowIconFile()));

    HandOverServer server;
    if (PassedToRunningCopy(absolute, server)) {
        return 0;
    }
    CtarnelInstallDlg window;
    // Told to end from outside, the window closes as by its close button: a running installation
    // is stopped and cleaned after, as Ctrl-C does without a window.
    const QuitOnSignals quitOnSignals([&window] {
        window.reject();
        QCoreApplication::quit();
    });
    window.StartUp(absolute);
    server.DeliverTo(
        [&window](const QByteArray& handed) { window.OpenHandedOver(handed.toStdString()); });
    window.exec();
    return 0;
}

}  // namespace tarnel
