// tarnelInstall --info as a user runs it: the real program on APKs built with the real aapt.
// Each fact is read in the bridge's InspectApk tests; here they reach the user as JSON.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

#include "tests/apk/apk_builder.h"
#include "tests/installer_cli/run_install.h"

namespace tarnel {
namespace {

class InfoCommandTest : public ::testing::Test {
  protected:
    void SetUp() override { folder = test::FreshTestFolder("info"); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST_F(InfoCommandTest, PrintsTheFactsOfAnApk) {
    test::ApkContents contents;
    contents.label = "星际 Racer";
    contents.packageName = "com.example.racer";
    contents.permissions = {"android.permission.INTERNET", "android.permission.READ_SMS"};
    const auto apk = folder / "with space" / "racer.apk";
    std::filesystem::create_directories(apk.parent_path());
    test::BuildApk(contents, apk);
    RunResult result = test::RunInstall({"--info", apk.string()});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    const auto facts = nlohmann::json::parse(result.output);
    EXPECT_EQ(facts["appLabel"], "星际 Racer");
    EXPECT_EQ(facts["packageName"], "com.example.racer");
    EXPECT_EQ(facts["permissionText"], "    允许访问网络\r\n    允许读取短信息(危险)\r\n    ");
}

TEST_F(InfoCommandTest, RefusesWhatIsNoApk) {
    const auto bogus = folder / "bogus.apk";
    std::ofstream(bogus) << "not a zip";
    RunResult result = test::RunInstall({"--info", bogus.string()});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.output, "解释包有误\n");
    RunResult usage = test::RunInstall({"--info"});
    EXPECT_EQ(usage.exitStatus, 2);
    EXPECT_NE(usage.output.find("Usage:"), std::string::npos);
}

}  // namespace
}  // namespace tarnel
