// adb install and uninstall through the real adb: streamed (exec/abb_exec) with the modern
// feature set, push then "pm install" with none; pm's answers in their old and modern forms.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <fstream>

#include "tests/apk/apk_builder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* kPackage = "com.example.game";

enum class ApkKind { Good, NotAZip };

struct InstallCase {
    const char* name;
    Scenario phone;  // on top of features and installResultForm
    std::vector<std::string> options;
    ApkKind apk;
    const char* code;  // nullptr: success
};

const InstallCase kCases[] = {
    {"Succeeds", Scenario::object(), {"-r"}, ApkKind::Good, nullptr},
    {"SucceedsOnTheSdCard", Scenario::object(), {"-r", "-s"}, ApkKind::Good, nullptr},
    {"ReplacesAnOlderVersion",
     {{"packages", {{kPackage, {{"versionName", "0.9"}, {"versionCode", 1}}}}}},
     {"-r"},
     ApkKind::Good,
     nullptr},
    {"NotAZip", Scenario::object(), {"-r"}, ApkKind::NotAZip, "INSTALL_FAILED_INVALID_APK"},
    {"TooBigForTheFreeSpace",
     {{"dataFree", 100}},
     {"-r"},
     ApkKind::Good,
     "INSTALL_FAILED_INSUFFICIENT_STORAGE"},
    {"NoSdCard",
     {{"sdcard", false}},
     {"-r", "-s"},
     ApkKind::Good,
     "INSTALL_FAILED_MEDIA_UNAVAILABLE"},
    {"Downgrade",
     {{"packages", {{kPackage, {{"versionName", "2.0"}, {"versionCode", 5}}}}}},
     {"-r"},
     ApkKind::Good,
     "INSTALL_FAILED_VERSION_DOWNGRADE"},
    {"AlreadyInstalledWithoutReplace",
     {{"packages", {{kPackage, "1.0"}}}},
     {},
     ApkKind::Good,
     "INSTALL_FAILED_ALREADY_EXISTS"},
};

void PrintTo(const InstallCase& row, std::ostream* out) {
    *out << row.name;
}

std::filesystem::path MakeApk(const SimulatedPhone& phone, ApkKind kind) {
    const std::filesystem::path apk = phone.WorkFolder() / "my game.apk";
    if (kind == ApkKind::NotAZip) {
        std::ofstream(apk) << "this is not a zip archive";
    } else {
        ApkContents contents;
        contents.packageName = kPackage;
        contents.versionCode = 3;
        contents.versionName = "1.2.3";
        BuildApk(contents, apk);
    }
    return apk;
}

using Params = std::tuple<const char*, const char*, InstallCase>;

class InstallTest : public ::testing::TestWithParam<Params> {};

TEST_P(InstallTest, AnswersLikePm) {
    const auto& [features, form, row] = GetParam();
    Scenario scenario = row.phone;
    scenario["features"] = features;
    scenario["installResultForm"] = form;
    SimulatedPhone phone(scenario);
    std::vector<std::string> arguments = {"install"};
    arguments.insert(arguments.end(), row.options.begin(), row.options.end());
    arguments.push_back(MakeApk(phone, row.apk).string());
    const AdbRun install = phone.Adb(arguments);
    const bool streamed = std::string(features) == "modern";
    EXPECT_THAT(install.out,
                HasSubstr(streamed ? "Performing Streamed Install" : "Performing Push Install"));
    const std::string listing = phone.Adb({"shell", "pm", "list", "packages", "-3"}).out;
    if (row.code == nullptr) {
        EXPECT_THAT(install.out, HasSubstr("Success\n"));
        EXPECT_EQ(install.exitStatus, 0);
        EXPECT_EQ(listing, std::string("package:") + kPackage + "\n");
        EXPECT_THAT(phone.Adb({"shell", "dumpsys", "package", kPackage}).out,
                    HasSubstr("versionName=1.2.3\n"));
        return;
    }
    const std::string failure =
        std::string("Failure [") + row.code + (std::string(form) == "old" ? "]" : ": ");
    if (streamed) {
        // adb reports a streamed failure itself, on stderr, and exits 1.
        EXPECT_THAT(install.err, HasSubstr("adb: failed to install "));
        EXPECT_THAT(install.err, HasSubstr(failure));
        EXPECT_EQ(install.exitStatus, 1);
    } else {
        // After a push install adb copies pm's words and exits 0 whatever they say.
        EXPECT_THAT(install.out, HasSubstr(failure));
        EXPECT_EQ(install.exitStatus, 0);
    }
    EXPECT_THAT(listing, Not(HasSubstr("1.2.3")));
}

INSTANTIATE_TEST_SUITE_P(Cases, InstallTest,
                         ::testing::Combine(::testing::Values("modern", "legacy"),
                                            ::testing::Values("modern", "old"),
                                            ::testing::ValuesIn(kCases)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "Phone_" +
                                    std::get<1>(info.param) + "Form_" +
                                    std::get<2>(info.param).name;
                         });

class InstallCleanupTest : public ::testing::TestWithParam<const char*> {};

TEST_P(InstallCleanupTest, LeavesNoStagingFilesBehind) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}});
    ASSERT_EQ(phone.Adb({"install", "-r", MakeApk(phone, ApkKind::Good).string()}).exitStatus, 0);
    EXPECT_TRUE(std::filesystem::is_empty(phone.HostPath("/data/local/tmp")));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(phone.HostPath("/data/app"))) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{std::string(kPackage) + "-1"});
    EXPECT_TRUE(std::filesystem::is_regular_file(
        phone.HostPath("/data/app/" + std::string(kPackage) + "-1/base.apk")));
}

TEST_P(InstallCleanupTest, UninstallsOnlyWhatIsInstalled) {
    SimulatedPhone phone(Scenario{{"features", GetParam()}, {"packages", {{kPackage, "1.0"}}}});
    const AdbRun removed = phone.Adb({"uninstall", kPackage});
    EXPECT_EQ(removed.out, "Success\n");
    EXPECT_EQ(phone.Adb({"shell", "pm", "list", "packages", "-3"}).out, "");
    const AdbRun again = phone.Adb({"uninstall", kPackage});
    EXPECT_THAT(again.Both(), HasSubstr("Failure [DELETE_FAILED_INTERNAL_ERROR]"));
}

INSTANTIATE_TEST_SUITE_P(Features, InstallCleanupTest, ::testing::Values("modern", "legacy"),
                         [](const auto& info) { return std::string(info.param); });

TEST(InstallOverAPulledCable, FailsAndInstallsNothing) {
    SimulatedPhone phone(Scenario{{"dropAfterBytes", 1000}});
    ApkContents contents;
    contents.packageName = kPackage;
    const std::filesystem::path apk = phone.WorkFolder() / "big.apk";
    BuildApk(contents, apk);
    ASSERT_GT(std::filesystem::file_size(apk), 1000u);
    const AdbRun install = phone.Adb({"install", "-r", apk.string()});
    EXPECT_NE(install.exitStatus, 0);
    EXPECT_THAT(install.Both(), Not(HasSubstr("Success")));
    EXPECT_TRUE(phone.WaitForState("offline"));
    EXPECT_TRUE(Eventually([&] { return std::filesystem::is_empty(phone.HostPath("/data/app")); }));
}

}  // namespace
}  // namespace tarnel::test
