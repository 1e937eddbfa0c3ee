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

struct ChoiceCase {
    const char* what;
    PhoneConfig phone;
    std::vector<std::string> files;
};

class SplitChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(SplitChoiceTest, ChoosesWhatThePhoneNeeds) {
    const SplitChoice choice = ChooseSplits(kBundle, GetParam().phone);
    EXPECT_EQ(choice.refusal, "");
    EXPECT_EQ(choice.files, GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    Phones, SplitChoiceTest,
    ::testing::Values(
        ChoiceCase{"arm64 phone at 440 dpi in Chinese",
                   {{"arm64-v8a", "armeabi-v7a", "armeabi"}, 440, "zh"},
                   {"base.apk", "v8.apk", "xxhdpi.apk", "zh.apk", "feature.apk", "feature-v8.apk"}},
        ChoiceCase{"v7a-only phone at 240 dpi in English",
                   {{"armeabi-v7a", "armeabi"}, 240, "en"},
                   {"base.apk", "v7.apk", "hdpi.apk", "en.apk", "feature.apk", "feature-v7.apk"}},
        ChoiceCase{"no language split for French: all of them; 400 dpi is equally near: higher",
                   {{"arm64-v8a"}, 400, "fr"},
                   {"base.apk", "v8.apk", "xxhdpi.apk", "en.apk", "zh.apk", "feature.apk",
                    "feature-v8.apk"}},
        ChoiceCase{"density and language unknown: the sharpest, every language",
                   {{"armeabi-v7a"}, 0, ""},
                   {"base.apk", "v7.apk", "xxhdpi.apk", "en.apk", "zh.apk", "feature.apk",
                    "feature-v7.apk"}},
        ChoiceCase{"very low density: the lowest",
                   {{"arm64-v8a"}, 120, "zh"},
                   {"base.apk", "v8.apk", "hdpi.apk", "zh.apk", "feature.apk", "feature-v8.apk"}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(SplitChoice, RefusesAPhoneWhoseAbisNoSplitFitsNamingBoth) {
    const SplitChoice choice = ChooseSplits(kBundle, {{"x86", "x86_64"}, 320, "zh"});
    EXPECT_TRUE(choice.files.empty());
    EXPECT_EQ(
        choice.refusal,
        "安装包不支持这台手机的CPU类型：安装包有 arm64-v8a、armeabi-v7a，手机是 x86、x86_64。");
}

TEST(SplitChoice, BundlesWithoutCodeSplitsFitEveryPhone) {
    const SplitChoice choice =
        ChooseSplits({{"z.apk", "config.mdpi"}, {"b.apk", ""}}, {{"mips"}, 160, "de"});
    EXPECT_EQ(choice.files, (std::vector<std::string>{"b.apk", "z.apk"}));
}

TEST(SplitChoice, NamesAbiOfSplit) {
    EXPECT_EQ(SplitAbi("config.x86_64"), "x86_64");
    EXPECT_EQ(SplitAbi("config.armeabi_v7a"), "armeabi-v7a");
    EXPECT_EQ(SplitAbi("config.xxhdpi"), "");
    EXPECT_EQ(SplitAbi(""), "");
}

}  // namespace
}  // namespace tarnel
