// What an unlucky user meets, through the flow, the real adb and the simulated phone: file names
// that carry adb's words, a failed update, a phone that stops answering, two phones.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/flow_e2e/flow_on_phone.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using test::kGame;
using test::kInstalled;
using test::ReadFile;
using PhoneFaultTest = test::FlowOnPhone;

constexpr const char* kInvalidApk = "安装失败：无效的APK。";

struct FaultCase {
    const char* name;
    test::Scenario phone;
    const char* folder;  // where the user keeps the package
    const char* file;    // its name; .apk installs the APK alone
    const char* dataFile;
    const char* status;  // the last status line
};

void PrintTo(const FaultCase& row, std::ostream* out) {
    *out << row.name;
}

// adb's markers in the names of files and folders, each route of adb (streamed install, push and
// pm install) once; which of adb's lines count is the bridge's output table.
const FaultCase kCases[] = {
    {"ApkNamedSuccessRefusedLegacy",
     {{"installResult", "INSTALL_FAILED_INVALID_APK"}, {"features", "legacy"}},
     "Success",
     "Success.apk",
     nullptr,
     kInvalidApk},
    {"PackageInFolderSuccessRefused",
     {{"installResult", "INSTALL_FAILED_INVALID_APK"}},
     "Success",
     "Success.tpk",
     "main.obb",
     kInvalidApk},
    {"FailedNamesInstalled", test::Scenario::object(), "failed downloads", "nova.tpk",
     "failed_levels.obb", kInstalled},
    // A phone that works silently on the APK for longer than the no-progress limit.
    {"SilentInstallLongerThanTheLimit",
     {{"installSeconds", 4}},
     "games",
     "nova.tpk",
     "main.obb",
     kInstalled},
    {"SilentInstallLongerThanTheLimitLegacy",
     {{"installSeconds", 4}, {"features", "legacy"}},
     "games",
     "nova.apk",
     nullptr,
     kInstalled},
};

class FileNameTest : public PhoneFaultTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FileNameTest, NoWordInAFileNameDecidesTheOutcome) {
    const FaultCase& c = GetParam();
    Start(c.phone);
    if (c.phone.contains("installSeconds"))
        state->bridge.noProgressLimit = 2s;
    const fs::path package = Place(c.folder, c.file, c.dataFile ? c.dataFile : "");
    Install(package);
    const bool installed = std::string(c.status) == kInstalled;
    EXPECT_EQ(view.lastStatus, c.status);
    EXPECT_EQ(Listed(), installed);
    // After a success the button offers the installation again.
    EXPECT_EQ(state->readyToInstall, installed ? 0 : 1);
    EXPECT_EQ(view.Has("button image: done"), installed);
    if (c.dataFile != nullptr) {
        EXPECT_EQ(fs::exists(GameData() / c.dataFile), installed);
        EXPECT_TRUE(fs::is_empty(package.parent_path()) ||
                    fs::directory_iterator(package.parent_path())->path() == package);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, FileNameTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The phone's files under its obb folder, by path from the game's folder.
using PhoneFiles = std::map<std::string, std::string>;

struct DataCase {
    const char* name;
    test::Scenario phone;
    PhoneFiles before;
    PhoneFiles after;  // "NEW": the package's main.obb
};

void PrintTo(const DataCase& row, std::ostream* out) {
    *out << row.name;
}

const test::Scenario kNoSpace = {{"installResult", "INSTALL_FAILED_INSUFFICIENT_STORAGE"}};
const test::Scenario kNoSpaceLegacy = {{"installResult", "INSTALL_FAILED_INSUFFICIENT_STORAGE"},
                                       {"features", "legacy"}};
const PhoneFiles kEarlier = {{"old.obb", "saved progress"},
                             {"levels/0.txt", "level zero"},
                             {"levels/1.txt", "the old level one"}};
const PhoneFiles kNotOurs = {{"levels/1.txt", "the old level one"},
                             {"levels.tarnel-old", "a file beside a folder"},
                             {"notes.tarnel-old/a.txt", "a folder"},
                             {"../com.example.nova.tarnel-old", "beside the game"}};

// A failed install leaves every file the game had as it was (a fresh one leaves no folder); a
// successful one replaces what it brings, keeps the rest and leaves nothing aside. Copies that a
// run left aside when the phone hung are put back first, whatever this run then does; names
// that only look like such copies, or lie outside the game's folder, are left alone.
const DataCase kDataCases[] = {
    {"FailedUpdate", kNoSpace, kEarlier, kEarlier},
    {"FailedUpdateLegacy", kNoSpaceLegacy, kEarlier, kEarlier},
    {"FailedFreshInstall", kNoSpace, {}, {}},
    {"SuccessfulUpdate",
     test::Scenario::object(),
     kEarlier,
     {{"old.obb", "saved progress"},
      {"levels/0.txt", "level zero"},
      {"levels/1.txt", "level one"},
      {"main.obb", "NEW"}}},
    {"LeftAsideThenFailed",
     kNoSpace,
     {{"main.obb", "half writ"},
      {"main.obb.tarnel-old", "old main"},
      {"levels/1.txt.tarnel-old", "the old level one"},
      {"old.obb.tarnel-old", "saved progress"}},
     {{"main.obb", "old main"},
      {"levels/1.txt", "the old level one"},
      {"old.obb", "saved progress"}}},
    {"LeftAsideThenInstalled",
     test::Scenario::object(),
     {{"main.obb", "half writ"},
      {"main.obb.tarnel-old", "old main"},
      {"old.obb.tarnel-old", "saved progress"}},
     {{"main.obb", "NEW"}, {"levels/1.txt", "level one"}, {"old.obb", "saved progress"}}},
    {"NotLeftAsideByUs", kNoSpace, kNotOurs, kNotOurs},
};

class PhoneDataTest : public PhoneFaultTest, public ::testing::WithParamInterface<DataCase> {};

TEST_P(PhoneDataTest, TheGamesEarlierDataIsKeptOrReplaced) {
    const DataCase& c = GetParam();
    Start(c.phone);
    for (const auto& [path, content] : c.before)
        test::WriteFile(GameData() / path, content);
    Install(Place("games", "nova.tpk"));
    const bool installed = !c.phone.contains("installResult");
    EXPECT_EQ(view.lastStatus, installed ? kInstalled : "安装失败：安装内存不足。");
    PhoneFiles after;
    for (const auto& entry : fs::recursive_directory_iterator(GameData().parent_path())) {
        const std::string content = entry.is_regular_file() ? ReadFile(entry.path()) : "";
        if (entry.is_regular_file())
            after[entry.path().lexically_relative(GameData()).string()] =
                content == std::string(test::kMainObbBytes, 'n') ? "NEW" : content;
    }
    EXPECT_EQ(after, c.after);
    EXPECT_EQ(fs::exists(GameData()), !c.after.empty());
}

INSTANTIATE_TEST_SUITE_P(Data, PhoneDataTest, ::testing::ValuesIn(kDataCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PhoneFaultTest, AHungPhoneIsGivenUpAndCleanedAfter) {
    Start({{"hangAfterBytes", 400000}});
    state->bridge.noProgressLimit = 2s;
    state->bridge.quickQueryLimit = 3s;
    const auto started = std::chrono::steady_clock::now();
    Install(Place("games", "nova.tpk", "main.obb",
                  [](GamePackage& p) { p.dataFiles[0].second.assign(4 << 20, 'n'); }));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 30s);
    EXPECT_EQ(view.lastStatus, "手机长时间没有响应，已停止。请重新连接手机后重试。");
    EXPECT_FALSE(fs::exists(phone->WorkFolder() / "games" / "~nova"));
    EXPECT_TRUE(view.Has("install button: on"));
}

// Two phones without a choice are listed and nothing is written; once one is chosen, only it
// is written, whatever else is attached.
TEST_F(PhoneFaultTest, TwoPhonesAreListedAndOnlyTheChosenOneIsWritten) {
    Start(test::Scenario::object());
    test::SimulatedPhone second(*phone, test::Scenario{{"model", "Pixel 7"}});
    flow->StartDeviceCheck();
    view.RunUntil([&] { return !view.lastStatus.empty(); });
    EXPECT_EQ(view.lastStatus, "连接了多部手机，安装时请选择一部。");
    view.lastStatus.clear();
    Install(Place("games", "nova.tpk"));
    EXPECT_EQ(state->lastInstall, InstallOutcome::SeveralPhones);
    const bool listed = std::ranges::any_of(view.effects, [&](const std::string& effect) {
        return effect.starts_with("box: ") && effect.find(phone->Serial()) != std::string::npos &&
               effect.find(second.Serial() + "  Pixel_7") != std::string::npos;
    });
    EXPECT_TRUE(listed);
    EXPECT_FALSE(fs::exists(GameData()));

    state->wantedSerial = second.Serial();
    Install(Place("again", "nova.tpk"));
    EXPECT_EQ(view.lastStatus, kInstalled);
    EXPECT_TRUE(fs::exists(second.HostPath(std::string("/sdcard/Android/obb/") + kGame)));
    EXPECT_FALSE(fs::exists(GameData()));
    EXPECT_FALSE(Listed());
    flow.reset();
}

}  // namespace
}  // namespace tarnel
