// The direct-facts parsers on the forms phones print that the simulated phone does not (its forms
// are read in bridge_e2e): older tools, odd spacing, complaints and garbage.

#include "bridge/direct_facts.h"

#include <gtest/gtest.h>

#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

constexpr double kKiB = 1024.0;
constexpr double kGiB = 1024.0 * 1024 * 1024;

// What a phone printed, byte for byte, from tests/data/phone.
std::string Transcript(const std::string& name) {
    const auto path = std::filesystem::path(TARNEL_SOURCE_DIR) / "tests/data/phone" / name;
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    return test::ReadFile(path);
}

TEST(DirectFacts, SmallAnswers) {
    EXPECT_EQ(GetpropValue("Pixel 4a\n"), "Pixel 4a");
    EXPECT_EQ(GetpropValue("SO-02H\r\n"), "SO-02H");

    const struct {
        const char* text;
        const char* size;
    } screens[] = {
        {"Physical size: 1080xwide\n", ""},
        {"", ""},
    };
    for (const auto& c : screens)
        EXPECT_EQ(ScreenSize(c.text), c.size) << c.text;

    const struct {
        const char* text;
        int count;
    } cpus[] = {{"0-3,6\r\n", 5},
                {"0-1,3,5-6\n", 5},
                {"", 0},
                {"cat: /sys/devices/system/cpu/possible: No such file or directory\n", 0},
                {"7-0\n", 0}};
    for (const auto& c : cpus)
        EXPECT_EQ(CpuCount(c.text), c.count) << c.text;

    EXPECT_TRUE(ShowsSu("/sbin/su\r\n"));
    EXPECT_FALSE(ShowsSu("/system/bin/sh: su: inaccessible or not found\n"));
}

// Each file is what a phone printed (tests/data/phone).
TEST(DirectFacts, Memory) {
    const struct {
        const char* file;
        double total, free;  // KiB; total 0: nothing
    } cases[] = {
        {"meminfo-without-memavailable.txt", 1894704, 503220},
        {"meminfo-wide-value.txt", 34359738367, 1},
        {"meminfo-denied.txt", 0, 0},
    };
    for (const auto& c : cases) {
        const auto memory = MemoryFacts(Transcript(c.file));
        ASSERT_EQ(memory.has_value(), c.total > 0) << c.file;
        if (memory) {
            EXPECT_DOUBLE_EQ(memory->total, c.total * kKiB) << c.file;
            EXPECT_DOUBLE_EQ(memory->free, c.free * kKiB) << c.file;
        }
    }
}

// The first row of df /data ("df-data-..."), or the SD card among all of df's rows ("df-card-...").
TEST(DirectFacts, DiskSpace) {
    const struct {
        std::string file;
        double total, free;  // bytes; total 0: nothing
    } cases[] = {
        {"df-data-toybox-complains-first.txt", 113977728 * kKiB, 83977728 * kKiB},
        {"df-data-toolbox-megabytes.txt", 512.5 * 1024 * 1024, 412.5 * 1024 * 1024},
        {"df-data-no-such-folder.txt", 0, 0},
        {"df-data-header-only.txt", 0, 0},
        {"df-data-garbage.txt", 0, 0},
        {"df-card-raw-mount-only.txt", 15558144 * kKiB, 15000000 * kKiB},
        {"df-card-toolbox44-extsdcard.txt", 29.7 * kGiB, 28.5 * kGiB},
        {"df-card-empty-slot.txt", 0, 0},
    };
    for (const auto& c : cases) {
        const std::string text = Transcript(c.file);
        const auto space = c.file.starts_with("df-card-") ? RemovableCard(text) : FirstDfRow(text);
        ASSERT_EQ(space.has_value(), c.total > 0) << c.file;
        if (space) {
            EXPECT_NEAR(space->total, c.total, 1) << c.file;
            EXPECT_NEAR(space->free, c.free, 1) << c.file;
        }
    }
}

// The simulated phone's whole runs, in each Android's forms, are read in bridge_e2e.
TEST(DirectFacts, OnlyAWholeRunFillsTheRecord) {
    DeviceInfo kept;
    kept.model = "earlier";
    for (const char* output : {"::model::\nMI 8\n::brand::\nXiaomi\n::su::\n::en",
                               "error: device unauthorized.\n", ""}) {
        EXPECT_FALSE(ParseDirectFacts(output, kept)) << output;
    }
    EXPECT_EQ(kept.model, "earlier");
}

}  // namespace
}  // namespace tarnel
