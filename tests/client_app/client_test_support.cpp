#include "tests/client_app/client_test_support.h"

#include <QDir>
#include <QFile>

namespace tarnel::test {

ClientTestHome::ClientTestHome() {
    const QDir folder(folder_.path());
    folder.mkpath(QStringLiteral("home"));
    QFile::link(QStringLiteral(TARNEL_SOURCE_DIR "/skin"), folder.filePath("home/skin"));
    // An installer for the file associations to name.
    QFile::link(QStringLiteral("/bin/true"), folder.filePath("home/tarnelInstall"));
    QFile settings(folder.filePath("home/Update.ini"));
    settings.open(QIODevice::WriteOnly);
    // Port 9 (discard) has no listener on a test machine: the vendor page fails at once.
    settings.write(QByteArray("[URL]\nwebhost=127.0.0.1:9\nweibourl=") + kTestMicroblog +
                   "\nqqgroupurl=" + kTestChatGroup + "\n");
    settings.close();
    folder.mkpath(QStringLiteral("run"));
    QFile::setPermissions(folder.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TARNEL_HOME", QFile::encodeName(folder.filePath("home")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.filePath("cache")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath("config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder.filePath("data")));
    qputenv("XDG_DATA_DIRS", "/usr/share");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.filePath("run")));
    if (qEnvironmentVariableIsEmpty("TARNEL_ADB")) {
        qputenv("TARNEL_ADB", "/nonexistent/adb");
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

std::filesystem::path ClientTestHome::SettingsFile() const {
    return ConfigHome() / "tarnel" / "tarnelUser.ini";
}

}  // namespace tarnel::test
