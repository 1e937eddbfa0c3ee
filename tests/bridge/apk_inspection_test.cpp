// InspectApk on APKs built here with the real aapt.
#include <gtest/gtest.h>

#include "bridge/device_bridge.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

class InspectApkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
        ASSERT_FALSE(bridge.aaptPath.empty()) << "aapt is not installed";
    }

    int Inspect(const test::ApkContents& apk) {
        bridge.apkPath = (folder / (apk.packageName + ".apk")).string();
        test::BuildApk(apk, bridge.apkPath);
        return bridge.InspectApk();
    }

    test::TestFolder folder;
    DeviceBridge bridge{BridgeVariant::Installer};
};

TEST_F(InspectApkTest, ReadsTheFacts) {
    test::ApkContents apk;
    apk.label = "王者荣耀 测试版";
    apk.packageName = "com.example.king";
    apk.versionName = "4.5.6";
    apk.permissions = {"android.permission.INTERNET", "com.example.permission.UNKNOWN",
                       "android.permission.CAMERA"};
    apk.iconDensities = {"hdpi", "xhdpi"};
    ASSERT_EQ(Inspect(apk), 0);
    EXPECT_EQ(bridge.appLabel, "王者荣耀 测试版");
    EXPECT_EQ(bridge.packageName, "com.example.king");
    EXPECT_EQ(bridge.versionName, "4.5.6");
    EXPECT_EQ(bridge.androidVersion, "Android 2.2");
    EXPECT_EQ(bridge.permissionText, "    允许访问网络\r\n    允许访问使用照相设备\r\n    ");
    EXPECT_EQ(bridge.iconPath, "res/drawable-hdpi-v4/icon.png");
    EXPECT_NE(bridge.sizeText.find("KB"), std::string::npos) << bridge.sizeText;
}

TEST_F(InspectApkTest, NotAnApkEmptiesEveryFact) {
    ASSERT_EQ(Inspect({}), 0);
    bridge.apkPath = (folder / "broken.apk").string();
    std::ofstream(bridge.apkPath) << "this is no zip file";
    EXPECT_EQ(bridge.InspectApk(), -1);
    for (const std::string* fact :
         {&bridge.appLabel, &bridge.packageName, &bridge.iconPath, &bridge.versionName,
          &bridge.androidVersion, &bridge.sizeText, &bridge.permissionText}) {
        EXPECT_EQ(*fact, "");
    }
}

TEST_F(InspectApkTest, WithoutAaptOnlyTheSizeIsKnown) {
    bridge.apkPath = (folder / "any.apk").string();
    std::ofstream(bridge.apkPath) << std::string(1536, 'x');
    bridge.aaptPath.clear();
    EXPECT_EQ(bridge.InspectApk(), 0);
    EXPECT_EQ(bridge.packageName, "");
    EXPECT_EQ(bridge.permissionText, "    ");
    EXPECT_EQ(bridge.sizeText, "1.5KB");
}

}  // namespace
}  // namespace tarnel
