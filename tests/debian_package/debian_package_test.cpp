// The .deb as a user gets it: extracted into a temporary root, its programs run from there, its
// desktop files checked by the desktop's own validators and tools.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "platform/process_runner.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"

namespace tarnel {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

RunResult RunTool(const std::vector<std::string>& argv) {
    return RunProcess(argv, {.timeLimit = std::chrono::seconds(60)});
}

// Every program the package carries and starts from the menu or a terminal.
std::vector<std::string> Programs() {
    if (TARNEL_WITH_CLIENT)
        return {"tarnelInstall", "tarnel"};
    return {"tarnelInstall"};
}

class DebianPackageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = test::FreshTestFolder("deb");
        root = folder / "root";
        const RunResult extracted = RunTool({"dpkg-deb", "-x", TARNEL_PACKAGE_FILE, root.string()});
        ASSERT_EQ(extracted.exitStatus, 0) << extracted.output;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Field(const std::string& name) {
        return RunTool({"dpkg-deb", "-f", TARNEL_PACKAGE_FILE, name}).output;
    }
    // A clean environment for a user whose home is under the test folder and whose system data
    // folders hold only dataDirs: nothing installed on this machine can answer for the package.
    // A UTF-8 locale, as a desktop session has: the tools choke on the file name without one.
    std::vector<std::string> UserEnvironment(const fs::path& dataDirs) const {
        return {"env",
                "-i",
                "PATH=/usr/bin:/bin",
                "LANG=C.UTF-8",
                "HOME=" + (folder / "home").string(),
                "XDG_DATA_DIRS=" + dataDirs.string()};
    }

    fs::path folder;
    fs::path root;
};

TEST_F(DebianPackageTest, DependsNamesTheToolsAndTheComputedLibraries) {
    const std::string depends = Field("Depends");
    EXPECT_THAT(depends, HasSubstr("adb, aapt"));
    EXPECT_THAT(depends, HasSubstr("libqt6widgets6"));  // from shlibdeps
}

// Run through their links in bin/, the programs find their folder (aapt in its tools/ is taken
// before PATH's); the simulator and the package maker stay out.
TEST_F(DebianPackageTest, ProgramsRunFromTheExtractedTree) {
    for (const std::string& program : Programs()) {
        EXPECT_EQ(RunTool({(root / "usr/bin" / program).string(), "--version"}).output,
                  program + " " TARNEL_VERSION "\n");
    }
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name != "tarnel-phonesim" && name != "tarnel-mkpackage") << entry.path();
    }
    EXPECT_TRUE(fs::exists(root / "usr/share/icons/hicolor/256x256/apps/tarnel.png"));
    EXPECT_TRUE(fs::is_regular_file(root / "usr/lib/tarnel/skin/home/tarnel.ico"));
    EXPECT_TRUE(fs::is_regular_file(root / "usr/lib/tarnel/Update.ini"));

    test::ApkContents contents;
    contents.packageName = "com.example.packaged";
    contents.label = "打包测试";
    const fs::path apk = folder / "packaged game.apk";
    test::BuildApk(contents, apk);
    const fs::path tools = root / "usr/lib/tarnel/tools";
    fs::create_directories(tools);
    fs::create_symlink(FindTool("aapt", "TARNEL_AAPT"), tools / "aapt");
    const RunResult info =
        RunTool({(root / "usr/bin/tarnelInstall").string(), "--verbose", "--info", apk.string()});
    ASSERT_EQ(info.exitStatus, 0) << info.output;
    EXPECT_THAT(info.output, HasSubstr("run: " + (tools / "aapt").string() + " "));
    EXPECT_THAT(info.output, HasSubstr("打包测试"));
}

TEST_F(DebianPackageTest, DesktopEntriesAndMetadataPassTheirValidators) {
    for (const std::string& program : Programs()) {
        const fs::path entry = root / "usr/share/applications" / (program + ".desktop");
        const RunResult checked = RunTool({"desktop-file-validate", entry.string()});
        EXPECT_EQ(checked.exitStatus, 0) << checked.output;
        EXPECT_EQ(checked.output, "") << entry;
    }
    const fs::path metainfo = root / "usr/share/metainfo/com.tarnel.tarnel.metainfo.xml";
    ASSERT_EQ(fs::exists(metainfo), TARNEL_WITH_CLIENT == 1);
    if (TARNEL_WITH_CLIENT) {
        const RunResult checked =
            RunTool({"appstreamcli", "validate", "--no-net", metainfo.string()});
        EXPECT_EQ(checked.exitStatus, 0) << checked.output;
    }
}

TEST_F(DebianPackageTest, EveryPackageFileIsOfItsTypeAndOpensInTheInstaller) {
    // The user's MIME database is built from a copy of the package's, the system's desktop
    // entries are the package's: as the triggers of a real install would leave them.
    const fs::path userMime = folder / "home/.local/share/mime";
    const fs::path dataDirs = folder / "system";
    fs::create_directories(userMime.parent_path());
    fs::create_directories(dataDirs);
    fs::copy(root / "usr/share/mime", userMime, fs::copy_options::recursive);
    // The system's own types beside them, as on every desktop: .apk's and zip's.
    fs::copy("/usr/share/mime/packages/freedesktop.org.xml", userMime / "packages");
    fs::copy(root / "usr/share/applications", dataDirs / "applications",
             fs::copy_options::recursive);
    auto with = [&](std::vector<std::string> command) {
        std::vector<std::string> argv = UserEnvironment(dataDirs);
        argv.insert(argv.end(), command.begin(), command.end());
        return RunTool(argv);
    };
    ASSERT_EQ(with({"update-mime-database", userMime.string()}).exitStatus, 0);
    ASSERT_EQ(with({"update-desktop-database", (dataDirs / "applications").string()}).exitStatus,
              0);

    for (const std::string type : {"vnd.android.package-archive apk", "x-tarnel-tpk tpk",
                                   "x-xapk xapk", "x-apks apks", "x-apkm apkm"}) {
        const size_t space = type.find(' ');
        const fs::path game = folder / ("home/游戏 one." + type.substr(space + 1));
        std::ofstream(game) << "PK\x03\x04";
        const std::string name = "application/" + type.substr(0, space);
        EXPECT_EQ(with({"xdg-mime", "query", "filetype", game.string()}).output, name + "\n");
        EXPECT_EQ(with({"xdg-mime", "query", "default", name}).output, "tarnelInstall.desktop\n")
            << name;
    }
}

}  // namespace
}  // namespace tarnel
