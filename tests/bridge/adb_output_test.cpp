#include "bridge/adb_output.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

TEST(ListsPackage, MatchesTheWholeLine) {
    const struct {
        const char* list;
        bool listed;
    } cases[] = {
        {"package:com.kestrum.player.debug\n", false},
        {"package:com.kestrum.player.debug\npackage:com.kestrum.player\n", true},
        {"package:com.kestrum.player", true},
        {"package:com.android.shell\r\npackage:com.kestrum.player\r\n", true},
        {"package:com.kestrum.player2\n", false},
        {"package:xcom.kestrum.player\n", false},
        {"package:com.kestrum.players\npackage:org.com.kestrum.player\n", false},
        {"com.kestrum.player\n", false},
        {"Error: java.lang.SecurityException: com.kestrum.player\n", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListsPackage(c.list, "com.kestrum.player"), c.listed) << c.list;
}

TEST(CompanionVersion, ComparesNumerically) {
    const struct {
        const char* dump;
        bool current;
    } cases[] = {
        {"    versionName=2.2.0\n", true},      {"    versionName=2.2.1\r\n", true},
        {"    versionName=2.10.0\n", true},     {"    versionName=2.1.9\n", false},
        {"    versionName=2.2.0-beta\n", true}, {"    versionName=\n", false},
        {"Unable to find package", false},      {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsVersionAtLeast(DumpedVersionName(c.dump), "2.2.0"), c.current) << c.dump;
    }
}

// The modern form as the simulated phone prints it is read in flow_e2e; here the old form and the
// forms it does not print.
TEST(InstallFailureCode, TakesTheCodeOfOldAndModernAdb) {
    const struct {
        const char* output;
        const char* code;
    } cases[] = {
        {"Failure [INSTALL_FAILED_VERSION_DOWNGRADE]", "INSTALL_FAILED_VERSION_DOWNGRADE"},
        {"Failure INSTALL_PARSE_FAILED_NOT_APK", "INSTALL_PARSE_FAILED_NOT_APK"},
        {"adb: error: failed to get feature set: no devices/emulators found\n", "NONE"},
        {"", "NONE"},
        // The path that adb echoes is never read as the phone's words.
        {"adb: failed to install /g/Failure [EVIL]/a.apk: Failure [INSTALL_FAILED_INVALID_APK]\n",
         "INSTALL_FAILED_INVALID_APK"},
        {"/g/Failure [EVIL].apk: 1 file pushed.\n\tpkg: /data/local/tmp/Failure [EVIL].apk\n",
         "NONE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstallFailureCode(c.output), c.code) << c.output;
}

TEST(AdbResultLines, OnlyAdbsOwnLinesCount) {
    EXPECT_TRUE(ReportsInstallSuccess("Performing Streamed Install\r\nSuccess\r\n"));
    EXPECT_FALSE(
        ReportsInstallSuccess("/g/Success/Success.apk: 1 file pushed.\n"
                              "\tpkg: /data/local/tmp/Success.apk\nFailure [X]\n"));
    EXPECT_TRUE(
        ReportsSeveralDevices("adb: error: failed to get feature set: more than one "
                              "device/emulator\n"));
    EXPECT_TRUE(ReportsSeveralDevices("error: more than one device/emulator\n"));
    EXPECT_FALSE(ReportsSeveralDevices("[ 50%] /sdcard/more than one device/emulator.obb\n"));
    EXPECT_TRUE(ReportsUnknownSdCardOption("Error: Unknown option: -s\r\n"));
    EXPECT_FALSE(ReportsUnknownSdCardOption(
        "adb: failed to install /g/java.lang.IllegalArgumentException: Unknown option -s.apk: "
        "Failure [INSTALL_FAILED_INVALID_APK]\n"));
}

TEST(ReportsMissingRemoteFile, KnowsBothWordings) {
    EXPECT_TRUE(ReportsMissingRemoteFile(
        "adb: error: remote object '/sdcard/screencap.png' does not exist\n"));
    EXPECT_TRUE(
        ReportsMissingRemoteFile("adb: error: failed to stat remote object "
                                 "'/sdcard/screencap.png': No such file or directory\n"));
    EXPECT_FALSE(ReportsMissingRemoteFile("/sdcard/screencap.png: 1 file pulled. 3.2 MB/s\n"));
}

TEST(LastPercent, FindsTheNewestFigure) {
    EXPECT_EQ(LastPercent("[  5%] /sdcard/a\r[ 42%] /sdcard/a"), 42);
    EXPECT_EQ(LastPercent("[100%] /sdcard/a\n"), 100);
    EXPECT_EQ(LastPercent("android/: 3 files pushed."), -1);
    EXPECT_EQ(LastPercent("%"), -1);
    // The whole push's figure, not the file's, nor one in a file name.
    EXPECT_EQ(LastPercent("[ 42%] /sdcard/android/obb/g/main.obb: 73%"), 42);
    EXPECT_EQ(LastPercent("[  7%] /sdcard/[ 99%]: 12%"), 7);
}

}  // namespace
}  // namespace tarnel
