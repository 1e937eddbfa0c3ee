#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnel::sim {

struct ScenarioPackage {
    std::string versionName;
    int64_t versionCode = 1;
};

enum class InstallResultForm { Modern, Old };

// What the simulated phone is and how it misbehaves. Every key of the JSON file is optional.
struct Scenario {
    std::string model = "MI 8";
    std::string brand = "Xiaomi";
    std::string release = "9";
    std::string display = "1080x2248";  // what the screen shows (wm's override when one is set)
    std::string physicalDisplay;        // the panel's own size; empty: the same as display
    bool root = false;
    std::string cpuType = "arm64-v8a";
    int cpuCount = 8;
    uint64_t ramTotal = 6000000000;
    uint64_t ramFree = 2500000000;
    uint64_t dataTotal = 64000000000;
    uint64_t dataFree = 20000000000;
    bool sdcard = true;
    uint64_t sdTotal = 32000000000;
    uint64_t sdFree = 30000000000;
    uint64_t capacity = 20000000000;  // bytes pushes may add under /sdcard
    std::map<std::string, ScenarioPackage> packages;
    int companionDelayMs = 1000;
    std::string installResult = "Success";
    double installSeconds = 0;  // how long an accepted install works silently before its answer
    InstallResultForm installResultForm = InstallResultForm::Modern;
    uint64_t dropAfterBytes = 0;
    uint64_t hangAfterBytes = 0;
    uint64_t throughput = 0;  // stream bytes a second, both ways together; 0: no limit
    bool screencap = true;    // false: no screencap command, like Android 2
    bool hang = false;
    bool refuseHandshake = false;
    std::vector<std::string> features;  // what the phone advertises to adb
    // For split APKs: ro.product.cpu.abilist (empty: unset, as before Android 5), the screen
    // density of "wm density" and ro.sf.lcd_density, persist.sys.locale.
    std::vector<std::string> abis = {"arm64-v8a", "armeabi-v7a", "armeabi"};
    int density = 440;
    std::string locale = "zh-CN";
};

struct DisplaySize {
    int width = 0;
    int height = 0;
};

// "1080x2248"; nothing unless both sides are whole numbers from 1 to 8192.
std::optional<DisplaySize> ParseDisplaySize(std::string_view text);

// The feature set of an Android 10 phone, so that adb takes its modern paths.
std::vector<std::string> ModernFeatures();

// Parses a scenario file's text. Throws std::runtime_error naming the bad key.
Scenario ParseScenario(const std::string& jsonText);

}  // namespace tarnel::sim
