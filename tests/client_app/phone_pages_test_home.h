#pragma once

#include <QTemporaryDir>

#include <filesystem>

namespace tarnel::test {

// The folders a client window test runs in, set before the application starts: a program folder
// with the committed skin, a vendor host on a closed loopback port (no test reaches the
// network) and a stand-in tarnelInstall that writes its arguments down; its own cache, settings
// and run-time folders; the real adb.
class PhonePagesTestHome {
  public:
    PhonePagesTestHome();

    std::filesystem::path Folder() const { return folder_.path().toStdString(); }
    std::filesystem::path ProgramFolder() const { return Folder() / "home"; }
    // One line per start of the stand-in installer: its argument count, a tab, its arguments.
    std::filesystem::path InstallerLog() const { return Folder() / "installer.log"; }

  private:
    QTemporaryDir folder_;
};

}  // namespace tarnel::test
