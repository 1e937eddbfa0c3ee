// Pictures of the client for review, run under Xvfb with a folder to write them to
// (scripts/client_screenshots.sh): the window with the no-phone page (with a hint line), its two
// dialogs and the whole screen with the exit question placed over the window, the connection
// wizard, and the device page with the simulated phone's facts and screenshot.

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <iostream>

#include "bridge/device_bridge.h"
#include "client/app/conn_progress_dlg.h"
#include "client/app/exit_ask_dlg.h"
#include "client/app/my_phone_dlg.h"
#include "client/app/phone_no_conn_dlg.h"
#include "client/app/set_dlg.h"
#include "client/app/tarnel_dlg.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/client_app/client_test_support.h"
#include "tests/support/phone_fixture.h"
#include "ui/ui.h"

using namespace tarnel;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: client_phone_pages_screenshots FOLDER\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    setenv("TARNEL_ADB", FindTool("adb", "TARNEL_ADB").c_str(), 1);
    const test::ClientTestHome home;
    test::SimulatedPhone phone(test::Scenario{{"model", "Redmi K40"},
                                              {"brand", "Xiaomi"},
                                              {"release", "12"},
                                              {"display", "1080x2400"},
                                              {"root", true},
                                              {"companionDelayMs", 3000}});
    // With a companion to wait for, the wizard stays up long enough to be seen.
    test::ApkContents companion;
    companion.packageName = "com.kestrum.player";
    companion.versionName = "2.2.0";
    test::BuildApk(companion, home.ProgramFolder() / "tarnel.apk");
    PrepareWebViews();
    QApplication application(argc, argv);
    bool saved = true;
    const auto save = [&](QWidget& widget, const char* name) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        saved = widget.grab().save(path) && saved;
        std::cout << path.toStdString() << "\n";
    };

    CtarnelDlg window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.NoPhonePage()->ShowPhoneState(PhoneState::Unauthorized);
    QTest::qWait(500);
    save(window, "no_phone_page.png");
    CSetDlg settings(&window);
    CExitAskDlg question(&window);
    for (auto [dialog, name] : {std::pair<QDialog*, const char*>{&settings, "settings.png"},
                                {&question, "exit_question.png"}}) {
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog))
            return 1;
        save(*dialog, name);
    }
    saved = window.screen()->grabWindow(0).save(folder + QStringLiteral("/screen.png")) && saved;
    question.hide();
    settings.hide();

    window.Bridge()->adbPath = FindTool("adb", "TARNEL_ADB");
    QTimer::singleShot(1700, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* wizard = qobject_cast<CConnProgressDlg*>(top); wizard && wizard->isVisible())
                save(*wizard, "connection_wizard.png");
        }
    });
    window.RunConnectionWizard();
    QTest::qWait(500);
    save(window, "device_page.png");
    return saved && window.PhonePage()->HasScreenshot() ? 0 : 1;
}
