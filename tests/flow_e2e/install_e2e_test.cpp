// Installations end to end: the flow, the real adb and the simulated phone.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include "installer/flow/install_flow.h"
#include "installer/package/entry_times.h"
#include "installer/package/game_package_writer.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/flow/recording_view.h"
#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel {
namespace {

constexpr const char* kGame = "com.example.starfall";

ino_t Inode(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Every file below folder, sorted, as paths relative to it.
std::vector<std::string> FilesUnder(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_directory())
            files.push_back(entry.path().lexically_relative(folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

using test::ReadFile;

class InstallTest : public ::testing::Test {
  protected:
    void Start(const test::Scenario& scenario = test::Scenario::object(),
               test::PhonePresence presence = test::PhonePresence::Plugged) {
        phone = std::make_unique<test::SimulatedPhone>(scenario, presence);
        games = phone->WorkFolder() / "my games";
        std::filesystem::create_directories(games);
        ::setenv("XDG_CACHE_HOME", (phone->WorkFolder() / "cache").c_str(), 1);
        state = std::make_unique<InstallerState>();
        state->bridge.adbPath = FindTool("adb", "TARNEL_ADB");
        state->bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
        flow = std::make_unique<InstallFlow>(view, *state);
        test::ApkContents apk;
        apk.packageName = kGame;
        apk.label = "星落";
        test::BuildApk(apk, games / "starfall.apk");
    }

    // A game package with the real APK and a data tree; edit changes it before it is written.
    std::filesystem::path MakePackage(const std::function<void(GamePackage&)>& edit = {}) {
        GamePackage package;
        package.manifest.packageName = kGame;
        package.manifest.appName = "星落";
        package.apk = ReadFile(games / "starfall.apk");
        package.dataFiles = {
            {std::string("obb/") + kGame + "/main.1.obb", std::string(300000, 'o')},
            {std::string("obb/") + kGame + "/levels/1.txt", "level one"}};
        if (edit)
            edit(package);
        const auto path = games / "starfall.tpk";
        EXPECT_TRUE(WriteGamePackage(path, package));
        return path;
    }

    // Opens path and presses the install button; waits until the installation has ended.
    void Install(const std::filesystem::path& path) {
        flow->OpenPackage(path.string());
        view.RunUntil([&] { return state->loading == 0; });
        flow->PressInstallButton();
        view.RunUntil([&] { return state->busy == 0; });
    }

    std::filesystem::path GameData() const {
        return phone->HostPath(std::string("/sdcard/Android/obb/") + kGame);
    }
    bool Listed() const {
        return phone->Adb({"shell", "pm", "list", "package"}).out.find(kGame) != std::string::npos;
    }
    bool NoUnpackFolderLeft() const { return !std::filesystem::exists(games / "~starfall"); }

    test::RecordingView view;
    std::unique_ptr<test::SimulatedPhone> phone;
    std::unique_ptr<InstallerState> state;
    std::unique_ptr<InstallFlow> flow;
    std::filesystem::path games;
};

TEST_F(InstallTest, AnApkIsInstalled) {
    Start();
    Install(games / "starfall.apk");
    EXPECT_EQ(view.lastStatus, "已安装到手机");
    EXPECT_TRUE(Listed());
    EXPECT_EQ(state->readyToInstall, 0);
    EXPECT_TRUE(view.Has("button image: done"));
    EXPECT_FALSE(view.Has("WRONG THREAD"));
}

// A game package's steps, each said, are tarnelInstall --no-gui's (installer_cli).
TEST_F(InstallTest, AnOldPhoneTakesTheLegacyPathsAndTheInternalMemory) {
    Start({{"features", "legacy"}, {"sdcard", false}});
    state->installToSdCard = 0;
    Install(MakePackage());
    EXPECT_EQ(view.lastStatus, "已安装到手机");
    EXPECT_EQ(ReadFile(GameData() / "levels" / "1.txt"), "level one");
    flow.reset();
    // Nothing of the package is left among the work files once the window is gone.
    EXPECT_TRUE(std::filesystem::is_empty(phone->WorkFolder() / "cache" / "tarnel" / "tmp"));
}

TEST_F(InstallTest, TheSdCardIsAskedForUnlessInternalIsChosen) {
    Start({{"sdcard", false}});
    Install(games / "starfall.apk");
    EXPECT_EQ(view.lastStatus, "安装失败：SD卡不存在。");
}

// Without a phone nothing starts: tarnelInstall --no-gui's exit codes (installer_cli).
TEST_F(InstallTest, APhoneWaitingForTheUserGetsAHint) {
    Start({{"refuseHandshake", true}});
    flow->StartDeviceCheck();
    view.RunUntil([&] { return !view.lastStatus.empty(); });
    EXPECT_EQ(view.lastStatus, "请在手机上允许USB调试");
}

TEST_F(InstallTest, AFullPhoneStopsTheUploadAndKeepsNothing) {
    Start({{"capacity", 100000}});
    Install(MakePackage());
    EXPECT_EQ(view.lastStatus, "上传失败，可能空间不足。");
    EXPECT_FALSE(Listed());
    EXPECT_FALSE(std::filesystem::exists(GameData()));
    EXPECT_TRUE(NoUnpackFolderLeft());
    EXPECT_TRUE(view.Has("install button: on"));
}

TEST_F(InstallTest, APhoneThatDropsMidPushFailsTheUpload) {
    Start({{"dropAfterBytes", 150000}});
    Install(MakePackage());
    EXPECT_EQ(view.lastStatus, "上传失败，可能空间不足。");
    EXPECT_TRUE(NoUnpackFolderLeft());
    EXPECT_EQ(state->busy, 0);
}

// Installing again sends only the files the phone does not hold byte for byte: a file sent
// again is a new file on the phone (the phone writes it beside the old one and renames it).
TEST_F(InstallTest, AnotherInstallSendsOnlyWhatChanged) {
    const std::string obb = std::string("obb/") + kGame + "/";
    const struct {
        const char* name;
        std::function<void(GamePackage&)> edit;
        std::vector<std::string> sent;  // below the game's folder
    } cases[] = {
        {"the same package", {}, {}},
        {"one small file changed",
         [&](GamePackage& p) { p.dataFiles[1].second = "level one, harder"; },
         {"levels/1.txt"}},
        // Same size, same time in the package: only the content tells.
        {"one byte changed",
         [&](GamePackage& p) { p.dataFiles[0].second[1000] = 'x'; },
         {"main.1.obb"}},
        {"a file added",
         [&](GamePackage& p) {
             p.dataFiles.push_back({obb + "levels/2.txt", "level two"});
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
            if (row.edit)
                row.edit(p);
            second = p;
        });
        Install(path);
        EXPECT_EQ(view.lastStatus, "已安装到手机") << row.name;
        // Skipped data counts as done: the bar reaches its end, and starts near it when the
        // large file stays on the phone.
        EXPECT_TRUE(view.Has("progress: 100")) << row.name;
        const bool largeFileSkipped =
            std::find(row.sent.begin(), row.sent.end(), "main.1.obb") == row.sent.end();
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
            const std::string below = name.substr(obb.size());
            EXPECT_TRUE(ReadFile(GameData() / below) == content) << row.name << ": " << below;
            if (!before.contains(below) || before[below] != Inode(GameData() / below))
                sent.push_back(below);
        }
        EXPECT_EQ(sent, row.sent) << row.name;
        EXPECT_EQ(FilesUnder(GameData()).size(), second.dataFiles.size()) << row.name;
        flow.reset();
        phone.reset();
    }
}

// A failed update leaves the earlier version's data exactly as it was: what it changed is put
// back, what it added is gone, what it left alone was never touched.
TEST_F(InstallTest, AFailedUpdateLeavesTheEarlierData) {
    Start({{"installResult", "INSTALL_FAILED_INSUFFICIENT_STORAGE"}});
    const std::map<std::string, std::string> earlier = {{"main.1.obb", std::string(300000, 'o')},
                                                        {"levels/1.txt", "level one"}};
    // As the earlier install left them: their times from their content.
    for (const auto& [name, content] : earlier) {
        const auto path = GameData() / name;
        test::WriteFile(path, content);
        const time_t time = ContentTime(static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(content.data()), content.size())));
        const timespec times[2] = {{time, 0}, {time, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }
    const ino_t untouched = Inode(GameData() / "main.1.obb");
    Install(MakePackage([](GamePackage& p) {
        p.dataFiles[1].second = "level one, harder";
        p.dataFiles.push_back({std::string("obb/") + kGame + "/levels/2.txt", "level two"});
    }));
    EXPECT_EQ(view.lastStatus, "安装失败：安装内存不足。");
    for (const auto& [name, content] : earlier)
        EXPECT_TRUE(ReadFile(GameData() / name) == content) << name;
    EXPECT_EQ(Inode(GameData() / "main.1.obb"), untouched);
    EXPECT_EQ(FilesUnder(GameData()), (std::vector<std::string>{"levels/1.txt", "main.1.obb"}));
}

// Every check result and its words are in the package verify table.
TEST_F(InstallTest, AnAlteredPackageIsNeverUploaded) {
    Start();
    const struct {
        std::function<void(GamePackage&)> edit;
        const char* loadBox;  // when opening, if any
        const char* installBox;
    } cases[] = {
        {[](GamePackage& p) { p.manifest.apkSize = "1"; }, nullptr,
         "apk包已修改无法安装，请到Tarnel重新下载！"},
        {[](GamePackage& p) { p.manifestData = std::string("\x78\x9c garbage", 10); }, "解释包有误",
         "tpk解压缩失败！"},
    };
    for (const auto& c : cases) {
        view.effects.clear();
        Install(MakePackage(c.edit));
        if (c.loadBox != nullptr) {
            EXPECT_TRUE(view.Has(std::string("box: ") + c.loadBox)) << c.installBox;
        }
        EXPECT_TRUE(view.Has(std::string("box: ") + c.installBox)) << c.installBox;
        EXPECT_TRUE(NoUnpackFolderLeft()) << c.installBox;
        EXPECT_FALSE(std::filesystem::exists(GameData())) << c.installBox;
        EXPECT_EQ(view.effects.back(), "install button: on") << c.installBox;
    }
    EXPECT_FALSE(Listed());
}

TEST_F(InstallTest, ACorruptEntryFailsTheUnpack) {
    Start();
    const auto path = MakePackage([](GamePackage& p) { p.options.stored = true; });
    std::string bytes = ReadFile(path);
    const size_t data = bytes.find(std::string(1000, 'o'));
    ASSERT_NE(data, std::string::npos);
    bytes[data + 500] = 'X';  // the stored entry's CRC no longer matches
    test::WriteFile(path, bytes);
    Install(path);
    EXPECT_TRUE(view.Has("box: tpk解压缩失败！"));
    EXPECT_TRUE(NoUnpackFolderLeft());
    EXPECT_FALSE(std::filesystem::exists(GameData()));
    EXPECT_FALSE(Listed());
}

struct FailureCase {
    const char* code;
    const char* form;
    const char* status;
};

class InstallFailureTest : public InstallTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(InstallFailureTest, ShowsTheMessageAndRemovesTheData) {
    Start({{"installResult", GetParam().code}, {"installResultForm", GetParam().form}});
    Install(MakePackage());
    EXPECT_EQ(view.lastStatus, GetParam().status);
    EXPECT_FALSE(std::filesystem::exists(GameData()));
    EXPECT_TRUE(NoUnpackFolderLeft());
}

// Both forms adb prints, and a code without words of its own; the code-to-words table itself is
// the flow's.
const FailureCase kFailures[] = {
    {"INSTALL_FAILED_ALREADY_EXISTS", "old", "安装失败：程序已经存在。"},
    {"INSTALL_FAILED_INTERNAL_ERROR", "modern", "安装失败：系统问题导致安装失败。"},
    {"INSTALL_FAILED_VERSION_DOWNGRADE", "modern", "安装失败：未知错误。"},
};

INSTANTIATE_TEST_SUITE_P(Codes, InstallFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) {
                             return std::string(info.param.code).substr(15) + "_" + info.param.form;
                         });

}  // namespace
}  // namespace tarnel
