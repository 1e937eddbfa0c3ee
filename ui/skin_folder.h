#pragma once

#include <QString>

namespace tarnel {

// The folder the programs ship in: $TARNEL_HOME when set, else the folder of the running
// executable. Never the current directory.
QString ProgramFolder();

// Absolute path of a picture in the skin folder (skin/home/ under the program folder); an absolute
// path is kept as it is.
QString SkinFile(const QString& name);

// The window and notification-area icon.
QString WindowIconFile();

}  // namespace tarnel
