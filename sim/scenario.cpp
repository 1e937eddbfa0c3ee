#include "sim/scenario.h"

#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <type_traits>

namespace tarnel::sim {

namespace {

using nlohmann::json;

const std::set<std::string>& KnownKeys() {
    static const std::set<std::string> keys = {"model",
                                               "brand",
                                               "release",
                                               "display",
                                               "physicalDisplay",
                                               "root",
                                               "cpuType",
                                               "cpuCount",
                                               "ramTotal",
                                               "ramFree",
                                               "dataTotal",
                                               "dataFree",
                                               "sdcard",
                                               "sdTotal",
                                               "sdFree",
                                               "capacity",
                                               "packages",
                                               "companionDelayMs",
                                               "installResult",
                                               "installSeconds",
                                               "installResultForm",
                                               "dropAfterBytes",
                                               "throughput",
                                               "hangAfterBytes",
                                               "hang",
                                               "refuseHandshake",
                                               "features",
                                               "screencap",
                                               "abis",
                                               "density",
                                               "locale"};
    return keys;
}

template <typename T>
void Read(const json& object, const char* key, T& target) {
    const auto it = object.find(key);
    if (it == object.end()) {
        return;
    }
    if constexpr (std::is_same_v<T, uint64_t>) {
        if (!it->is_number_unsigned()) {
            throw std::runtime_error(std::string("scenario key \"") + key +
                                     "\" must be a number of bytes");
        }
    }
    try {
        target = it->get<T>();
    } catch (const json::exception&) {
        throw std::runtime_error(std::string("scenario key \"") + key + "\" has the wrong type");
    }
}

ScenarioPackage ReadPackage(const std::string& name, const json& value) {
    ScenarioPackage package;
    if (value.is_string()) {
        package.versionName = value.get<std::string>();
        return package;
    }
    if (!value.is_object() || !value.contains("versionName")) {
        throw std::runtime_error("package \"" + name +
                                 "\" needs a versionName string or {\"versionName\", "
                                 "\"versionCode\"}");
    }
    Read(value, "versionName", package.versionName);
    Read(value, "versionCode", package.versionCode);
    return package;
}

std::vector<std::string> ReadFeatures(const json& value) {
    if (value == "modern") {
        return ModernFeatures();
    }
    if (value == "legacy") {
        return {};
    }
    if (value.is_array()) {
        std::vector<std::string> names;
        for (const json& each : value) {
            if (!each.is_string()) {
                break;
            }
            names.push_back(each.get<std::string>());
        }
        if (names.size() == value.size()) {
            return names;
        }
    }
    throw std::runtime_error(
        "scenario key \"features\" must be \"modern\", \"legacy\" or a list of names");
}

bool ParseSide(std::string_view text, int& side) {
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    side = std::stoi(std::string(text));
    return side >= 1 && side <= 8192;
}

}  // namespace

std::optional<DisplaySize> ParseDisplaySize(std::string_view text) {
    const size_t x = text.find('x');
    DisplaySize size;
    if (x == std::string_view::npos || !ParseSide(text.substr(0, x), size.width) ||
        !ParseSide(text.substr(x + 1), size.height)) {
        return std::nullopt;
    }
    return size;
}

std::vector<std::string> ModernFeatures() {
    return {"shell_v2",
            "cmd",
            "stat_v2",
            "ls_v2",
            "fixed_push_mkdir",
            "apex",
            "abb",
            "abb_exec",
            "fixed_push_symlink_timestamp",
            "remount_shell"};
}

Scenario ParseScenario(const std::string& jsonText) {
    json object;
    try {
        object = json::parse(jsonText);
    } catch (const json::parse_error& error) {
        throw std::runtime_error(std::string("scenario is not valid JSON: ") + error.what());
    }
    if (!object.is_object()) {
        throw std::runtime_error("scenario must be a JSON object");
    }
    for (const auto& [key, value] : object.items()) {
        if (!KnownKeys().contains(key)) {
            throw std::runtime_error("unknown scenario key \"" + key + "\"");
        }
    }
    Scenario scenario;
    scenario.features = ModernFeatures();
    Read(object, "model", scenario.model);
    Read(object, "brand", scenario.brand);
    Read(object, "release", scenario.release);
    Read(object, "display", scenario.display);
    Read(object, "physicalDisplay", scenario.physicalDisplay);
    Read(object, "root", scenario.root);
    Read(object, "cpuType", scenario.cpuType);
    Read(object, "cpuCount", scenario.cpuCount);
    Read(object, "ramTotal", scenario.ramTotal);
    Read(object, "ramFree", scenario.ramFree);
    Read(object, "dataTotal", scenario.dataTotal);
    Read(object, "dataFree", scenario.dataFree);
    Read(object, "sdcard", scenario.sdcard);
    Read(object, "sdTotal", scenario.sdTotal);
    Read(object, "sdFree", scenario.sdFree);
    Read(object, "capacity", scenario.capacity);
    Read(object, "companionDelayMs", scenario.companionDelayMs);
    Read(object, "installResult", scenario.installResult);
    Read(object, "installSeconds", scenario.installSeconds);
    Read(object, "dropAfterBytes", scenario.dropAfterBytes);
    Read(object, "throughput", scenario.throughput);
    Read(object, "hangAfterBytes", scenario.hangAfterBytes);
    Read(object, "screencap", scenario.screencap);
    Read(object, "hang", scenario.hang);
    Read(object, "refuseHandshake", scenario.refuseHandshake);
    Read(object, "abis", scenario.abis);
    Read(object, "density", scenario.density);
    Read(object, "locale", scenario.locale);
    if (object.contains("packages")) {
        const json& packages = object["packages"];
        if (!packages.is_object()) {
            throw std::runtime_error("scenario key \"packages\" must map names to versions");
        }
        for (const auto& [name, value] : packages.items()) {
            scenario.packages[name] = ReadPackage(name, value);
        }
    }
    if (object.contains("installResultForm")) {
        const json& form = object["installResultForm"];
        if (form != "modern" && form != "old") {
            throw std::runtime_error("scenario key \"installResultForm\" must be modern or old");
        }
        scenario.installResultForm =
            form == "old" ? InstallResultForm::Old : InstallResultForm::Modern;
    }
    if (object.contains("features")) {
        scenario.features = ReadFeatures(object["features"]);
    }
    if (!ParseDisplaySize(scenario.display)) {
        throw std::runtime_error("scenario key \"display\" must look like 1080x2248");
    }
    if (!scenario.physicalDisplay.empty() && !ParseDisplaySize(scenario.physicalDisplay)) {
        throw std::runtime_error("scenario key \"physicalDisplay\" must look like 1080x2248");
    }
    if (scenario.installResult != "Success" &&
        (scenario.installResult.empty() ||
         scenario.installResult.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") !=
             std::string::npos)) {
        throw std::runtime_error(
            "scenario key \"installResult\" must be Success or a code like INSTALL_FAILED_X");
    }
    if (scenario.density < 72 && scenario.density != 0) {
        throw std::runtime_error("scenario key \"density\" must be 0 (unknown) or at least 72");
    }
    if (scenario.companionDelayMs < 0 || scenario.cpuCount < 0) {
        throw std::runtime_error("scenario delays and counts cannot be negative");
    }
    if (!(scenario.installSeconds >= 0 && scenario.installSeconds <= 3600)) {
        throw std::runtime_error("scenario key \"installSeconds\" must be from 0 to 3600");
    }
    return scenario;
}

}  // namespace tarnel::sim
