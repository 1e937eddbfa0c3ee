// Two copies of the installer: real tarnelInstall processes hand paths to each other, and the
// running copy's end of the socket takes only well-formed paths.
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QtEndian>

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "installer/app/hand_over.h"
#include "tests/installer_app/window_test_support.h"

using namespace tarnel;

namespace {

constexpr int kLongWait = 60000;

QByteArray Message(const QByteArray& path) {
    QByteArray header(4, '\0');
    qToBigEndian(static_cast<quint32>(path.size()), header.data());
    return header + path;
}

}  // namespace

class HandOverTest : public QObject {
    Q_OBJECT

    QTemporaryDir packages_;
    std::unique_ptr<QTemporaryDir> session_;
    std::vector<std::unique_ptr<QProcess>> copies_;

    QString SocketPath() const {
        return session_->filePath("run/tarnelInstall-") + QString::number(::getuid());
    }
    // The icon copy a copy makes when it has loaded an APK of BuildTestApk.
    QString IconOf(const QString& stem) const {
        return session_->filePath("cache/tarnel/tmp/com.example." + stem + "1.0.png");
    }
    QString Apk(const QString& stem) const { return packages_.filePath(stem + ".apk"); }

    QProcess& Start(const QStringList& arguments, const QString& folder = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", session_->filePath("run"));
        environment.insert("XDG_CACHE_HOME", session_->filePath("cache"));
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(folder.isEmpty() ? session_->path() : folder);
        process->start(QStringLiteral(TARNEL_INSTALL_PROGRAM), arguments);
        process->waitForStarted();
        copies_.push_back(std::move(process));
        return *copies_.back();
    }

    QProcess& StartListening(const QStringList& arguments = {}) {
        QProcess& first = Start(arguments);
        [&] { QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(SocketPath()), kLongWait); }();
        return first;
    }

  private slots:
    void initTestCase() {
        const std::filesystem::path folder = packages_.path().toStdString();
        for (const char* stem : {"first", "handed", "other", "third"}) {
            test::BuildTestApk(folder, stem, std::string("游戏 ") + stem);
        }
    }

    void init() {
        session_ = std::make_unique<QTemporaryDir>();
        QDir(session_->path()).mkpath("run");
        QFile::setPermissions(session_->filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(session_->filePath("run")));
    }

    void cleanup() {
        for (auto& copy : copies_) {
            copy->kill();
            copy->waitForFinished();
        }
        copies_.clear();
        session_.reset();
    }

    void aSecondCopyWithAPathHandsItOverAndEnds() {
        QProcess& first = StartListening();
        // Relative to the second copy's own folder, which the running copy does not share.
        QProcess& second = Start({"handed.apk"}, packages_.path());
        QVERIFY(second.waitForFinished(kLongWait));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(IconOf("handed")), kLongWait);
        QCOMPARE(first.state(), QProcess::Running);
    }

    void aSecondCopyWithoutAPathEndsSilently() {
        QProcess& first = StartListening({Apk("first")});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(IconOf("first")), kLongWait);
        QProcess& second = Start({});
        QVERIFY(second.waitForFinished(kLongWait));
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
    }

    void anOverLongPathIsRefused() {
        QProcess& first = StartListening();
        QProcess& second = Start({"/" + QString(5000, 'a') + ".apk"});
        QVERIFY(second.waitForFinished(kLongWait));
        QCOMPARE(second.exitCode(), 2);
        QVERIFY(second.readAllStandardError().contains("4096"));
        QCOMPARE(first.state(), QProcess::Running);
    }

    void aSocketLeftByACrashedCopyIsTakenOver() {
        QProcess& crashed = StartListening();
        crashed.kill();
        crashed.waitForFinished();
        QVERIFY(QFileInfo::exists(SocketPath()));
        QProcess& next = Start({Apk("first")});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(IconOf("first")), kLongWait);
        QCOMPARE(next.state(), QProcess::Running);
        QProcess& later = Start({Apk("other")});
        QVERIFY(later.waitForFinished(kLongWait));
        QCOMPARE(later.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(IconOf("other")), kLongWait);
    }

    void copiesStartedTogetherLeaveOneWindowWithEveryPackageHandedToIt() {
        const QStringList stems = {"first", "other", "third"};
        for (const QString& stem : stems) {
            // --verbose: each copy names the packages it reads with aapt.
            Start({"--verbose", Apk(stem)});
        }
        const auto running = [&] {
            return std::count_if(copies_.begin(), copies_.end(), [](const auto& copy) {
                return copy->state() == QProcess::Running;
            });
        };
        QTRY_COMPARE_WITH_TIMEOUT(running(), 1, kLongWait);
        QByteArray windowLog;
        for (const auto& copy : copies_) {
            if (copy->state() == QProcess::NotRunning) {
                QCOMPARE(copy->exitCode(), 0);
            }
        }
        QProcess& window = **std::find_if(copies_.begin(), copies_.end(), [](const auto& copy) {
            return copy->state() == QProcess::Running;
        });
        // Every package reached the one window.
        for (const QString& stem : stems) {
            QTRY_VERIFY_WITH_TIMEOUT(
                (windowLog += window.readAllStandardError()).contains(QFile::encodeName(Apk(stem))),
                kLongWait);
        }
    }

    void theRunningCopyTakesOnlyWellFormedPaths_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("taken");
        const QByteArray longest = "/" + QByteArray(4095, 'a');
        QByteArray beyondAnyPath(4, '\xff');
        beyondAnyPath += "/a";
        QTest::newRow("a path") << Message("/games/星落.tpk") << QByteArray("1")
                                << QByteArray("/games/星落.tpk");
        QTest::newRow("the longest path") << Message(longest) << QByteArray("1") << longest;
        QTest::newRow("one byte too long")
            << Message(longest + "a") << QByteArray("0") << QByteArray();
        QTest::newRow("empty") << Message("") << QByteArray("0") << QByteArray();
        QTest::newRow("a NUL byte")
            << Message(QByteArray("/a\0b.apk", 8)) << QByteArray("0") << QByteArray();
        QTest::newRow("a length beyond any path")
            << beyondAnyPath << QByteArray("0") << QByteArray();
    }
    void theRunningCopyTakesOnlyWellFormedPaths() {
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, taken);
        HandOverServer server;
        QVERIFY(server.Listen());
        QList<QByteArray> handed;
        server.DeliverTo([&](const QByteArray& path) { handed.push_back(path); });
        QLocalSocket client;
        client.connectToServer(HandOverSocketPath());
        QVERIFY(client.waitForConnected(5000));
        client.write(message);
        QTRY_VERIFY(client.bytesAvailable() > 0);
        QCOMPARE(client.readAll(), answer);
        QTRY_COMPARE(client.state(), QLocalSocket::UnconnectedState);
        QTest::qWait(50);
        QCOMPARE(handed, taken.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{taken});
    }

    void aPathSentInPiecesIsPutTogether() {
        HandOverServer server;
        QVERIFY(server.Listen());
        QList<QByteArray> handed;
        server.DeliverTo([&](const QByteArray& path) { handed.push_back(path); });
        QLocalSocket client;
        client.connectToServer(HandOverSocketPath());
        QVERIFY(client.waitForConnected(5000));
        const QByteArray message = Message("/games/a long name.tpk");
        for (qsizetype at = 0; at < message.size(); at += 3) {
            client.write(message.mid(at, 3));
            client.flush();
            QTest::qWait(5);
        }
        QTRY_COMPARE(handed, QList<QByteArray>{"/games/a long name.tpk"});
        QCOMPARE(client.readAll(), QByteArray("1"));
    }

    void pathsTakenBeforeTheWindowIsReadyWaitForIt() {
        HandOverServer server;
        QVERIFY(server.Listen());
        for (const QByteArray& path : {QByteArray("/games/a.tpk"), QByteArray("/games/b.apk")}) {
            QLocalSocket client;
            client.connectToServer(HandOverSocketPath());
            QVERIFY(client.waitForConnected(5000));
            client.write(Message(path));
            QTRY_VERIFY(client.bytesAvailable() > 0);
            QCOMPARE(client.readAll(), QByteArray("1"));
        }
        QList<QByteArray> handed;
        server.DeliverTo([&](const QByteArray& path) { handed.push_back(path); });
        QTRY_COMPARE(handed, (QList<QByteArray>{"/games/a.tpk", "/games/b.apk"}));
    }
};

int main(int argc, char** argv) {
    return test::RunWindowTests<HandOverTest>(argc, argv);
}

#include "hand_over_test.moc"
