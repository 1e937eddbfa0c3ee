// tarnelInstall --info as a user runs it: the real program on APKs built with the real aapt.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

#include "platform/process_runner.h"
#include "tests/apk/apk_builder.h"

namespace tarnel {
namespace {

class InfoCommandTest : public ::testing::Test {
  protected:
    void SetUp() override { folder = test::FreshTestFolder("info"); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST_F(InfoCommandTest, PrintsTheFactsOfAnApk) {
    test::ApkContents apk;
    apk.label = "星际 Racer";
    apk.packageName = "com.example.racer";
    apk.versionName = "2.0.1";
    apk.minSdk = "10";
    apk.permissions = {"android.permission.INTERNET", "android.permission.READ_SMS"};
    const auto apkFile = folder / "with space" / "racer.apk";
    std::filesystem::create_directories(apkFile.parent_path());
    test::BuildApk(apk, apkFile);
    RunResult result = RunProcess({TARNEL_INSTALL, "--info", apkFile.string()});
    ASSERT_EQ(result.exitStatus, 0) << result.output;
    const auto facts = nlohmann::json::parse(result.output);
    EXPECT_EQ(facts["appLabel"], "星际 Racer");
    EXPECT_EQ(facts["packageName"], "com.example.racer");
    EXPECT_EQ(facts["versionName"], "2.0.1");
    EXPECT_EQ(facts["androidVersion"], "Android 2.3.3");
    EXPECT_EQ(facts["iconPath"], "res/drawable-hdpi-v4/icon.png");
    EXPECT_EQ(facts["permissionText"], "    允许访问网络\r\n    允许读取短信息(危险)\r\n    ");
    EXPECT_TRUE(facts["sizeText"].get<std::string>().ends_with("KB"));
}

TEST_F(InfoCommandTest, RefusesWhatIsNoApk) {
    const auto bogus = folder / "bogus.apk";
    std::ofstream(bogus) << "not a zip";
    RunResult result = RunProcess({TARNEL_INSTALL, "--info", bogus.string()});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.output, "解释包有误\n");
    RunResult missing = RunProcess({TARNEL_INSTALL, "--info", (folder / "none.apk").string()});
    EXPECT_EQ(missing.exitStatus, 2);
    RunResult usage = RunProcess({TARNEL_INSTALL, "--info"});
    EXPECT_EQ(usage.exitStatus, 2);
    EXPECT_NE(usage.output.find("Usage:"), std::string::npos);
}

}  // namespace
}  // namespace tarnel
