#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "installer/package/entry_attributes.h"
#include "installer/package/entry_name_policy.h"
#include "installer/package/entry_times.h"
#include "installer/package/package_archive.h"
#include "installer/package/package_check.h"
#include "installer/package/package_writer.h"
#include "platform/text_codec.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

struct AttributeCase {
    std::uint32_t external;
    bool slash;
    std::uint32_t expected;
};

TEST(EntryAttributes, FollowTheDosBitsAndTheUnixMode) {
    const AttributeCase cases[] = {
        {0x81A40000, false, kAttributeNormal},                        // Unix 0100644
        {0x81240000, false, kAttributeNormal | kAttributeReadOnly},   // Unix 0100444
        {0x41ED0010, false, kAttributeNormal | kAttributeDirectory},  // Unix folder, DOS bit
        // Windows: upper half zero, so every file is read-only.
        {0x00000020, false, kAttributeNormal | kAttributeReadOnly | kAttributeArchive},
        {0x00000007, false,
         kAttributeNormal | kAttributeReadOnly | kAttributeHidden | kAttributeSystem},
        {0x81A40001, false, kAttributeNormal | kAttributeReadOnly},
        {0x81A40000, true, kAttributeNormal | kAttributeDirectory},
        {0xA1FF0000, false, kAttributeNormal | kAttributeSymbolicLink},  // 0120777
    };
    for (const AttributeCase& c : cases) {
        EXPECT_EQ(AttributesFromExternal(c.external, c.slash), c.expected)
            << std::hex << c.external;
    }
}

struct TimestampCase {
    std::vector<std::uint8_t> field;
    EntryTimes expected;
};

TEST(ExtendedTimestamp, ReplacesOnlyTheTimesPresent) {
    const std::time_t dos = 1000;
    const TimestampCase cases[] = {
        {{}, {dos, dos, dos}},
        {{0x01, 0x10, 0x00, 0x00, 0x00}, {dos, dos, 16}},
        // Flags name three times, the central copy holds one.
        {{0x07, 0x10, 0x00, 0x00, 0x00}, {dos, dos, 16}},
        {{0x03, 0x10, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00}, {dos, 32, 16}},
        {{0x06, 0x10, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00}, {32, 16, dos}},
        {{0x01, 0xFF, 0xFF, 0xFF, 0xFF}, {dos, dos, -1}},
        {{0x01, 0x10, 0x00}, {dos, dos, dos}},
    };
    for (const TimestampCase& c : cases) {
        EntryTimes times = TimesFromDos(dos);
        ApplyExtendedTimestamp(c.field, times);
        EXPECT_EQ(times.creation, c.expected.creation);
        EXPECT_EQ(times.access, c.expected.access);
        EXPECT_EQ(times.modification, c.expected.modification);
    }
}

struct NameCase {
    const char* name;
    NameVerdict verdict;
};

TEST(EntryNames, UnsafeNamesAreRecognised) {
    // How a skipped entry is reported is in the unpack and --extract tests.
    const NameCase cases[] = {
        {"android/obb/com.x/main.obb", NameVerdict::Safe},
        {"android\\obb\\main.obb", NameVerdict::Safe},
        {"a/./b", NameVerdict::Safe},
        {"a..b/..c", NameVerdict::Safe},
        {"dir/", NameVerdict::Safe},
        {"/tmp/escape", NameVerdict::Absolute},
        {"\\escape", NameVerdict::Absolute},
        {"c:escape", NameVerdict::DriveLetter},
        {"a/..", NameVerdict::ParentReference},
        {"..\\escape", NameVerdict::ParentReference},
        {"tab\there", NameVerdict::ControlCharacter},
        {"", NameVerdict::Empty},
        {"./", NameVerdict::Empty},
    };
    for (const NameCase& c : cases) {
        EXPECT_EQ(JudgeEntryName(c.name), c.verdict) << c.name;
    }
}

TEST(EntryNames, ComponentsDropEmptyAndDotParts) {
    EXPECT_EQ(NameComponents("a//b\\./c/"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(NameComponents("你好.txt"), (std::vector<std::string>{"你好.txt"}));
}

// Packages that would show one thing and install another, or reach beyond their game's folders.
// The routes that refuse them (--info, --extract, --no-gui, the window) are in installer_cli.
TEST(PackageEntries, TwinsDeepNamesAndDataOutsideTheGameAreRefused) {
    SetNarrowCharset("UTF-8");
    const std::string obb = "android/obb/com.example.vega/";
    const std::string twins = "只差大小写的同名文件", outside = "不在本游戏自己的文件夹内：";
    std::string deep;
    for (int i = 0; i < 3000; ++i)
        deep += "d/";
    const struct {
        std::vector<std::string> names;
        std::string refusal;  // part of it; empty: accepted
    } cases[] = {
        {{"com.example.vega.apk", obb + "main.obb", "android/data/com.example.vega/f"}, ""},
        {{"com.example.vega.apk", "Com.Example.Vega.apk"}, twins},
        {{obb + "levels/1.txt", "Android/OBB/com.example.vega/Levels/1.txt"}, twins},
        {{"android/obb/com.other.game/x.obb"}, outside + "android/obb/com.other.game/x.obb"},
        {{"android/obb/readme.txt"}, outside + "android/obb/readme.txt"},
        {{deep + "f"}, "文件夹层次太深"},
    };
    for (const auto& c : cases) {
        test::TestFolder folder;
        std::optional<PackageWriter> writer = PackageWriter::Create(folder / "vega.tpk");
        for (const std::string& name : c.names)
            writer->AddFile(name, "x");
        ASSERT_TRUE(writer->Finish());
        const std::string refusal =
            CheckPackageEntries(*PackageArchive::Open(folder / "vega.tpk"), "com.example.vega");
        EXPECT_EQ(refusal.empty(), c.refusal.empty()) << c.names.back().substr(0, 80);
        EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal.substr(0, 200);
    }
}

}  // namespace
}  // namespace tarnel
