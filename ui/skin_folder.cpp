#include "ui/skin_folder.h"

#include <QDir>
#include <QFile>

#include "platform/folders.h"

namespace tarnel {

QString ProgramFile(const QString& name) {
    const std::filesystem::path folder = ProgramFolder();
    if (folder.empty()) {
        return {};
    }
    return QDir(QFile::decodeName(folder.c_str())).filePath(name);
}

QString SkinFile(const QString& name) {
    if (QDir::isAbsolutePath(name)) {
        return name;
    }
    return ProgramFile(QStringLiteral("skin/home/") + name);
}

QString WindowIconFile() {
    return SkinFile(QStringLiteral("tarnel.ico"));
}

}  // namespace tarnel
