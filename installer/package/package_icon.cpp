#include "installer/package/package_icon.h"

#include <charconv>
#include <optional>

#include "bridge/device_bridge.h"
#include "installer/package/package_archive.h"

namespace tarnel {

namespace {

constexpr std::string_view kDensityMarker = "application-icon-";
// Far above any launcher icon; a package cannot fill the cache with a huge "icon".
constexpr std::uint64_t kIconLimit = 16 << 20;

bool IsPicture(std::string_view path) {
    return !path.ends_with(".xml");
}

// The path of the densest bitmap icon aapt names, or empty.
std::string DensestIcon(std::string_view badging) {
    std::string best;
    int bestDensity = -1;
    for (std::size_t at = badging.find(kDensityMarker); at != std::string_view::npos;
         at = badging.find(kDensityMarker, at + 1)) {
        const std::string_view rest = badging.substr(at + kDensityMarker.size());
        int density = 0;
        const auto [end, failure] =
            std::from_chars(rest.data(), rest.data() + rest.size(), density);
        const std::string_view tail = rest.substr(static_cast<std::size_t>(end - rest.data()));
        if (failure != std::errc() || !tail.starts_with(":'")) {
            continue;
        }
        const std::string_view quoted = tail.substr(2);
        const std::string_view path = quoted.substr(0, quoted.find('\''));
        if (density > bestDensity && !path.empty() && IsPicture(path)) {
            best = path;
            bestDensity = density;
        }
    }
    return best;
}

bool ExtractNamed(const PackageArchive& archive, const std::vector<std::string>& names,
                  const std::filesystem::path& target) {
    for (const std::string& name : names) {
        if (const std::optional<std::uint64_t> index = archive.Find(name)) {
            return archive.ExtractToFile(*index, target, nullptr, kIconLimit);
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> ApkIconCandidates(std::string_view badging, std::string_view iconPath) {
    std::vector<std::string> candidates;
    if (std::string densest = DensestIcon(badging); !densest.empty()) {
        candidates.push_back(std::move(densest));
    }
    if (!iconPath.empty()) {
        const std::size_t slash = iconPath.rfind('/');
        const std::string_view file =
            slash == std::string_view::npos ? iconPath : iconPath.substr(slash + 1);
        candidates.push_back("res/drawable-xhdpi/" + std::string(file));
        candidates.push_back("res/drawable-hdpi/" + std::string(file));
        candidates.emplace_back(iconPath);
    }
    return candidates;
}

bool ExtractIcon(DeviceBridge& bridge, const std::filesystem::path& target, bool isPackage) {
    const std::optional<PackageArchive> archive =
        PackageArchive::Open(isPackage ? bridge.packagePath : bridge.apkPath);
    if (!archive) {
        return false;
    }
    if (isPackage) {
        return ExtractNamed(*archive, {"icon.png"}, target);
    }
    const std::string badging = bridge.RunTool(bridge.BuildCommand(ToolCommand::Badging));
    return ExtractNamed(*archive, ApkIconCandidates(badging, bridge.iconPath), target);
}

}  // namespace tarnel
