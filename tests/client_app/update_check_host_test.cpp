// The update check as the window presents it: a loopback server announces a version, the host
// starts the updater stand-in from the program folder and ends the program with 0, or shows its
// messages one after the other while the program stays.
#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include <fstream>
#include <optional>

#include "client/app/update_check_host.h"
#include "tests/client_core/loopback_http_server.h"
#include "tests/support/test_home.h"

using namespace std::chrono_literals;
using tarnel::test::LoopbackHttpServer;
using tarnel::test::TestHome;

namespace {

constexpr int kWait = 5000;

QMessageBox* ShownBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box != nullptr && box->isVisible())
            return box;
    }
    return nullptr;
}

}  // namespace

class UpdateCheckHostTest : public QObject {
    Q_OBJECT

    std::optional<int> exitCode_;

    // A program folder whose Update.ini points at the server and names the installed version.
    static std::unique_ptr<TestHome> Install(const LoopbackHttpServer& server) {
        return std::make_unique<TestHome>("iniurl=" + server.Url() + "\n[MAINVER]\nmainver=1.0\n");
    }

    std::unique_ptr<tarnel::UpdateCheckHost> StartHost(QWidget* window) {
        exitCode_.reset();
        auto host = std::make_unique<tarnel::UpdateCheckHost>(
            window, tarnel::UpdateCheckHostOptions{
                        .limit = 300ms, .exitProgram = [this](int code) { exitCode_ = code; }});
        host->Start();
        return host;
    }

  private slots:
    void newVersionStartsTheUpdaterAndEndsWithZero() {
        LoopbackHttpServer server({LoopbackHttpServer::Ok("[MAINVER]\nmainver=1.01\n")});
        const auto home = Install(server);
        // The updater stand-in writes its own process id, then ends.
        const std::string marker = (home->Folder() / "updater.pid").string();
        std::ofstream(home->ProgramFolder() / "Updater")
            << "#!/bin/sh\necho $$ > '" << marker << ".part'\nmv '" << marker << ".part' '"
            << marker << "'\n";
        std::filesystem::permissions(home->ProgramFolder() / "Updater",
                                     std::filesystem::perms::owner_all);
        QWidget window;
        auto host = StartHost(&window);
        QTRY_VERIFY_WITH_TIMEOUT(exitCode_.has_value(), kWait);
        QCOMPARE(*exitCode_, 0);
        QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(marker), kWait);
        std::string pid;
        std::ifstream(marker) >> pid;
        // Reaped, not left a zombie.
        QTRY_VERIFY_WITH_TIMEOUT(!std::filesystem::exists("/proc/" + pid), kWait);
        QVERIFY(std::filesystem::exists(home->Folder() / "cache/tarnel/Updater.ini"));
        QVERIFY(ShownBox() == nullptr);
    }

    // The cut download's box first, its caption the socket layer's; the missing updater's only
    // after it is closed, and the program stays.
    void messagesComeOneAfterTheOther() {
        LoopbackHttpServer server(
            {LoopbackHttpServer::Ok("[MAINVER]\r\nmainver=9.0 and more", 20)});
        const auto home = Install(server);
        QWidget window;
        window.show();
        auto host = StartHost(&window);
        QTRY_VERIFY_WITH_TIMEOUT(ShownBox() != nullptr, kWait);
        QCOMPARE(ShownBox()->text(), QStringLiteral("服务器已经关闭连接."));
        QCOMPARE(ShownBox()->windowTitle(), QStringLiteral("错误"));
        QVERIFY(!ShownBox()->isModal());
        QTest::qWait(200);
        QCOMPARE(ShownBox()->text(), QStringLiteral("服务器已经关闭连接."));
        ShownBox()->accept();
        QTRY_VERIFY_WITH_TIMEOUT(ShownBox() != nullptr && ShownBox()->text().startsWith(
                                                              QStringLiteral("程序目录下缺少")),
                                 kWait);
        QVERIFY(!exitCode_.has_value());
    }
};

QTEST_MAIN(UpdateCheckHostTest)
#include "update_check_host_test.moc"
