#pragma once

#include <string>
#include <string_view>

namespace tarnel {

// `adb devices`: true when a line after the "List of devices attached" header lists a device in
// state "device" (offline and unauthorized phones do not count; start-up lines before the header
// are ignored).
bool ListsReadyDevice(std::string_view devicesOutput);

// `pm list package`: true when a whole line is "package:" and the name, so a longer or prefixed
// name ("com.kestrum.player.debug", "com.kestrum.player2", "xcom.kestrum.player") does not count.
bool ListsPackage(std::string_view packageList, std::string_view packageName);

// The version after "versionName=" in a `dumpsys package` text, up to the end of its line; empty
// when missing.
std::string DumpedVersionName(std::string_view dump);

// Compares dotted version numbers numerically, missing parts counting as 0 ("2.2" equals
// "2.2.0", "2.10.0" is newer than "2.2.0"). An empty or non-numeric version is older than any.
bool IsVersionAtLeast(std::string_view version, std::string_view minimum);

// Whether an `adb install` text holds the result line "Success" that the phone's package
// manager writes, as a line of its own: the APK's path that adb echoes ("Success.apk", a folder
// named Success) never counts.
bool ReportsInstallSuccess(std::string_view installOutput);

// The failure code of an `adb install` text: the leading [A-Z0-9_] run inside the brackets after
// "Failure" ("INSTALL_FAILED_ALREADY_EXISTS" from "[INSTALL_FAILED_ALREADY_EXISTS: Attempt…]"),
// taken only from a result line: one that starts with "Failure", or adb's "adb: failed to
// install PATH: Failure [...]" after the path. "NONE" when no such line is there.
std::string InstallFailureCode(std::string_view installOutput);

// The package manager's refusal of the SD-card option "-s" (Android 10 on: "Unknown option -s" in
// an IllegalArgumentException's line; old pm: "Error: Unknown option: -s"), as a line of its own.
bool ReportsUnknownSdCardOption(std::string_view installOutput);

// adb's own complaint that it cannot choose among several attached phones.
bool ReportsSeveralDevices(std::string_view adbOutput);

// `ls` on the phone of a folder that is not there.
bool ReportsNoSuchFile(std::string_view lsOutput);

// `adb pull` of a file the phone lacks, in the words of old and current adb.
bool ReportsMissingRemoteFile(std::string_view pullOutput);

// The last whole-push progress figure ("[ NN%]") in a piece of adb's terminal output, or -1.
int LastPercent(std::string_view output);

}  // namespace tarnel
