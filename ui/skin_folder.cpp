#include "ui/skin_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tarnel {

QString ProgramFolder() {
    const QString home = qEnvironmentVariable("TARNEL_HOME");
    if (!home.isEmpty()) {
        return QFileInfo(home).absoluteFilePath();
    }
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath();
    }
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
}

QString SkinFile(const QString& name) {
    if (QDir::isAbsolutePath(name)) {
        return name;
    }
    return QDir(ProgramFolder()).filePath(QStringLiteral("skin/home/") + name);
}

QString WindowIconFile() {
    return SkinFile(QStringLiteral("tarnel.ico"));
}

}  // namespace tarnel
