#include "sim/apk_identity.h"

#include <cstdlib>

#include "platform/process_runner.h"

namespace tarnel::sim {

namespace {

std::string QuotedValue(std::string_view line, std::string_view key) {
    const std::string marker = " " + std::string(key) + "='";
    const size_t start = line.find(marker);
    if (start == std::string_view::npos) {
        return {};
    }
    const size_t from = start + marker.size();
    const size_t end = line.find('\'', from);
    return std::string(line.substr(from, end == std::string_view::npos ? end : end - from));
}

}  // namespace

std::optional<ApkIdentity> ParseBadging(std::string_view badging) {
    if (!badging.starts_with("package:")) {
        return std::nullopt;
    }
    const std::string_view line = badging.substr(0, badging.find('\n'));
    ApkIdentity identity;
    identity.packageName = QuotedValue(line, "name");
    identity.versionName = QuotedValue(line, "versionName");
    const std::string code = QuotedValue(line, "versionCode");
    char* end = nullptr;
    identity.versionCode = std::strtoll(code.c_str(), &end, 10);
    if (identity.packageName.empty() || code.empty() || *end != '\0') {
        return std::nullopt;
    }
    return identity;
}

std::optional<ApkIdentity> ReadApkIdentity(const std::filesystem::path& apk) {
    const char* configured = std::getenv("TARNEL_AAPT");
    const std::string aapt = configured && *configured ? configured : "aapt";
    RunOptions options;
    options.timeLimit = std::chrono::seconds(60);
    options.separateErrors = true;
    const RunResult run = RunProcess({aapt, "d", "badging", apk.string()}, options);
    if (run.outcome != RunResult::Outcome::Finished || run.exitStatus != 0) {
        return std::nullopt;
    }
    return ParseBadging(run.output);
}

}  // namespace tarnel::sim
