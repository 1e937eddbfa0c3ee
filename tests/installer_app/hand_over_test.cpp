// Two copies of the installer: real tarnelInstall processes hand paths to each other, also over
// a socket a crashed copy left, and the socket stays in a folder of the user's own.
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "installer/app/hand_over.h"
#include "tests/installer_app/window_test_support.h"

using namespace tarnel;

namespace {

constexpr int kLongWait = 60000;

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

  private slots:
    void initTestCase() {
        const std::filesystem::path folder = packages_.path().toStdString();
        for (const char* stem : {"first", "other"}) {
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

    void aPathIsHandedOverAlsoOverASocketACrashedCopyLeft() {
        QProcess& crashed = Start({});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(SocketPath()), kLongWait);
        crashed.kill();
        crashed.waitForFinished();
        QVERIFY(QFileInfo::exists(SocketPath()));
        QProcess& next = Start({packages_.filePath("first.apk")});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(IconOf("first")), kLongWait);
        QCOMPARE(next.state(), QProcess::Running);
        // A path relative to the later copy's own folder, which the running copy does not share.
        QProcess& later = Start({"other.apk"}, packages_.path());
        QVERIFY(later.waitForFinished(kLongWait));
        QCOMPARE(later.exitStatus(), QProcess::NormalExit);
        QCOMPARE(later.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(IconOf("other")), kLongWait);
        QCOMPARE(next.state(), QProcess::Running);
    }

    // Without a session folder the socket goes in a folder of this user's alone, never straight
    // into the shared temporary folder where another user could take the name first.
    void withoutASessionFolderOnlyAPrivateFolderIsUsed_data() {
        QTest::addColumn<QString>("existing");
        QTest::addColumn<bool>("used");
        QTest::newRow("made on first use") << QString() << true;
        QTest::newRow("already there, private") << QStringLiteral("0700") << true;
        QTest::newRow("open to others") << QStringLiteral("0755") << false;
        QTest::newRow("a link to a private folder") << QStringLiteral("link") << false;
        QTest::newRow("a file") << QStringLiteral("file") << false;
    }
    void withoutASessionFolderOnlyAPrivateFolderIsUsed() {
        QFETCH(QString, existing);
        QFETCH(bool, used);
        const QByteArray savedTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(session_->path()));
        qunsetenv("XDG_RUNTIME_DIR");
        const QString folder = session_->filePath("tarnel-" + QString::number(::getuid()));
        const QByteArray name = QFile::encodeName(folder);
        if (existing == "0700" || existing == "0755") {
            QCOMPARE(::mkdir(name.constData(), existing == "0700" ? 0700 : 0755), 0);
            QCOMPARE(::chmod(name.constData(), existing == "0700" ? 0700 : 0755), 0);
        } else if (existing == "link") {
            QVERIFY(QDir(session_->path()).mkdir("elsewhere"));
            QVERIFY(QFile::setPermissions(session_->filePath("elsewhere"),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            QVERIFY(QFile::link(session_->filePath("elsewhere"), folder));
        } else if (existing == "file") {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString socket = HandOverSocketPath();
        HandOverServer server;
        const bool listening = server.Listen();
        qputenv("TMPDIR", savedTmp);
        QCOMPARE(listening, used);
        QCOMPARE(socket.isEmpty(), !used);
        if (used) {
            QCOMPARE(QFileInfo(socket).absolutePath(), folder);
            struct stat info {};
            QCOMPARE(::lstat(name.constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, 0700u);
        }
    }
};

int main(int argc, char** argv) {
    return test::RunWindowTests<HandOverTest>(argc, argv);
}

#include "hand_over_test.moc"
