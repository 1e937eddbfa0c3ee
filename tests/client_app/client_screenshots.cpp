// Draws the client's window or one of its dialogs and saves the picture, for review:
//   client_screenshots --screenshot-state window|exit-question|settings|screen --screenshot OUT.png
// "screen" is the whole screen with the window and the exit question over it, as placed.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <iostream>

#include "client/app/exit_ask_dlg.h"
#include "client/app/set_dlg.h"
#include "client/app/tarnel_dlg.h"
#include "ui/web_browser.h"

using namespace tarnel;

namespace {

QString Option(const QStringList& arguments, const QString& name) {
    const qsizetype at = arguments.indexOf(name);
    return at >= 0 && at + 1 < arguments.size() ? arguments[at + 1] : QString();
}

QPixmap Picture(QWidget& window) {
    QPixmap picture = window.screen()->grabWindow(window.winId());
    return picture.isNull() || picture.size() != window.size() ? window.grab() : picture;
}

}  // namespace

int main(int argc, char** argv) {
    PrepareWebViews();
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString state = Option(arguments, "--screenshot-state");
    const QString output = Option(arguments, "--screenshot");
    const QStringList states = {"window", "exit-question", "settings", "screen"};
    if (output.isEmpty() || !states.contains(state)) {
        std::cerr << "usage: client_screenshots --screenshot-state "
                  << states.join('|').toStdString() << " --screenshot OUT.png\n";
        return 2;
    }

    CtarnelDlg window({.trayAvailable = [] { return false; }});
    window.StartUp();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::cerr << "the window was not shown\n";
        return 1;
    }
    QTest::qWait(500);
    QPixmap picture;
    if (state == "window") {
        picture = Picture(window);
    } else {
        std::unique_ptr<SmallSkinnedDialog> dialog;
        if (state == "settings") {
            dialog = std::make_unique<CSetDlg>(&window);
        } else {
            dialog = std::make_unique<CExitAskDlg>(&window);
        }
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get())) {
            std::cerr << "the dialog was not shown\n";
            return 1;
        }
        QTest::qWait(500);
        picture = state == "screen" ? window.screen()->grabWindow(0) : Picture(*dialog);
    }
    if (!picture.save(output)) {
        std::cerr << "cannot write " << output.toStdString() << "\n";
        return 1;
    }
    return 0;
}
