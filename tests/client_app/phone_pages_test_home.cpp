#include "tests/client_app/phone_pages_test_home.h"

#include <QDir>
#include <QFile>

namespace tarnel::test {

PhonePagesTestHome::PhonePagesTestHome() {
    const QDir folder(folder_.path());
    folder.mkpath(QStringLiteral("home"));
    QFile::link(QStringLiteral(TARNEL_SOURCE_DIR "/skin"), folder.filePath("home/skin"));
    QFile settings(folder.filePath("home/Update.ini"));
    settings.open(QIODevice::WriteOnly);
    // Port 9 (discard) has no listener on a test machine: the vendor page fails at once.
    settings.write("[URL]\nwebhost=127.0.0.1:9\n");
    settings.close();
    QFile installer(folder.filePath("home/tarnelInstall"));
    installer.open(QIODevice::WriteOnly);
    installer.write(QStringLiteral("#!/bin/sh\nprintf '%s\\t%s\\n' \"$#\" \"$*\" >> '%1'\n")
                        .arg(QString::fromStdString(InstallerLog().string()))
                        .toUtf8());
    installer.close();
    installer.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    folder.mkpath(QStringLiteral("run"));
    QFile::setPermissions(folder.filePath("run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TARNEL_HOME", QFile::encodeName(folder.filePath("home")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.filePath("cache")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder.filePath("config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder.filePath("run")));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace tarnel::test
