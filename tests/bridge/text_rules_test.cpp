#include <gtest/gtest.h>

#include "bridge/android_versions.h"
#include "bridge/device_info.h"
#include "bridge/marker_search.h"
#include "bridge/package_name.h"
#include "bridge/permission_table.h"
#include "bridge/permission_text.h"
#include "bridge/size_text.h"

namespace tarnel {
namespace {

TEST(SizeText, WritesThreeDigitsTheGcvtWay) {
    const struct {
        double bytes;
        const char* text;
    } cases[] = {
        {512, "512.字节"},        {1536, "1.5KB"},   {1000, "1.e+003字节"}, {1023, "1.02e+003字节"},
        {1048575, "1.02e+003KB"}, {2097152, "2.MB"}, {0, "0.字节"},         {999.6, "1.e+003字节"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
}

TEST(AndroidVersionName, UsesTheRightColumn) {
    EXPECT_EQ(AndroidVersionName("8", VersionTableColumn::Inspection), "Android 2.2");
    EXPECT_EQ(AndroidVersionName("6", VersionTableColumn::Inspection), "6");
    EXPECT_EQ(AndroidVersionName("19", VersionTableColumn::Inspection), "19");
    EXPECT_EQ(AndroidVersionName("19", VersionTableColumn::Manifest), "Android 4.4.2");
    EXPECT_EQ(AndroidVersionName("14", VersionTableColumn::Manifest), "Android 4.0");
    EXPECT_EQ(AndroidVersionName("23", VersionTableColumn::Manifest), "23");
    EXPECT_EQ(AndroidVersionName("08", VersionTableColumn::Manifest), "08");
}

TEST(ValueAfterMarker, QuoteCommaRuleAndTheLastMember) {
    const std::string text = "{\"deviceType\":\"MI 8\",\"deviceName\":\"Xiaomi\"}\n";
    EXPECT_EQ(ValueAfterMarker(text, "\"deviceType\":\""), "MI 8");
    EXPECT_EQ(ValueAfterMarker(text, "\"deviceName\":\""), "Xiaomi");
    EXPECT_EQ(ValueAfterMarker(text, "\"missing\":\""), "");
    EXPECT_EQ(ValueAfterMarker("{\"a\": \"1.0\" }  ", "\"a\": \""), "1.0");
    EXPECT_EQ(ValueAfterMarker("{\"a\": \"x\"y\"", "\"a\": \""), "x\"y");
}

// The companion's file as the simulated phone writes it is read in the client's phone
// preparation (client_e2e); here the values it never writes.
TEST(DeviceInfo, ReadsTheCompanionFile) {
    const std::string file =
        "{\"deviceRoot\":\"true\",\"dataSizeFree\":\"2.5e10\","
        "\"sdcardSizeFree\":\"30 GB\",\"deviceName\":\"Xiaomi\"}";
    DeviceInfo info;
    ASSERT_TRUE(ParseDeviceInfo(file, info));
    EXPECT_EQ(info.deviceName, "Xiaomi");
    EXPECT_EQ(info.deviceRoot, 1);
    EXPECT_DOUBLE_EQ(info.dataSizeFree, 2.5e10);
    EXPECT_DOUBLE_EQ(info.sdcardSizeFree, 30);
    EXPECT_DOUBLE_EQ(info.ramSizeFree, 0);

    DeviceInfo other;
    ASSERT_TRUE(ParseDeviceInfo("{\"deviceRoot\":\"True\",\"ramSizeFree\":\"1234\"}", other));
    EXPECT_EQ(other.deviceRoot, 0);
    EXPECT_DOUBLE_EQ(other.ramSizeFree, 1234);
    EXPECT_EQ(other.androidRelease, "android ");
}

TEST(DeviceInfo, AFailedReadKeepsThePreviousFacts) {
    DeviceInfo info;
    info.model = "kept";
    for (const char* output :
         {"cat: /sdcard/kestrum_bbs/phoneInfo.dat: No such file or directory\n", "",
          "error: no devices/emulators found\n"}) {
        EXPECT_FALSE(ParseDeviceInfo(output, info)) << output;
        EXPECT_EQ(info.model, "kept");
    }
}

TEST(PackageName, FollowsAndroidsGrammar) {
    for (const char* good : {"com.kestrum.player", "a.b", "com.Example_1.x2"}) {
        EXPECT_TRUE(IsValidPackageName(good)) << good;
    }
    for (const char* bad : {"", "single", "com..a", ".com.a", "com.a.", "com.1a", "com.a b",
                            "com.a;rm -rf /", "com.a/../b", "../x.y", "com.a\n", "com.a$b"}) {
        EXPECT_FALSE(IsValidPackageName(bad)) << bad;
    }
}

TEST(PermissionText, DescribesBothAaptForms) {
    PermissionMap table;
    BuildPermissionTable(table);
    const std::string badging =
        "uses-permission: name='android.permission.INTERNET'\n"
        "uses-permission:'android.permission.CAMERA'\n"
        "uses-permission: name='com.example.UNKNOWN'\n"
        "uses-implied-permission: name='android.permission.READ_SMS' reason='x'\n"
        "uses-permission: name='android.permission.INTERNET' maxSdkVersion='18'\n";
    EXPECT_EQ(DescribePermissions(table, badging, BridgeVariant::Installer),
              "    允许访问网络\r\n    允许访问使用照相设备\r\n    允许访问网络\r\n    ");
    EXPECT_EQ(DescribePermissions(table, badging, BridgeVariant::Client),
              "允许访问网络\n允许访问使用照相设备\n允许访问网络\n");
    EXPECT_EQ(DescribePermissions(table, "", BridgeVariant::Installer), "    ");
}

}  // namespace
}  // namespace tarnel
