#include "client/app/tarnel_app.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>

#include <iostream>

#include "client/app/tarnel_dlg.h"
#include "client/core/file_associations.h"
#include "ui/quit_on_signals.h"
#include "ui/skin_folder.h"
#include "ui/web_browser.h"
#include "ui/window_conventions.h"

namespace tarnel {

int CtarnelApp::InitInstance() {
    if (!HasDisplay()) {
        std::cerr << "tarnel: there is no display for the window (DISPLAY and WAYLAND_DISPLAY "
                     "are unset)\n";
        return 2;
    }
    // The web engine describes its graphics set-up at start; users have no use for that.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    PrepareWebViews();
    int argc = 1;
    char name[] = "tarnel";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(WindowIconFile()));
    // The window hides to the tray: the program ends when the window is ended, not hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    // Failures are not the user's business here; the settings dialog shows what stands.
    RegisterFileAssociations(AssociationFolders::FromEnvironment(), AssociationVariant::StartUp);

    CtarnelDlg window;
    // Not exec(): a dialog's own loop ends as soon as it is hidden.
    QObject::connect(&window, &QDialog::finished, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // Told to end from outside, the program ends as it does from the tray: the window closes, the
    // monitor is joined, the web engine's helpers go. Nothing failed, so the exit code is 0.
    const QuitOnSignals quitOnSignals([&window] {
        window.reject();
        QCoreApplication::quit();
    });
    window.StartUp();
    QApplication::exec();
    return 0;
}

}  // namespace tarnel
