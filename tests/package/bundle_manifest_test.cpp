#include "installer/package/bundle_manifest.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "bridge/phone_config.h"

namespace tarnel {
namespace {

TEST(BundleManifest, ReadsXapkManifestsWithNumbersEitherWayAndApkmInfo) {
    const BundleDescription description = ParseXapkManifest(R"({
        "xapk_version": 2, "package_name": "com.example.game", "name": "星际",
        "version_code": 15527, "version_name": "1.5", "min_sdk_version": "21",
        "split_apks": [{"file": "config.arm64_v8a.apk", "id": "config.arm64_v8a"},
                       {"file": "com.example.game.apk", "id": "base"}],
        "expansions": [{"file": "Android/obb/com.example.game/main.15527.com.example.game.obb",
                        "install_location": "EXTERNAL_STORAGE",
                        "install_path": "Android/obb/com.example.game/main.15527.com.example.game.obb"}]
    })");
    EXPECT_EQ(description.packageName, "com.example.game");
    EXPECT_EQ(description.appName, "星际");
    EXPECT_EQ(description.versionCode, "15527");
    EXPECT_EQ(description.minSdk, "21");
    EXPECT_EQ(description.apkEntries,
              (std::vector<std::string>{"com.example.game.apk", "config.arm64_v8a.apk"}));
    ASSERT_EQ(description.expansions.size(), 1u);
    const BundleDescription apkm = ParseApkmInfo(
        R"({"apkm_version": 5, "pname": "com.a.b", "app_name": "B", "release_version": "2.0",
            "versioncode": "20"})");
    EXPECT_EQ(apkm.packageName + " " + apkm.versionName + " " + apkm.versionCode, "com.a.b 2.0 20");
}

TEST(BundleManifest, RefusesWhatIsNoManifest) {
    for (const char* text :
         {"", "[1]", R"({"split_apks": 3})", R"({"split_apks": [{"id": "base"}]})",
          R"({"expansions": [{"file": "a.obb"}]})"}) {
        EXPECT_THROW(ParseXapkManifest(text), std::runtime_error) << text;
    }
}

TEST(BundleManifest, PlacesExpansionsOnlyUnderTheGamesObbFolder) {
    const struct {
        const char* installPath;
        const char* place;  // nullptr: refused
    } cases[] = {
        {"Android/obb/com.example.game/main.1.com.example.game.obb",
         "Android/obb/com.example.game/main.1.com.example.game.obb"},
        {"android/OBB/com.example.game/sub/patch.obb",
         "Android/obb/com.example.game/sub/patch.obb"},
        {"Android/obb/com.example.game/", nullptr},
        {"Android/obb/com.other.game/main.obb", nullptr},
        {"Android/data/com.example.game/main.obb", nullptr},
        {"Android/obb/com.example.game/../../../DCIM/x.obb", nullptr},
        {"/sdcard/Android/obb/com.example.game/main.obb", nullptr},
    };
    for (const auto& each : cases) {
        const std::optional<std::string> place =
            ExpansionPlace(each.installPath, "com.example.game");
        if (each.place == nullptr)
            EXPECT_FALSE(place) << each.installPath;
        else
            EXPECT_EQ(place.value_or("(refused)"), each.place);
    }
}

TEST(BundleManifest, KnowsTheThreeExtensionsInAnyCase) {
    EXPECT_EQ(BundleKindOf("/a/b.XAPK"), BundleKind::Xapk);
    EXPECT_EQ(BundleKindOf("b.apks"), BundleKind::Apks);
    EXPECT_EQ(BundleKindOf("b.Apkm"), BundleKind::Apkm);
    EXPECT_FALSE(BundleKindOf("b.zip"));
    EXPECT_FALSE(BundleKindOf("b.apk"));
}

TEST(PhoneConfig, ReadsTheOneShotAnswer) {
    const struct {
        const char* answer;
        std::vector<std::string> abis;
        int density;
        const char* language;
    } cases[] = {
        // clang-format off
        {"@abilist\narm64-v8a,armeabi-v7a,armeabi\n@abi\narm64-v8a\n@wm\nPhysical density: 440\n"
         "@lcd\n440\n@locale\nzh-CN\n@productlocale\nen-US\n",
         {"arm64-v8a", "armeabi-v7a", "armeabi"}, 440, "zh"},
        // Android 4: no abilist, no wm, old locale; CR LF line ends.
        {"@abilist\r\n\r\n@abi\r\narmeabi-v7a\r\n@wm\r\n/system/bin/sh: wm: not found\r\n@lcd\r\n"
         "240\r\n@locale\r\n\r\n@productlocale\r\nen_US\r\n", {"armeabi-v7a"}, 240, "en"},
        {"@abilist\nx86\n@abi\nx86\n@wm\nPhysical density: 420\nOverride density: 360\n@lcd\n\n"
         "@locale\n\n@productlocale\n\n", {"x86"}, 360, ""},
        {"error: no devices/emulators found\n", {}, 0, ""},
        // clang-format on
    };
    for (const auto& each : cases) {
        const PhoneConfig config = ParsePhoneConfig(each.answer);
        EXPECT_EQ(config.abis, each.abis) << each.answer;
        EXPECT_EQ(config.density, each.density) << each.answer;
        EXPECT_EQ(config.language, each.language) << each.answer;
    }
}

}  // namespace
}  // namespace tarnel
