// The update check as the window presents it: a loopback server announces a version, the host
// starts the updater stand-in from the program folder (TARNEL_HOME) and ends the program with 0,
// or shows its messages one after the other while the program stays.
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <optional>

#include "client/app/update_check_host.h"
#include "tests/client_core/loopback_http_server.h"

using namespace std::chrono_literals;
using tarnel::test::LoopbackHttpServer;

namespace {

constexpr int kWait = 5000;

std::string Announce(const std::string& body, std::size_t sent) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
           body.substr(0, sent);
}

void WriteText(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

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

    std::unique_ptr<QTemporaryDir> program_;
    std::unique_ptr<QTemporaryDir> cache_;
    std::optional<int> exitCode_;

    // Update.ini in the program folder, pointing at the server, naming the installed version.
    void Install(const LoopbackHttpServer& server, const std::string& version, bool withUpdater) {
        WriteText(program_->filePath("Update.ini"),
                  "[MAINVER]\nmainver=" + version + "\n[URL]\niniurl=" + server.Url() + "\n");
        if (withUpdater) {
            const QString updater = program_->filePath("Updater");
            WriteText(updater,
                      "#!/bin/sh\ntouch '" + program_->filePath("updated").toStdString() + "'\n");
            QFile::setPermissions(updater, QFile::ReadOwner | QFile::ExeOwner);
        }
    }

    std::unique_ptr<tarnel::UpdateCheckHost> StartHost(QWidget* window) {
        auto host = std::make_unique<tarnel::UpdateCheckHost>(
            window, tarnel::UpdateCheckHostOptions{
                        .limit = 300ms, .exitProgram = [this](int code) { exitCode_ = code; }});
        host->Start();
        return host;
    }

  private slots:
    void init() {
        program_ = std::make_unique<QTemporaryDir>();
        cache_ = std::make_unique<QTemporaryDir>();
        qputenv("TARNEL_HOME", program_->path().toLocal8Bit());
        qputenv("XDG_CACHE_HOME", cache_->path().toLocal8Bit());
        exitCode_.reset();
    }

    void newVersionStartsTheUpdaterAndEndsWithZero() {
        LoopbackHttpServer server({Announce("[MAINVER]\nmainver=1.01\n", 100)});
        Install(server, "1.0", true);
        QWidget window;
        auto host = StartHost(&window);
        QTRY_VERIFY_WITH_TIMEOUT(exitCode_.has_value(), kWait);
        QCOMPARE(*exitCode_, 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(program_->filePath("updated")), kWait);
        QVERIFY(QFile::exists(cache_->filePath("tarnel/Updater.ini")));
        QVERIFY(ShownBox() == nullptr);
    }

    // The cut download's box first, its caption the socket layer's; the missing updater's only
    // after it is closed, and the program stays.
    void messagesComeOneAfterTheOther() {
        const std::string body = "[MAINVER]\r\nmainver=9.0 and more";
        LoopbackHttpServer server({Announce(body, 20)});
        Install(server, "1.0", false);
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
