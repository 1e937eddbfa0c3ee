#include "client/core/file_associations.h"

#include "client/core/desktop_entry.h"
#include "client/core/mimeapps_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/process_runner.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;

using test::ReadFile;
using test::WriteFile;

TEST(FileAssociations, ExecArgumentsComeBackWhole) {
    const char* paths[] = {
        "/opt/tarnel/tarnelInstall",
        "/home/li ming/Tarnel 安装/tarnelInstall",
        R"(/tmp/a"b`c$d\e/tarnelInstall)",
        "/tmp/100%/tarnelInstall",
    };
    for (const char* path : paths) {
        EXPECT_EQ(ExecProgram(QuoteExecArgument(path) + " %f"), path) << path;
    }
    EXPECT_EQ(ExecProgram("tarnelInstall %f"), "tarnelInstall");
    EXPECT_EQ(ExecProgram(""), "");
}

TEST(FileAssociations, DefaultsAreSetKeepingEveryOtherLine) {
    const std::vector<std::string> types = {kApkMimeType, kTpkMimeType};
    const std::string ours = "tarnelInstall.desktop";
    const struct {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"no file", "",
         "[Default Applications]\n"
         "application/vnd.android.package-archive=tarnelInstall.desktop;\n"
         "application/x-tarnel-tpk=tarnelInstall.desktop;\n"},
        {"other groups and defaults kept, ours first among the old",
         "# mine\r\n[Added Associations]\r\ntext/plain=vim.desktop;\r\n[Default Applications]\r\n"
         "text/html=firefox.desktop\r\n"
         "application/vnd.android.package-archive = "
         "apkinstaller.desktop;tarnelInstall.desktop;\r\n",
         "# mine\r\n[Added Associations]\r\ntext/plain=vim.desktop;\r\n[Default Applications]\r\n"
         "application/x-tarnel-tpk=tarnelInstall.desktop;\n"
         "text/html=firefox.desktop\r\n"
         "application/vnd.android.package-archive=tarnelInstall.desktop;apkinstaller.desktop;\r\n"},
        {"no line break at the end; a key of another group is not ours",
         "[Added Associations]\napplication/x-tarnel-tpk=other.desktop;",
         "[Added Associations]\napplication/x-tarnel-tpk=other.desktop;\n[Default Applications]\n"
         "application/vnd.android.package-archive=tarnelInstall.desktop;\n"
         "application/x-tarnel-tpk=tarnelInstall.desktop;\n"},
    };
    for (const auto& c : cases) {
        const std::string after = WithDefaultApplication(c.before, types, ours);
        EXPECT_EQ(after, c.after) << c.name;
        EXPECT_EQ(WithDefaultApplication(after, types, ours), after) << c.name << ": twice";
        EXPECT_EQ(DefaultApplication(after, kApkMimeType), ours) << c.name;
        EXPECT_EQ(DefaultApplication(after, kTpkMimeType), ours) << c.name;
    }
    EXPECT_EQ(
        DefaultApplication("[Default Applications]\ntext/html=;firefox.desktop\n", "text/html"),
        "firefox.desktop");
    EXPECT_EQ(DefaultApplication("[Added Associations]\ntext/html=a.desktop\n", "text/html"), "");
}

// A user's home with the real desktop tools: xdg-mime reads what the writer wrote.
class AssociationsInHome : public ::testing::Test {
  protected:
    void SetUp() override {
        // A program folder whose path needs quoting, with an installer that notes its arguments.
        folders_ = {.dataHome = home_ / ".local/share",
                    .configHome = home_ / ".config",
                    .systemDataDirs = {home_ / "system", "/usr/share"},
                    .programFolder = home_ / "Tarnel 安装 $dir"};
        WriteFile(folders_.programFolder / "tarnelInstall",
                  "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/arguments\"\n");
        fs::permissions(folders_.programFolder / "tarnelInstall", fs::perms::owner_all);
    }

    // A desktop tool, run in the user's session of this home.
    std::string Run(std::vector<std::string> command) const {
        std::vector<std::string> argv = {
            "env",
            "-u",
            "XDG_CURRENT_DESKTOP",
            "-u",
            "DESKTOP_SESSION",
            "HOME=" + home_.string(),
            "XDG_DATA_HOME=" + folders_.dataHome.string(),
            "XDG_CONFIG_HOME=" + folders_.configHome.string(),
            "XDG_DATA_DIRS=" + (home_ / "system").string() + ":/usr/share",
            "XDG_CONFIG_DIRS=" + (home_ / "etc").string()};
        argv.insert(argv.end(), command.begin(), command.end());
        const RunResult result = RunProcess(argv, {.timeLimit = std::chrono::seconds(60)});
        EXPECT_EQ(result.outcome, RunResult::Outcome::Finished) << command[0];
        std::string out = result.output;
        while (!out.empty() && out.back() == '\n')
            out.pop_back();
        return out;
    }

    fs::path Mimeapps() const { return folders_.configHome / "mimeapps.list"; }

    test::TestFolder home_folder_;
    const fs::path& home_ = home_folder_.Path();
    AssociationFolders folders_;
};

TEST_F(AssociationsInHome, TheDesktopOpensEveryPackageTypeWithTheInstaller) {
    WriteFile(Mimeapps(), "[Default Applications]\ntext/html=firefox.desktop\n");
    EXPECT_FALSE(IsAssociated(folders_));
    ASSERT_TRUE(RegisterFileAssociations(folders_, AssociationVariant::StartUp));
    EXPECT_TRUE(IsAssociated(folders_));
    EXPECT_NE(ReadFile(Mimeapps()).find("text/html=firefox.desktop\n"), std::string::npos);

    // Zip archives all, told apart by their names alone.
    const fs::path zip =
        fs::path(TARNEL_SOURCE_DIR) / "tests/data/zip/libzip-filename_duplicate.zip";
    fs::create_directories(home_ / "dl");
    // In the order of kInstallerMimeTypes; names in any case.
    const char* extensions[] = {".apk", ".tpk", ".xapk", ".APKS", ".apkm"};
    for (size_t i = 0; i < std::size(extensions); ++i) {
        const fs::path file = home_ / "dl" / (std::string("My Game") + extensions[i]);
        fs::copy_file(zip, file);
        const std::string type = kInstallerMimeTypes[i];
        EXPECT_EQ(Run({"xdg-mime", "query", "filetype", file.string()}), type);
        EXPECT_EQ(Run({"xdg-mime", "query", "default", type}), kInstallerDesktopEntry) << type;
    }
    const fs::path game = home_ / "dl" / "My Game.tpk";

    // The desktop starts the installer with the path whole, spaces and all.
    const fs::path entry = folders_.dataHome / "applications" / kInstallerDesktopEntry;
    EXPECT_EQ(Run({"desktop-file-validate", entry.string()}), "");
    Run({"gio", "launch", entry.string(), game.string()});
    const fs::path noted = folders_.programFolder / "arguments";
    for (int i = 0; i < 100 && !fs::exists(noted); ++i)
        ::usleep(50000);
    EXPECT_EQ(ReadFile(noted), game.string() + "\n");
}

TEST_F(AssociationsInHome, StartUpWritesOnlyWhatIsNotInPlace) {
    ASSERT_TRUE(RegisterFileAssociations(folders_, AssociationVariant::StartUp));
    const fs::path entry = folders_.dataHome / "applications" / kInstallerDesktopEntry;
    const auto written = fs::last_write_time(Mimeapps());
    // In place: the start-up variant writes nothing, the settings variant everything.
    fs::remove(entry);
    WriteFile(entry, DesktopEntryText(folders_.programFolder / "tarnelInstall"));
    ASSERT_TRUE(RegisterFileAssociations(folders_, AssociationVariant::StartUp));
    EXPECT_EQ(fs::last_write_time(Mimeapps()), written);

    // Another program takes .tpk over: the next start gives both back.
    WriteFile(Mimeapps(),
              "[Default Applications]\n"
              "application/vnd.android.package-archive=tarnelInstall.desktop;\n"
              "application/x-tarnel-tpk=ark.desktop;\n");
    EXPECT_FALSE(IsAssociated(folders_));
    ASSERT_TRUE(RegisterFileAssociations(folders_, AssociationVariant::StartUp));
    EXPECT_EQ(Run({"xdg-mime", "query", "default", kTpkMimeType}), kInstallerDesktopEntry);

    // A program folder without the installer gets no association that would open nothing.
    folders_.programFolder = home_ / "moved";
    EXPECT_FALSE(RegisterFileAssociations(folders_, AssociationVariant::Settings));
    EXPECT_EQ(DefaultApplication(ReadFile(Mimeapps()), kTpkMimeType), kInstallerDesktopEntry);
    // A program folder that moved leaves an entry that opens nothing: written again.
    fs::create_directories(folders_.programFolder);
    fs::create_symlink("/bin/true", folders_.programFolder / "tarnelInstall");
    EXPECT_FALSE(IsAssociated(folders_));
    ASSERT_TRUE(RegisterFileAssociations(folders_, AssociationVariant::StartUp));
    EXPECT_EQ(ExecProgram(ReadFile(entry).substr(ReadFile(entry).find("Exec=") + 5)),
              (home_ / "moved/tarnelInstall").string());
}

TEST_F(AssociationsInHome, AnInstalledCopyPointsTheDefaultsAtTheInstalledEntry) {
    const fs::path systemEntry = home_ / "system/applications" / kInstallerDesktopEntry;
    WriteFile(systemEntry, DesktopEntryText(folders_.programFolder / "tarnelInstall"));
    ASSERT_TRUE(RegisterFileAssociations(folders_, AssociationVariant::Settings));
    EXPECT_FALSE(fs::exists(folders_.dataHome / "applications" / kInstallerDesktopEntry));
    EXPECT_FALSE(fs::exists(folders_.dataHome / "mime"));
    EXPECT_TRUE(IsAssociated(folders_));
    EXPECT_EQ(Run({"xdg-mime", "query", "default", kApkMimeType}), kInstallerDesktopEntry);

    // A copy elsewhere (a build tree) is not that installation: it writes its own entry.
    folders_.programFolder = home_ / "build";
    fs::create_directories(folders_.programFolder);
    fs::create_symlink("/bin/true", folders_.programFolder / "tarnelInstall");
    EXPECT_FALSE(IsAssociated(folders_));
    ASSERT_TRUE(RegisterFileAssociations(folders_, AssociationVariant::StartUp));
    EXPECT_TRUE(fs::exists(folders_.dataHome / "applications" / kInstallerDesktopEntry));
}

}  // namespace
}  // namespace tarnel
