#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <filesystem>

#include "ui/web_browser.h"

namespace tarnel::test {

// The folders a client window test runs in, set before the application starts: a program folder
// with the committed skin, a vendor host on a closed loopback port and link addresses of its own
// (no test reaches the network), and its own settings, cache, data and run-time folders, so the
// user's own files are never touched. Without TARNEL_ADB in the environment there is no adb and
// so no phone.
class ClientTestHome {
  public:
    ClientTestHome();

    std::filesystem::path Folder() const { return folder_.path().toStdString(); }
    // tarnelUser.ini as the window reads it.
    std::filesystem::path SettingsFile() const;
    std::filesystem::path DataHome() const { return Folder() / "data"; }
    std::filesystem::path ConfigHome() const { return Folder() / "config"; }

  private:
    QTemporaryDir folder_;
};

inline constexpr const char* kTestMicroblog = "http://127.0.0.1:9/weibo";
inline constexpr const char* kTestChatGroup = "http://127.0.0.1:9/?_wv=1027&k=abcdef";

// Runs a QTest class the way tarnel runs its window.
template <class Tests>
int RunClientTests(int argc, char** argv) {
    const ClientTestHome home;
    PrepareWebViews();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Tests tests(home);
    return QTest::qExec(&tests, argc, argv);
}

}  // namespace tarnel::test
