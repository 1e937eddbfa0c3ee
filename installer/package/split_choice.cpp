#include "installer/package/split_choice.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>

namespace tarnel {
namespace {

constexpr std::string_view kConfig = "config.";

struct AbiName {
    const char* suffix;
    const char* abi;
};
constexpr AbiName kAbis[] = {
    {"armeabi", "armeabi"}, {"armeabi_v7a", "armeabi-v7a"}, {"arm64_v8a", "arm64-v8a"},
    {"x86", "x86"},         {"x86_64", "x86_64"},           {"mips", "mips"},
    {"mips64", "mips64"},   {"riscv64", "riscv64"},
};

struct DensityName {
    const char* suffix;
    int dpi;
};
constexpr DensityName kDensities[] = {
    {"ldpi", 120},  {"mdpi", 160},   {"tvdpi", 213},   {"hdpi", 240},
    {"xhdpi", 320}, {"xxhdpi", 480}, {"xxxhdpi", 640},
};

enum class Kind { Base, Feature, Abi, Density, Language, OtherConfig };

struct Parsed {
    Kind kind = Kind::Base;
    std::string module;  // "" for the base module
    std::string abi;
    int dpi = 0;
    std::string language;
};

bool IsLanguage(std::string_view suffix) {
    return (suffix.size() == 2 || suffix.size() == 3) &&
           std::all_of(suffix.begin(), suffix.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// "config.xxhdpi" belongs to the base module, "feature.config.xxhdpi" to module "feature".
Parsed Parse(const std::string& name) {
    Parsed parsed;
    if (name.empty())
        return parsed;
    size_t at = std::string::npos;
    if (name.starts_with(kConfig))
        at = 0;
    else if (const size_t found = name.find("." + std::string(kConfig)); found != std::string::npos)
        at = found + 1;
    if (at == std::string::npos) {
        parsed.kind = Kind::Feature;
        return parsed;
    }
    parsed.module = at == 0 ? "" : name.substr(0, at - 1);
    const std::string suffix = name.substr(at + kConfig.size());
    parsed.kind = Kind::OtherConfig;
    for (const AbiName& each : kAbis) {
        if (suffix == each.suffix) {
            parsed.kind = Kind::Abi;
            parsed.abi = each.abi;
        }
    }
    for (const DensityName& each : kDensities) {
        if (suffix == each.suffix) {
            parsed.kind = Kind::Density;
            parsed.dpi = each.dpi;
        }
    }
    if (parsed.kind == Kind::OtherConfig && IsLanguage(suffix)) {
        parsed.kind = Kind::Language;
        parsed.language = suffix;
    }
    return parsed;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : "、") + name;
    return text.empty() ? "未知" : text;
}

struct Module {
    std::vector<std::pair<size_t, Parsed>> configs;
};

// The index of the chosen ABI split; nothing when the module's splits fit none of the ABIs.
std::optional<size_t> ChooseAbi(const Module& module, const std::vector<std::string>& abis) {
    for (const std::string& abi : abis) {
        for (const auto& [index, parsed] : module.configs) {
            if (parsed.kind == Kind::Abi && parsed.abi == abi)
                return index;
        }
    }
    return std::nullopt;
}

std::optional<size_t> ChooseDensity(const Module& module, int density) {
    std::optional<size_t> best;
    int bestDpi = 0;
    for (const auto& [index, parsed] : module.configs) {
        if (parsed.kind != Kind::Density)
            continue;
        const bool better =
            !best ||
            (density <= 0 ? parsed.dpi > bestDpi
                          : std::abs(parsed.dpi - density) < std::abs(bestDpi - density) ||
                                (std::abs(parsed.dpi - density) == std::abs(bestDpi - density) &&
                                 parsed.dpi > bestDpi));
        if (better) {
            best = index;
            bestDpi = parsed.dpi;
        }
    }
    return best;
}

}  // namespace

std::string SplitAbi(const std::string& splitName) {
    const Parsed parsed = Parse(splitName);
    return parsed.kind == Kind::Abi ? parsed.abi : std::string();
}

SplitChoice ChooseSplits(const std::vector<BundleSplit>& splits, const PhoneConfig& phone) {
    SplitChoice choice;
    std::vector<bool> chosen(splits.size(), false);
    std::map<std::string, Module> modules;
    for (size_t index = 0; index < splits.size(); ++index) {
        const Parsed parsed = Parse(splits[index].splitName);
        if (parsed.kind == Kind::Base || parsed.kind == Kind::Feature ||
            parsed.kind == Kind::OtherConfig) {
            chosen[index] = true;
        } else {
            modules[parsed.module].configs.emplace_back(index, parsed);
        }
    }
    for (const auto& [name, module] : modules) {
        std::vector<std::string> bundleAbis;
        bool anyLanguageMatches = false;
        for (const auto& [index, parsed] : module.configs) {
            if (parsed.kind == Kind::Abi)
                bundleAbis.push_back(parsed.abi);
            anyLanguageMatches |=
                parsed.kind == Kind::Language && parsed.language == phone.language;
        }
        if (!bundleAbis.empty()) {
            const std::optional<size_t> abi = ChooseAbi(module, phone.abis);
            if (!abi) {
                choice.refusal = "安装包不支持这台手机的CPU类型：安装包有 " + Joined(bundleAbis) +
                                 "，手机是 " + Joined(phone.abis) + "。";
                return choice;
            }
            chosen[*abi] = true;
        }
        if (const std::optional<size_t> density = ChooseDensity(module, phone.density))
            chosen[*density] = true;
        for (const auto& [index, parsed] : module.configs) {
            if (parsed.kind == Kind::Language &&
                (!anyLanguageMatches || parsed.language == phone.language)) {
                chosen[index] = true;
            }
        }
    }
    // The base first: adb hands the files to the phone in this order.
    for (size_t index = 0; index < splits.size(); ++index) {
        if (chosen[index] && splits[index].splitName.empty())
            choice.files.push_back(splits[index].file);
    }
    for (size_t index = 0; index < splits.size(); ++index) {
        if (chosen[index] && !splits[index].splitName.empty())
            choice.files.push_back(splits[index].file);
    }
    return choice;
}

}  // namespace tarnel
