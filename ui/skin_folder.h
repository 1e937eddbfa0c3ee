#pragma once

#include <QString>

namespace tarnel {

// Absolute path of a file in the program folder (platform's ProgramFolder()); empty when the
// program folder is unknown, so nothing is looked up relative to the current directory.
QString ProgramFile(const QString& name);

// Absolute path of a picture in the skin folder (skin/home/ under the program folder); an absolute
// path is kept as it is.
QString SkinFile(const QString& name);

// The window and notification-area icon.
QString WindowIconFile();

}  // namespace tarnel
