// Installations end to end: the flow, the real adb and the simulated phone.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <sys/stat.h>

#include "installer/flow/phone_data.h"
#include "tests/flow_e2e/flow_on_phone.h"

namespace tarnel::test {
namespace {

ino_t Inode(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class InstallTest : public FlowOnPhone {
  protected:
    std::filesystem::path MakePackage(const std::function<void(GamePackage&)>& edit = {}) {
        return Place("my games", "nova.tpk", "main.obb", edit);
    }
    bool NoUnpackFolderLeft() const {
        return !std::filesystem::exists(phone->WorkFolder() / "my games" / "~nova");
    }
};

// A game package's steps, each said, are tarnelInstall --no-gui's (installer_cli).
TEST_F(InstallTest, AnOldPhoneTakesTheLegacyPathsAndTheInternalMemory) {
    Start({{"features", "legacy"}, {"sdcard", false}});
    state->installToSdCard = 0;
    Install(MakePackage());
    EXPECT_EQ(view.lastStatus, kInstalled);
    EXPECT_EQ(ReadFile(GameData() / "levels" / "1.txt"), "level one");
    flow.reset();
    // Nothing of the package is left among the work files once the window is gone.
    EXPECT_TRUE(std::filesystem::is_empty(phone->WorkFolder() / "cache" / "tarnel" / "tmp"));
}

// Android 10 on knows no SD-card option: the app goes where the phone puts it.
TEST_F(InstallTest, AnAndroid11PhoneInstallsWhereItChooses) {
    Start({{"release", "11"}});
    Install(MakePackage());
    EXPECT_EQ(view.lastStatus, kInstalled);
    EXPECT_TRUE(std::filesystem::exists(
        phone->HostPath(std::string("/data/app/") + kGame + "-1/base.apk")));
    EXPECT_EQ(ReadFile(GameData() / "levels" / "1.txt"), "level one");
}

// Without a phone nothing starts: tarnelInstall --no-gui's exit codes (installer_cli).
TEST_F(InstallTest, APhoneWaitingForTheUserGetsAHint) {
    Start({{"refuseHandshake", true}});
    flow->StartDeviceCheck();
    view.RunUntil([&] { return !view.lastStatus.empty(); });
    EXPECT_EQ(view.lastStatus, "请在手机上允许USB调试");
}

// A full phone, and one that goes away mid-push: nothing installed, the window free again.
TEST_F(InstallTest, AFailedUploadInstallsNothingAndKeepsNothing) {
    for (const auto& [key, value] : {std::pair{"capacity", 100000}, {"dropAfterBytes", 150000}}) {
        Start({{key, value}});
        Install(MakePackage());
        EXPECT_EQ(view.lastStatus, "上传失败，可能空间不足。") << key;
        EXPECT_FALSE(Listed()) << key;
        // A phone that went away keeps whatever part reached it.
        EXPECT_TRUE(key == std::string("dropAfterBytes") || !std::filesystem::exists(GameData()));
        EXPECT_TRUE(NoUnpackFolderLeft()) << key;
        EXPECT_EQ(view.effects.back(), "install button: on") << key;
        flow.reset();
        phone.reset();
    }
}

// Installing again sends only the files the phone does not hold byte for byte (the files not
// added stay as they were): a file sent again is a new file on the phone (the phone writes it
// beside the old one and renames it).
TEST_F(InstallTest, AnotherInstallSendsOnlyWhatChanged) {
    const struct {
        const char* name;
        std::function<void(GamePackage&)> edit;
        std::vector<std::string> sent;  // below the game's folder
    } cases[] = {
        // Same size, same time in the package: only the content tells.
        {"one byte changed",
         [&](GamePackage& p) { p.dataFiles[0].second[1000] = 'x'; },
         {"main.obb"}},
        {"a file added",
         [&](GamePackage& p) {
             p.dataFiles.push_back({ObbEntry("levels/2.txt"), "level two"});
         },
         {"levels/2.txt"}},
    };
    for (const auto& row : cases) {
        Start();
        Install(MakePackage());
        std::map<std::string, ino_t> before;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(GameData())) {
            if (entry.is_regular_file())
                before[entry.path().lexically_relative(GameData()).string()] = Inode(entry.path());
        }
        view.effects.clear();
        GamePackage second;
        const auto path = MakePackage([&](GamePackage& p) {
            row.edit(p);
            second = p;
        });
        Install(path);
        EXPECT_EQ(view.lastStatus, kInstalled) << row.name;
        // The SD card, chosen by default, is adb's -s.
        EXPECT_TRUE(std::filesystem::exists(
            phone->HostPath(std::string("/mnt/asec/") + kGame + "-1/base.apk")))
            << row.name;
        // Skipped data counts as done: the bar reaches its end, and starts near it when the
        // large file stays on the phone.
        EXPECT_TRUE(view.Has("progress: 100")) << row.name;
        const bool largeFileSkipped =
            std::find(row.sent.begin(), row.sent.end(), "main.obb") == row.sent.end();
        const auto uploading =
            std::find(view.effects.begin(), view.effects.end(), "status: 正在上传数据包...");
        for (auto it = largeFileSkipped ? uploading : view.effects.end(); it != view.effects.end();
             ++it) {
            if (it->starts_with("progress: ") && *it != "progress: -1") {
                EXPECT_GE(std::stoi(it->substr(10)), 90) << row.name;
            }
        }
        std::vector<std::string> sent;
        for (const auto& [name, content] : second.dataFiles) {
            const std::string below = name.substr(ObbEntry("").size());
            EXPECT_TRUE(ReadFile(GameData() / below) == content) << row.name << ": " << below;
            if (!before.contains(below) || before[below] != Inode(GameData() / below))
                sent.push_back(below);
        }
        EXPECT_EQ(sent, row.sent) << row.name;
        // Nothing else is left on the phone, such as a copy half written.
        EXPECT_EQ(std::count_if(std::filesystem::recursive_directory_iterator(GameData()), {},
                                [](const auto& entry) { return entry.is_regular_file(); }),
                  std::ssize(second.dataFiles))
            << row.name;
        flow.reset();
        phone.reset();
    }
}

// A file of 4 GiB and more, the same on the phone, is left alone where adb lists and compares its
// size whole (ls_v2, stat_v2). Without them adb sees only the low 32 bits and sends the file
// again, so it is kept aside first (sparse files: nothing moves).
TEST_F(InstallTest, AHugeFileIsReplacedOnlyWhereAdbSendsItAgain) {
    for (const auto& [features, replaced] : {std::pair{"modern", false}, {"legacy", true}}) {
        Start({{"features", features}});
        const std::filesystem::path local = phone->WorkFolder() / "android" / "obb" / kGame;
        const auto time =
            std::chrono::floor<std::chrono::seconds>(std::filesystem::file_time_type::clock::now());
        for (const auto& file : {local / "big.obb", GameData() / "big.obb"}) {
            std::filesystem::create_directories(file.parent_path());
            WriteFile(file, "");
            std::filesystem::resize_file(file, (std::uintmax_t{1} << 32) + 10);
            std::filesystem::last_write_time(file, time);
        }
        EXPECT_EQ(PlanPhoneData(state->bridge, phone->WorkFolder() / "android").replaced.size(),
                  replaced ? 1u : 0u)
            << features;
        flow.reset();
        phone.reset();
    }
}

// A damaged entry is found while unpacking: refused before the upload. Every check result and its
// words are in the package verify table.
TEST_F(InstallTest, ADamagedPackageIsNeverUploaded) {
    Start();
    const auto path = MakePackage([](GamePackage& p) { p.options.stored = true; });
    std::string bytes = ReadFile(path);
    bytes[bytes.find(std::string(1000, 'n')) + 500] = 'X';
    WriteFile(path, bytes);
    Install(path);
    EXPECT_TRUE(view.Has("box: tpk解压缩失败！"));
    EXPECT_TRUE(NoUnpackFolderLeft());
    EXPECT_FALSE(std::filesystem::exists(GameData()));
    EXPECT_EQ(view.effects.back(), "install button: on");
    EXPECT_FALSE(Listed());
}

// Both forms adb prints a failure in, through the real adb, and a code without words of its own;
// the code-to-words table itself is the flow's. An SD card is asked for unless the internal memory
// is chosen.
TEST_F(InstallTest, AFailedInstallSaysWhyAndRemovesTheData) {
    const struct {
        Scenario phone;
        const char* status;
    } cases[] = {
        {{{"installResult", "INSTALL_FAILED_ALREADY_EXISTS"}, {"installResultForm", "old"}},
         "安装失败：程序已经存在。"},
        {{{"installResult", "INSTALL_FAILED_INTERNAL_ERROR"}, {"installResultForm", "modern"}},
         "安装失败：系统问题导致安装失败。"},
        {{{"installResult", "INSTALL_FAILED_VERSION_DOWNGRADE"}, {"installResultForm", "modern"}},
         "安装失败：未知错误。"},
        {{{"sdcard", false}}, "安装失败：SD卡不存在。"},
    };
    for (const auto& row : cases) {
        Start(row.phone);
        Install(MakePackage());
        EXPECT_EQ(view.lastStatus, row.status);
        EXPECT_FALSE(std::filesystem::exists(GameData())) << row.status;
        EXPECT_TRUE(NoUnpackFolderLeft()) << row.status;
        flow.reset();
        phone.reset();
    }
}

}  // namespace
}  // namespace tarnel::test
