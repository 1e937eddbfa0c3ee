#pragma once

#include <filesystem>
#include <string>

namespace tarnel::test {

// The folders a window test runs in, set up before the application starts: a program folder with
// the committed skin and an Update.ini whose [URL] section is `urls` (no test reaches the
// network), and its own settings, cache, data and run-time folders, so the user's own files are
// never touched. TARNEL_ADB names no adb, so there is no phone, unless `keepAdb` and the
// environment already names one. Removed with everything in it at the end.
class TestHome {
  public:
    explicit TestHome(const std::string& urls, bool keepAdb = false);
    ~TestHome();
    TestHome(const TestHome&) = delete;
    TestHome& operator=(const TestHome&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    std::filesystem::path ProgramFolder() const { return folder_ / "home"; }

  private:
    std::filesystem::path folder_;
};

}  // namespace tarnel::test
