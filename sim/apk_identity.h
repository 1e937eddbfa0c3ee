#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tarnel::sim {

struct ApkIdentity {
    std::string packageName;
    int64_t versionCode = 0;
    std::string versionName;
    std::string splitName;  // empty for a base APK
};

// From the first line of "aapt d badging": package: name='…' versionCode='…' versionName='…'
// [split='…'].
std::optional<ApkIdentity> ParseBadging(std::string_view badging);

// Runs the real aapt ($TARNEL_AAPT, else aapt on PATH); nothing when it cannot read the file.
std::optional<ApkIdentity> ReadApkIdentity(const std::filesystem::path& apk);

}  // namespace tarnel::sim
