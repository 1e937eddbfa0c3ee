#include "sim/companion_app.h"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

namespace tarnel::sim {

std::string DeviceFactsText(const Scenario& scenario) {
    const auto bytes = [](uint64_t value) { return std::to_string(value); };
    nlohmann::ordered_json facts;
    facts["deviceType"] = scenario.model;
    facts["deviceName"] = scenario.brand;
    facts["deviceCPUType"] = scenario.cpuType;
    facts["deviceCPUCount"] = std::to_string(scenario.cpuCount);
    facts["deviceVersion"] = scenario.release;
    facts["deviceDisplay"] = scenario.display;
    facts["deviceRoot"] = scenario.root ? "true" : "false";
    facts["dataSizeTotal"] = bytes(scenario.dataTotal);
    facts["dataSizeFree"] = bytes(scenario.dataFree);
    facts["sdcardSizeTotal"] = bytes(scenario.sdcard ? scenario.sdTotal : 0);
    facts["sdcardSizeFree"] = bytes(scenario.sdcard ? scenario.sdFree : 0);
    facts["ramSizeTotal"] = bytes(scenario.ramTotal);
    facts["ramSizeFree"] = bytes(scenario.ramFree);
    return facts.dump();
}

void WriteDeviceFacts(const Scenario& scenario, const PhoneFileSystem& files) {
    const std::string_view path = kDeviceFactsPath;
    const std::string folder(path.substr(0, path.rfind('/')));
    if (files.MakeDirectories(folder, true) != 0) {
        std::fprintf(stderr, "tarnel-phonesim: the companion cannot create %s\n", folder.c_str());
        return;
    }
    const std::filesystem::path target = files.Locate(path, Access::Write, true).host;
    const std::filesystem::path partial = target.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << DeviceFactsText(scenario);
        if (!out.flush()) {
            std::fprintf(stderr, "tarnel-phonesim: the companion cannot write %s\n",
                         partial.c_str());
            return;
        }
    }
    std::error_code error;
    std::filesystem::rename(partial, target, error);
    if (error) {
        std::fprintf(stderr, "tarnel-phonesim: the companion cannot write %s\n", target.c_str());
    }
}

}  // namespace tarnel::sim
