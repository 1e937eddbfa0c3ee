#pragma once

#include <QApplication>
#include <QTest>

#include <filesystem>

#include "tests/support/test_home.h"
#include "ui/web_browser.h"

namespace tarnel::test {

inline constexpr const char* kTestMicroblog = "http://127.0.0.1:9/weibo";
inline constexpr const char* kTestChatGroup = "http://127.0.0.1:9/?_wv=1027&k=abcdef";

// The client's home: the vendor page on port 9 (discard: nothing listens on a test machine, so
// it fails at once), an update address without a host (no fetch, no box), link addresses of its
// own, and an installer in the program folder for the file associations to name.
class ClientTestHome : public TestHome {
  public:
    ClientTestHome()
        : TestHome(std::string("iniurl=http:///Updater.ini\nwebhost=127.0.0.1:9\nweibourl=") +
                       kTestMicroblog + "\nqqgroupurl=" + kTestChatGroup + "\n",
                   true) {
        std::filesystem::create_symlink("/bin/true", ProgramFolder() / "tarnelInstall");
    }

    std::filesystem::path ConfigHome() const { return Folder() / "config"; }
    std::filesystem::path DataHome() const { return Folder() / "data"; }
    // tarnelUser.ini as the window reads it.
    std::filesystem::path SettingsFile() const {
        return ConfigHome() / "tarnel" / "tarnelUser.ini";
    }
};

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
