#include "installer/package/bundle_manifest.h"

#include <strings.h>

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "installer/package/entry_name_policy.h"
#include "installer/package/output_tree.h"

namespace tarnel {
namespace {

using nlohmann::json;

// A text or a number, as these files write either.
std::string Text(const json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end())
        return {};
    if (it->is_string())
        return it->get<std::string>();
    if (it->is_number_integer())
        return std::to_string(it->get<long long>());
    return {};
}

json ParseObject(std::string_view text) {
    json object = json::parse(text, nullptr, false);
    if (object.is_discarded() || !object.is_object())
        throw std::runtime_error("not a JSON object");
    return object;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

std::optional<BundleKind> BundleKindOf(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    if (SameNoCase(extension, ".xapk"))
        return BundleKind::Xapk;
    if (SameNoCase(extension, ".apks"))
        return BundleKind::Apks;
    if (SameNoCase(extension, ".apkm"))
        return BundleKind::Apkm;
    return std::nullopt;
}

BundleDescription ParseXapkManifest(std::string_view text) {
    const json object = ParseObject(text);
    BundleDescription description;
    description.packageName = Text(object, "package_name");
    description.appName = Text(object, "name");
    description.versionName = Text(object, "version_name");
    description.versionCode = Text(object, "version_code");
    description.minSdk = Text(object, "min_sdk_version");
    if (const auto splits = object.find("split_apks"); splits != object.end()) {
        if (!splits->is_array())
            throw std::runtime_error("split_apks is not a list");
        for (const json& split : *splits) {
            if (!split.is_object() || Text(split, "file").empty())
                throw std::runtime_error("a split_apks item names no file");
            // The base is known by its id, not its file name.
            const auto at = Text(split, "id") == "base" ? description.apkEntries.begin()
                                                        : description.apkEntries.end();
            description.apkEntries.insert(at, Text(split, "file"));
        }
    }
    if (const auto expansions = object.find("expansions"); expansions != object.end()) {
        if (!expansions->is_array())
            throw std::runtime_error("expansions is not a list");
        for (const json& expansion : *expansions) {
            if (!expansion.is_object() || Text(expansion, "file").empty() ||
                Text(expansion, "install_path").empty()) {
                throw std::runtime_error("an expansion names no file or install_path");
            }
            description.expansions.push_back(
                {Text(expansion, "file"), Text(expansion, "install_path")});
        }
    }
    return description;
}

BundleDescription ParseApkmInfo(std::string_view text) {
    const json object = ParseObject(text);
    BundleDescription description;
    description.packageName = Text(object, "pname");
    description.appName = Text(object, "app_name");
    description.versionName = Text(object, "release_version");
    description.versionCode = Text(object, "versioncode");
    description.minSdk = Text(object, "min_api");
    return description;
}

std::optional<std::string> ExpansionPlace(std::string_view installPath,
                                          std::string_view packageName) {
    if (JudgeEntryName(installPath) != NameVerdict::Safe || packageName.empty())
        return std::nullopt;
    const std::vector<std::string> components = NameComponents(installPath);
    if (components.size() < 4 || !SameNoCase(components[0], "Android") ||
        !SameNoCase(components[1], "obb") || components[2] != packageName) {
        return std::nullopt;
    }
    std::vector<std::string> place = {"Android", "obb"};
    place.insert(place.end(), components.begin() + 2, components.end());
    return JoinComponents(place);
}

}  // namespace tarnel
