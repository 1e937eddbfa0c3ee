// Package facts, permissions and icons, with APKs built by the real aapt.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bridge/device_bridge.h"
#include "installer/package/game_package_writer.h"
#include "installer/package/package_icon.h"
#include "installer/package/package_info.h"
#include "platform/text_codec.h"
#include "tests/apk/apk_builder.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TestFolder;

struct RecordingSink : MessageSink {
    void ShowMessage(const std::string& text, const std::string& caption) override {
        messages.emplace_back(text, caption);
    }
    std::vector<std::pair<std::string, std::string>> messages;
};

// Every test gets its own cache folder, so that the temporary APK copies can be counted.
class PackageInfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetNarrowCharset("UTF-8");
        setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1);
        bridge_.aaptPath = "aapt";
    }
    void TearDown() override { unsetenv("XDG_CACHE_HOME"); }

    fs::path Write(const std::string& name, const GamePackage& package) {
        const fs::path path = folder_ / name;
        EXPECT_TRUE(WriteGamePackage(path, package));
        return path;
    }

    bool NoTemporaryFiles() const {
        std::error_code ignored;
        return fs::is_empty(cache_ / "tarnel" / "tmp", ignored) ||
               !fs::exists(cache_ / "tarnel" / "tmp");
    }

    TestFolder folder_;
    TestFolder cache_;
    DeviceBridge bridge_{BridgeVariant::Installer};
    RecordingSink sink_;
};

// Manifests as packages write them, read one after another: the facts shown, the label in the
// narrow encoding. Sizes and Android names in every form are the bridge's text rules, each
// manifest form the marker rule's (manifest_test). The GBK package is made on Windows: its
// manifest's name in capitals, every entry read-only.
TEST_F(PackageInfoTest, FactsComeFromTheManifest) {
    struct Case {
        std::string charset;
        std::string text;
        std::string label, version, size, android;
    };
    const Case cases[] = {
        {"UTF-8",
         "{\"packageName\": \"com.a.b\",\"appName\": \"极速赛车\",\"versionName\": \"2.0.1\","
         "\"size\": \"5368709120\",\"minSdkVersion\": \"19\"}",
         "极速赛车", "2.0.1", "5.12e+003MB", "Android 4.4.2"},
        {"GBK",
         "{\"packageName\": \"com.a.b\",\"appName\": \"赛车\",\"size\": "
         "\"1536\",\"minSdkVersion\": \"14\"}",
         "\xC8\xFC\xB3\xB5", "", "1.5KB", "Android 4.0"},
    };
    for (const Case& c : cases) {
        SetNarrowCharset(c.charset);
        GamePackage package;
        package.manifest.packageName = "com.a.b";
        package.manifestText = c.text;
        if (c.charset == "GBK") {
            package.manifestEntryName = "MANIFEST.DATA";
            package.options = {.external = 0x21, .system = 0};
        }
        bridge_.packagePath = Write("p.tpk", package);
        ASSERT_EQ(ReadPackageInfo(bridge_, sink_), 0) << c.text;
        EXPECT_TRUE(sink_.messages.empty());
        EXPECT_EQ(bridge_.packageName, "com.a.b");
        EXPECT_EQ(bridge_.appLabel, c.label);
        EXPECT_EQ(bridge_.versionName, c.version);
        EXPECT_EQ(bridge_.sizeText, c.size);
        EXPECT_EQ(bridge_.androidVersion, c.android);
    }
    EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(PackageInfoTest, FailuresAreToldAndLeaveTheFactsAlone) {
    struct Case {
        const char* what;
        void (*change)(GamePackage&);
        const char* message;
        bool damage = false;  // one bit of the stored manifest flipped: a CRC failure
    };
    const Case cases[] = {
        {"no manifest", [](GamePackage& p) { p.manifestEntryName = "other"; }, "解压缩出错."},
        {"not zlib", [](GamePackage& p) { p.manifestData = "plain text"; }, "文件解密出错"},
        {"invalid package name", [](GamePackage& p) { p.manifest.packageName = "../../etc"; },
         "文件解密出错"},
        {"damaged entry", [](GamePackage& p) { p.manifestText = std::string(500, 'q'); },
         "打开文件出错.", true},
    };
    for (const Case& c : cases) {
        GamePackage package;
        package.options.stored = true;
        c.change(package);
        const fs::path path = Write("bad.tpk", package);
        bridge_.packagePath = path;
        if (c.damage) {
            std::string bytes = ReadFile(path);
            bytes[bytes.find(CompressManifest(std::string(500, 'q'))) + 3] ^= 0x40;
            test::WriteFile(path, bytes);
        }
        bridge_.appLabel = "before";
        sink_.messages.clear();
        EXPECT_EQ(ReadPackageInfo(bridge_, sink_), -1) << c.what;
        ASSERT_EQ(sink_.messages.size(), 1u) << c.what;
        EXPECT_EQ(sink_.messages[0].first, c.message) << c.what;
        EXPECT_EQ(sink_.messages[0].second, "错误");
        EXPECT_EQ(bridge_.appLabel, "before") << c.what;
    }
    bridge_.packagePath = (folder_ / "missing.tpk").string();
    EXPECT_EQ(ReadPackageInfo(bridge_, sink_), -1);
    EXPECT_EQ(sink_.messages.back().first, "解压缩出错.");
}

// Known permissions are named from the APK inside, copied no longer than the manifest's apkSize (a
// small package must not fill the cache). An APK that is another package, or none to read, names
// none; neither does an unwritable cache, which is said.
TEST_F(PackageInfoTest, PermissionsComeFromTheApkInside) {
    const fs::path apk = folder_ / "inner.apk", other = folder_ / "other.apk";
    test::BuildApk({.packageName = "com.example.racer",
                    .permissions = {"android.permission.INTERNET", "com.example.UNKNOWN",
                                    "android.permission.CAMERA"}},
                   apk);
    test::BuildApk({.packageName = "com.example.other"}, other);
    const struct {
        std::optional<std::string> apk;
        std::string apkSize;  // empty: the APK's own
        int result;
        std::string text;
    } cases[] = {
        {ReadFile(apk), "100", kPermissionsUnreadable, ""},
        {ReadFile(other), "", kPermissionsApkDiffers, ""},
        {"not an apk at all", "", kPermissionsUnreadable, ""},
        {std::nullopt, "", kPermissionsUnreadable, ""},
        {ReadFile(apk), "", kPermissionsRead,
         "    允许访问网络\r\n    允许访问使用照相设备\r\n    "},
    };
    for (const auto& c : cases) {
        GamePackage package;
        package.apk = c.apk;
        package.manifest.apkSize = c.apkSize;
        bridge_.packagePath = Write("racer.tpk", package);
        ASSERT_EQ(ReadPackageInfo(bridge_, sink_), 0);
        bridge_.permissionText = "old";
        EXPECT_EQ(ReadPackagePermissions(bridge_), c.result) << c.apkSize;
        EXPECT_EQ(bridge_.permissionText, c.text);
        EXPECT_EQ(bridge_.apkPath, "");
        EXPECT_TRUE(NoTemporaryFiles());
    }
    // The last package is readable.
    setenv("XDG_CACHE_HOME", "/proc/no-cache-here", 1);
    EXPECT_EQ(ReadPackagePermissions(bridge_), kPermissionsNoWorkFolder);
}

// The same package name in both: only unique temporary copies keep them apart.
TEST_F(PackageInfoTest, TwoPackagesReadAtOnceKeepTheirOwnCopies) {
    const char* permissions[] = {"android.permission.INTERNET", "android.permission.CAMERA"};
    const char* expected[] = {"    允许访问网络\r\n    ", "    允许访问使用照相设备\r\n    "};
    DeviceBridge bridges[] = {DeviceBridge(BridgeVariant::Installer),
                              DeviceBridge(BridgeVariant::Installer)};
    for (int i = 0; i < 2; ++i) {
        const fs::path apk = folder_ / ("apk" + std::to_string(i) + ".apk");
        test::BuildApk({.packageName = "com.example.same", .permissions = {permissions[i]}}, apk);
        GamePackage package;
        package.manifest.packageName = "com.example.same";
        package.apk = ReadFile(apk);
        bridges[i].packagePath = Write("p" + std::to_string(i) + ".tpk", package);
        bridges[i].packageName = "com.example.same";
        bridges[i].aaptPath = "aapt";
    }
    for (int round = 0; round < 3; ++round) {
        {
            std::jthread first([&] { ReadPackagePermissions(bridges[0]); });
            std::jthread second([&] { ReadPackagePermissions(bridges[1]); });
        }
        EXPECT_EQ(bridges[0].permissionText, expected[0]);
        EXPECT_EQ(bridges[1].permissionText, expected[1]);
    }
}

// icon.png in any case; none, or one too large to be an icon, is not written.
TEST_F(PackageInfoTest, PackageIconIsFoundInAnyCase) {
    const std::string png = test::SolidPng(10, 10, 1, 2, 3);
    const std::pair<const char*, std::string> cases[] = {
        {"ICON.PNG", png}, {"readme.txt", png}, {"icon.png", std::string(17 << 20, '\0')}};
    for (const auto& [name, data] : cases) {
        std::optional<PackageWriter> writer = PackageWriter::Create(folder_ / "p.tpk");
        writer->AddFile(name, data);
        ASSERT_TRUE(writer->Finish());
        bridge_.packagePath = (folder_ / "p.tpk").string();
        fs::remove(folder_ / "icon.png");
        const bool found = name == std::string("ICON.PNG");
        EXPECT_EQ(ExtractIcon(bridge_, folder_ / "icon.png", true), found) << name;
        EXPECT_EQ(ReadFile(folder_ / "icon.png"), found ? png : "") << name;
    }
}

TEST(ApkIconCandidates, DensestBitmapFirstThenTheUsualFolders) {
    struct Case {
        const char* badging;
        const char* iconPath;
        std::vector<std::string> candidates;
    };
    const Case cases[] = {
        {"application-icon-160:'res/drawable-mdpi-v4/icon.png'\n"
         "application-icon-320:'res/drawable-xhdpi-v4/icon.png'\n"
         "application-icon-240:'res/drawable-hdpi-v4/icon.png'\n",
         "res/drawable-mdpi-v4/icon.png",
         {"res/drawable-xhdpi-v4/icon.png", "res/drawable-xhdpi/icon.png",
          "res/drawable-hdpi/icon.png", "res/drawable-mdpi-v4/icon.png"}},
        // Adaptive icons are XML, not pictures.
        {"application-icon-480:'res/drawable-xxhdpi-v4/ic.png'\n"
         "application-icon-65534:'res/mipmap-anydpi-v26/ic.xml'\n",
         "res/mipmap-anydpi-v26/ic.xml",
         {"res/drawable-xxhdpi-v4/ic.png", "res/drawable-xhdpi/ic.xml", "res/drawable-hdpi/ic.xml",
          "res/mipmap-anydpi-v26/ic.xml"}},
        {"", "icon.png", {"res/drawable-xhdpi/icon.png", "res/drawable-hdpi/icon.png", "icon.png"}},
        {"application-icon-x:'bad.png' application-icon-120:''", "", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApkIconCandidates(c.badging, c.iconPath), c.candidates) << c.badging;
    }
}

}  // namespace
}  // namespace tarnel
