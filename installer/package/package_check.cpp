#include "installer/package/package_check.h"

#include <map>
#include <optional>
#include <vector>

#include "installer/package/entry_name_policy.h"
#include "installer/package/output_tree.h"
#include "installer/package/package_archive.h"
#include "installer/package/package_info.h"
#include "installer/package/package_messages.h"

namespace tarnel {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

bool SameNoCase(std::string_view a, std::string_view b) {
    return Lower(a) == Lower(b);
}

// android/, android/obb/, android/data/ themselves, and anything under the game's own folders.
bool IsGameDataPlace(const std::vector<std::string>& components, bool isFolder,
                     std::string_view packageName) {
    if (components.size() == 1) {
        return isFolder;
    }
    if (!SameNoCase(components[1], "obb") && !SameNoCase(components[1], "data")) {
        return false;
    }
    if (components.size() == 2) {
        return isFolder;
    }
    return SameNoCase(components[2], packageName) && (isFolder || components.size() > 3);
}

std::string Refusal(std::string_view text, std::string_view detail) {
    return NarrowText(text) + std::string(detail);
}

}  // namespace

std::string CheckPackageEntries(const PackageArchive& archive, std::string_view packageName) {
    std::map<std::string, std::string> files;  // lower-case path to the name first seen
    const std::uint64_t count = archive.Count();
    for (std::uint64_t index = 0; index < count; ++index) {
        const std::optional<ArchiveEntry> entry = archive.Entry(index);
        if (!entry) {
            continue;
        }
        const NameVerdict verdict = JudgeEntryName(entry->name);
        if (verdict == NameVerdict::TooDeep) {
            return Refusal(kTooDeep, entry->name.substr(0, 120) + "...");
        }
        if (verdict != NameVerdict::Safe || entry->IsSymbolicLink()) {
            continue;  // never unpacked; --extract lists them
        }
        const std::vector<std::string> components = NameComponents(entry->name);
        if (SameNoCase(components[0], "android") &&
            !IsGameDataPlace(components, entry->IsDirectory(), packageName)) {
            return Refusal(kDataOutside, entry->name);
        }
        if (entry->IsDirectory()) {
            continue;
        }
        const auto [seen, added] = files.emplace(Lower(JoinComponents(components)), entry->name);
        if (!added) {
            return Refusal(kCaseTwins, seen->second + " / " + entry->name);
        }
    }
    return {};
}

std::string CheckPackageFile(const std::filesystem::path& package) {
    const std::optional<PackageArchive> archive = PackageArchive::Open(package);
    PackageManifest manifest;
    if (!archive || ReadArchiveManifest(*archive, manifest) != ManifestRead::Read) {
        return {};
    }
    return CheckPackageEntries(*archive, manifest.packageName);
}

}  // namespace tarnel
