#include "sim/phone.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "sim/home_screen.h"

namespace tarnel::sim {

namespace {

// The banner splits on ':', ';' and '=': keep them out of its values.
std::string BannerValue(std::string_view text) {
    std::string value(text);
    std::replace_if(
        value.begin(), value.end(),
        [](char c) { return c == ':' || c == ';' || c == '=' || c == ',' || c < ' '; }, '_');
    return value;
}

std::string ProductName(std::string_view model) {
    std::string name;
    for (char c : model) {
        const bool alphanumeric =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        name.push_back(alphanumeric ? static_cast<char>(c | (c >= 'A' && c <= 'Z' ? 0x20 : 0))
                                    : '_');
    }
    return name.empty() ? "phone" : name;
}

std::string SdkLevel(std::string_view release) {
    static const std::map<std::string_view, std::string_view> levels = {
        {"4.0", "14"}, {"4.1", "16"}, {"4.2", "17"}, {"4.3", "18"}, {"4.4", "19"}, {"5.0", "21"},
        {"5.1", "22"}, {"6.0", "23"}, {"7.0", "24"}, {"7.1", "25"}, {"8.0", "26"}, {"8.1", "27"},
        {"9", "28"},   {"10", "29"},  {"11", "30"},  {"12", "31"},  {"13", "33"},  {"14", "34"}};
    for (std::string_view key = release; !key.empty();) {
        if (const auto it = levels.find(key); it != levels.end()) {
            return std::string(it->second);
        }
        const size_t dot = key.rfind('.');
        key = dot == std::string_view::npos ? std::string_view() : key.substr(0, dot);
    }
    if (const auto it = levels.find(std::string(release) + ".0"); it != levels.end()) {
        return std::string(it->second);
    }
    return "28";
}

std::string Meminfo(const Scenario& scenario) {
    const auto line = [](const char* name, uint64_t bytes) {
        char text[80];
        std::snprintf(text, sizeof text, "%-16s%8llu kB\n", name,
                      static_cast<unsigned long long>(bytes / 1024));
        return std::string(text);
    };
    const uint64_t free = scenario.ramFree / 3;
    return line("MemTotal:", scenario.ramTotal) + line("MemFree:", free) +
           line("MemAvailable:", scenario.ramFree) + line("Buffers:", scenario.ramFree / 10) +
           line("Cached:", scenario.ramFree / 2) + line("SwapCached:", 0);
}

// What the kernel shows about memory and cores, as files under /proc and /sys.
void WriteKernelFiles(const Scenario& scenario, const PhoneFileSystem& files) {
    const std::string cores =
        scenario.cpuCount <= 1 ? "0\n" : "0-" + std::to_string(scenario.cpuCount - 1) + "\n";
    const std::pair<std::string_view, std::string> kernelFiles[] = {
        {"/proc/meminfo", Meminfo(scenario)},
        {"/sys/devices/system/cpu/possible", cores},
    };
    for (const auto& [path, text] : kernelFiles) {
        const std::string_view folder = path.substr(0, path.rfind('/'));
        if (const int error = files.MakeDirectories(folder, true)) {
            throw std::filesystem::filesystem_error(
                "cannot create the phone's kernel files", files.Root(),
                std::error_code(error, std::generic_category()));
        }
        std::ofstream(files.Locate(path, Access::Write, true).host, std::ios::trunc) << text;
    }
}

}  // namespace

Phone::Phone(Scenario scenario, const std::filesystem::path& root)
    : scenario_(std::move(scenario)),
      files_(root, scenario_.capacity),
      packages_(scenario_, files_),
      activities_(scenario_, packages_, files_) {
    files_.CreateLayout();
    WriteKernelFiles(scenario_, files_);
}

bool Phone::HasFeature(std::string_view name) const {
    return std::find(scenario_.features.begin(), scenario_.features.end(), name) !=
           scenario_.features.end();
}

bool Phone::RefusesSdCardOption() const {
    return HasFeature("cmd") && std::atoi(scenario_.release.c_str()) >= 10;
}

std::string Phone::Banner() const {
    std::string features;
    for (const std::string& feature : scenario_.features) {
        features += (features.empty() ? "" : ",") + BannerValue(feature);
    }
    const std::string product = ProductName(scenario_.model);
    return "device::ro.product.name=" + product +
           ";ro.product.model=" + BannerValue(scenario_.model) + ";ro.product.device=" + product +
           ";features=" + features;
}

std::map<std::string, std::string> Phone::Properties() const {
    std::map<std::string, std::string> properties = {
        {"ro.product.model", scenario_.model},
        {"ro.product.brand", scenario_.brand},
        {"ro.product.manufacturer", scenario_.brand},
        {"ro.product.name", ProductName(scenario_.model)},
        {"ro.product.device", ProductName(scenario_.model)},
        {"ro.product.cpu.abi", scenario_.cpuType},
        {"ro.build.version.release", scenario_.release},
        {"ro.build.version.sdk", SdkLevel(scenario_.release)},
        {"ro.secure", scenario_.root ? "0" : "1"},
        {"ro.debuggable", scenario_.root ? "1" : "0"},
        {"sys.boot_completed", "1"},
    };
    std::string abilist;
    for (const std::string& abi : scenario_.abis) {
        abilist += (abilist.empty() ? "" : ",") + abi;
    }
    const auto setUnlessEmpty = [&](const char* name, const std::string& value) {
        if (!value.empty() && value != "0") {
            properties[name] = value;
        }
    };
    setUnlessEmpty("ro.product.cpu.abilist", abilist);
    setUnlessEmpty("ro.sf.lcd_density", std::to_string(scenario_.density));
    setUnlessEmpty("persist.sys.locale", scenario_.locale);
    return properties;
}

const std::string& Phone::ScreenPng() {
    std::call_once(screenPainted_, [this] {
        const DisplaySize size = ParseDisplaySize(scenario_.display).value();
        screenPng_ = EncodePng(PaintHomeScreen(size.width, size.height));
    });
    return screenPng_;
}

}  // namespace tarnel::sim
