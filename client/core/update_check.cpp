#include "client/core/update_check.h"

#include <cctype>
#include <charconv>
#include <system_error>

#include "client/core/download_file.h"
#include "platform/detached_start.h"
#include "platform/ini_profile.h"

namespace tarnel {
namespace {

// The read limits of the version file's two values.
constexpr std::size_t kVersionTextLimit = 127;
constexpr std::size_t kUrlLimit = 511;

std::string ReadLimited(const std::filesystem::path& file, const char* section, const char* key,
                        std::size_t limit) {
    std::string value = IniProfile(file).Read(section, key);
    value.resize(std::min(value.size(), limit));
    return value;
}

double ReadVersion(const std::filesystem::path& file) {
    return VersionNumber(ReadLimited(file, "MAINVER", "mainver", kVersionTextLimit));
}

}  // namespace

double VersionNumber(const std::string& text) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin != end && std::isspace(static_cast<unsigned char>(*begin)))
        ++begin;
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0;
    if (std::from_chars(begin, end, value).ec != std::errc())
        return 0;
    return value;
}

void UpdateCheckThread(const UpdateCheckFolders& folders, UpdateCheckReporter& reporter,
                       std::chrono::milliseconds limit) {
    const std::filesystem::path installedFile = folders.programFolder / "Update.ini";
    const double installed = ReadVersion(installedFile);
    const std::string url = ReadLimited(installedFile, "URL", "iniurl", kUrlLimit);
    if (url.empty()) {
        reporter.ShowMessage("Update.ini文件有误，请手动下载新版本！");
        return;
    }
    const std::filesystem::path announcedFile = folders.cacheFolder / "Updater.ini";
    const MessageSink showMessage = [&reporter](const std::string& text) {
        reporter.ShowMessage(text);
    };
    if (!DownloadFile(url, announcedFile, showMessage, limit)) {
        reporter.ShowMessage("检测新版本失败！如果软件不能使用请手动下载更新!");
        return;
    }
    // NaN compares false: a garbled number never starts the updater.
    if (ReadVersion(announcedFile) > installed) {
        reporter.NewVersionAvailable();
        return;
    }
    std::error_code ignored;
    std::filesystem::remove(announcedFile, ignored);
}

bool StartUpdater(const std::filesystem::path& programFolder) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(programFolder, error);
    return !error && StartDetached({(folder / "Updater").string()});
}

}  // namespace tarnel
