// The direct-facts parsers on transcripts in the forms phones print, beyond those the simulated
// phone prints (read in direct_facts_e2e).

#include "bridge/direct_facts.h"

#include <gtest/gtest.h>

#include "bridge/phone_state.h"

namespace tarnel {
namespace {

constexpr double kKiB = 1024.0;
constexpr double kGiB = 1024.0 * 1024 * 1024;

TEST(DirectFacts, SmallAnswers) {
    EXPECT_EQ(GetpropValue("Pixel 4a\n"), "Pixel 4a");
    EXPECT_EQ(GetpropValue("SO-02H\r\n"), "SO-02H");

    const struct {
        const char* text;
        const char* size;
    } screens[] = {
        {"Physical size: 1080x1920\r\nOverride size: 480x1024\r\n", "480x1024"},
        {"/system/bin/sh: wm: not found\n", ""},
        {"Physical size: 1080xwide\n", ""},
        {"", ""},
    };
    for (const auto& c : screens)
        EXPECT_EQ(ScreenSize(c.text), c.size) << c.text;

    const struct {
        const char* text;
        int count;
    } cpus[] = {
        {"0-7\n", 8},     {"0\n", 1},
        {"0-3,6\r\n", 5}, {"0-1,3,5-6\n", 5},
        {"", 0},          {"cat: /sys/devices/system/cpu/possible: No such file or directory\n", 0},
        {"7-0\n", 0}};
    for (const auto& c : cpus)
        EXPECT_EQ(CpuCount(c.text), c.count) << c.text;

    EXPECT_TRUE(ShowsSu("/sbin/su\r\n"));
    EXPECT_FALSE(ShowsSu("/system/bin/sh: su: not found\n"));
    EXPECT_FALSE(ShowsSu("/system/bin/sh: su: inaccessible or not found\n"));
}

TEST(DirectFacts, Memory) {
    const struct {
        const char* name;
        const char* text;
        double total, free;  // KiB; total 0: nothing
    } cases[] = {
        {"NoMemAvailable",
         "MemTotal:        1894704 kB\r\nMemFree:           91220 kB\r\n"
         "Buffers:           12000 kB\r\nCached:           400000 kB\r\n"
         "SwapCached:            0 kB\r\n",
         1894704, 503220},
        {"WideValue", "MemTotal:       34359738367 kB\nMemAvailable: 1 kB\n", 34359738367, 1},
        {"Nothing", "cat: /proc/meminfo: Permission denied\n", 0, 0},
    };
    for (const auto& c : cases) {
        const auto memory = MemoryFacts(c.text);
        ASSERT_EQ(memory.has_value(), c.total > 0) << c.name;
        if (memory) {
            EXPECT_DOUBLE_EQ(memory->total, c.total * kKiB) << c.name;
            EXPECT_DOUBLE_EQ(memory->free, c.free * kKiB) << c.name;
        }
    }
}

TEST(DirectFacts, DiskSpace) {
    using Reader = std::optional<SpaceFacts> (*)(std::string_view);
    const Reader data = FirstDfRow, card = RemovableCard;
    const struct {
        Reader read;  // the first row of df /data, or the SD card among all of df's rows
        const char* name;
        const char* text;
        double total, free;  // bytes; total 0: nothing
    } cases[] = {
        {data, "ToyboxComplainsFirst",
         "df: /data: Permission denied\nFilesystem 1K-blocks Used Available Use% Mounted on\n"
         "/dev/block/sda17 113977728 30000000 83977728 27% /data\n",
         113977728 * kKiB, 83977728 * kKiB},
        {data, "Toolbox6",
         "Filesystem               Size     Used     Free   Blksize\r\n"
         "/data                   21.9G    12.1G     9.8G   4096\r\n",
         21.9 * kGiB, 9.8 * kGiB},
        {data, "ToolboxMegabytes",
         "Filesystem               Size     Used     Free   Blksize\n"
         "/data                  512.5M   100.0M   412.5M   4096\n",
         512.5 * 1024 * 1024, 412.5 * 1024 * 1024},
        {data, "NoSuchFolder", "df: '/data': No such file or directory\n", 0, 0},
        {data, "HeaderOnly", "Filesystem 1K-blocks Used Available Use% Mounted on\n", 0, 0},
        {data, "Garbage",
         "Filesystem 1K-blocks Used Available Use% Mounted on\n/dev x y z 1% /data\n", 0, 0},

        {card, "ToyboxNoCard",
         "Filesystem     1K-blocks    Used Available Use% Mounted on\n"
         "/dev/block/dm-0 54180496 9876543 44172017 19% /data\n"
         "/dev/fuse      54180496 9876543 44172017 19% /storage/emulated\n",
         0, 0},
        {card, "RawMountOnly",
         "Filesystem 1K-blocks Used Available Use% Mounted on\n"
         "/dev/block/vold/public:179,1 15558144 558144 15000000 4% /mnt/media_rw/0C1E-2F33\n",
         15558144 * kKiB, 15000000 * kKiB},
        {card, "Toolbox44ExtSdCard",
         "Filesystem               Size     Used     Free   Blksize\r\n"
         "/dev                   917.4M    64.0K   917.4M   4096\r\n"
         "/data                   11.5G     3.2G     8.3G   4096\r\n"
         "/storage/sdcard0        11.5G     3.2G     8.3G   4096\r\n"
         "/mnt/secure/asec: Permission denied\r\n"
         "/storage/extSdCard      29.7G     1.2G    28.5G   32768\r\n",
         29.7 * kGiB, 28.5 * kGiB},
        {card, "EmptySlot",
         "Filesystem               Size     Used     Free   Blksize\n"
         "/storage/sdcard1          0.0K     0.0K     0.0K   4096\n",
         0, 0},
    };
    for (const auto& c : cases) {
        const auto space = c.read(c.text);
        ASSERT_EQ(space.has_value(), c.total > 0) << c.name;
        if (space) {
            EXPECT_NEAR(space->total, c.total, 1) << c.name;
            EXPECT_NEAR(space->free, c.free, 1) << c.name;
        }
    }
}

// The simulated phone's whole runs are read in direct_facts_e2e.
TEST(DirectFacts, OnlyAWholeRunFillsTheRecord) {
    const std::string output =
        "::model::\nMI 8\n::brand::\nXiaomi\n::release::\n9\n::abi::\narm64-v8a\n"
        "::cpus::\n0-7\n::wm::\nPhysical size: 1080x2248\n"
        "::mem::\nMemTotal:        5859375 kB\nMemAvailable:    2441406 kB\n"
        "::data::\nFilesystem 1K-blocks Used Available Use% Mounted on\n"
        "/dev/block/dm-0 62500000 43000000 19531250 69% /data\n"
        "::mounts::\nFilesystem 1K-blocks Used Available Use% Mounted on\n"
        "/dev/block/vold/public:179,65 31250000 1953125 29296875 7% /storage/1A2B-3C4D\n"
        "::su::\n::end::\n";
    DeviceInfo info;
    ASSERT_TRUE(ParseDirectFacts(output, info));
    EXPECT_EQ(info.deviceCPUCount, "8");
    EXPECT_DOUBLE_EQ(info.sdcardSizeFree, 30000000000);

    // A run cut short, or adb's own complaint, changes nothing.
    DeviceInfo kept;
    kept.model = "earlier";
    EXPECT_FALSE(ParseDirectFacts(output.substr(0, output.size() - 8), kept));
    EXPECT_FALSE(ParseDirectFacts("error: device unauthorized.\n", kept));
    EXPECT_FALSE(ParseDirectFacts("", kept));
    EXPECT_EQ(kept.model, "earlier");
}

TEST(PhoneState, ReadsEachListing) {
    const struct {
        const char* output;
        PhoneState state;
    } cases[] = {
        {"List of devices attached\n0123456789ABCDEF\tdevice\n\n", PhoneState::Ready},
        {"List of devices attached\n127.0.0.1:7003\tunauthorized\n\n", PhoneState::Unauthorized},
        {"List of devices attached\r\n0123\tno permissions (user in plugdev group; are your udev "
         "rules wrong?); see [http://developer.android.com/tools/device.html]\r\n",
         PhoneState::NoPermissions},
        {"List of devices attached\n????????????\tno permissions\n", PhoneState::NoPermissions},
        {"List of devices attached\nA\tunauthorized\nB\tdevice\n", PhoneState::Ready},
        {"List of devices attached\nA\tno permissions; see [x]\nB\tunauthorized\n",
         PhoneState::Unauthorized},
        {"List of devices attached\nA\toffline\n\n", PhoneState::Absent},
        {"* daemon not running; starting now at tcp:5037\nList of devices attached\n\n",
         PhoneState::Absent},
        {"unauthorized\tdevice\n", PhoneState::Absent},
        {"", PhoneState::Absent},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParsePhoneState(c.output), c.state) << c.output;
}

}  // namespace
}  // namespace tarnel
