#include "installer/package/split_choice.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

const std::vector<BundleSplit> kBundle = {
    {"base.apk", ""},
    {"v8.apk", "config.arm64_v8a"},
    {"v7.apk", "config.armeabi_v7a"},
    {"hdpi.apk", "config.hdpi"},
    {"xhdpi.apk", "config.xhdpi"},
    {"xxhdpi.apk", "config.xxhdpi"},
    {"en.apk", "config.en"},
    {"zh.apk", "config.zh"},
    {"feature.apk", "maps"},
    {"feature-v8.apk", "maps.config.arm64_v8a"},
    {"feature-v7.apk", "maps.config.armeabi_v7a"},
};

TEST(SplitChoice, ChoosesWhatThePhoneNeedsOrRefuses) {
    const std::vector<BundleSplit> noCode = {{"z.apk", "config.mdpi"}, {"b.apk", ""}};
    const struct {
        const char* what;
        const std::vector<BundleSplit>& bundle;
        PhoneConfig phone;
        std::vector<std::string> files;
        const char* refusal = "";
    } cases[] = {
        // clang-format off
        {"arm64 phone at 440 dpi in Chinese", kBundle,
         {{"arm64-v8a", "armeabi-v7a", "armeabi"}, 440, "zh"},
         {"base.apk", "v8.apk", "xxhdpi.apk", "zh.apk", "feature.apk", "feature-v8.apk"}},
        {"v7a-only phone at 240 dpi in English", kBundle, {{"armeabi-v7a", "armeabi"}, 240, "en"},
         {"base.apk", "v7.apk", "hdpi.apk", "en.apk", "feature.apk", "feature-v7.apk"}},
        {"no language split for French: all of them; 400 dpi is equally near: higher", kBundle,
         {{"arm64-v8a"}, 400, "fr"},
         {"base.apk", "v8.apk", "xxhdpi.apk", "en.apk", "zh.apk", "feature.apk", "feature-v8.apk"}},
        {"density and language unknown: the sharpest, every language", kBundle,
         {{"armeabi-v7a"}, 0, ""},
         {"base.apk", "v7.apk", "xxhdpi.apk", "en.apk", "zh.apk", "feature.apk", "feature-v7.apk"}},
        {"very low density: the lowest", kBundle, {{"arm64-v8a"}, 120, "zh"},
         {"base.apk", "v8.apk", "hdpi.apk", "zh.apk", "feature.apk", "feature-v8.apk"}},
        {"no code splits: every phone fits", noCode, {{"mips"}, 160, "de"}, {"b.apk", "z.apk"}},
        {"no ABI fits: both named", kBundle, {{"x86", "x86_64"}, 320, "zh"}, {},
         "安装包不支持这台手机的CPU类型：安装包有 arm64-v8a、armeabi-v7a，手机是 x86、x86_64。"},
        // clang-format on
    };
    for (const auto& each : cases) {
        const SplitChoice choice = ChooseSplits(each.bundle, each.phone);
        EXPECT_EQ(choice.refusal, each.refusal) << each.what;
        EXPECT_EQ(choice.files, each.files) << each.what;
    }
}

TEST(SplitChoice, NamesAbiOfSplit) {
    EXPECT_EQ(SplitAbi("config.x86_64"), "x86_64");
    EXPECT_EQ(SplitAbi("config.armeabi_v7a"), "armeabi-v7a");
    EXPECT_EQ(SplitAbi("config.xxhdpi"), "");
    EXPECT_EQ(SplitAbi(""), "");
}

}  // namespace
}  // namespace tarnel
