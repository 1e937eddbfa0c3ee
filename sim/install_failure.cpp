#include "sim/install_failure.h"

#include <map>

namespace tarnel::sim {

namespace {

// What Android says after the code; "%p" stands for the package name.
std::string Explanation(std::string_view code, std::string_view packageName) {
    static const std::map<std::string_view, std::string_view> texts = {
        {"INSTALL_FAILED_ALREADY_EXISTS", "Attempt to re-install %p without first uninstalling."},
        {"INSTALL_FAILED_INVALID_APK", "Failed to parse the package archive: not a valid APK"},
        {"INSTALL_FAILED_INSUFFICIENT_STORAGE", "Failed to allocate space for %p"},
        {"INSTALL_FAILED_MEDIA_UNAVAILABLE", "External storage is not available"},
        {"INSTALL_FAILED_VERSION_DOWNGRADE", "Downgrade detected: the installed %p is newer"},
        {"INSTALL_FAILED_UPDATE_INCOMPATIBLE",
         "Package %p signatures do not match previously installed version; ignoring!"},
        {"INSTALL_FAILED_NEWER_SDK", "Requires an older SDK than this phone has"},
        {"INSTALL_FAILED_OLDER_SDK", "Requires newer sdk version than this phone has"},
        {"INSTALL_FAILED_CONTAINER_ERROR", "Failed to create the container on external storage"},
        {"INSTALL_FAILED_INTERNAL_ERROR", "Package manager internal error"},
        {"INSTALL_FAILED_SHARED_USER_INCOMPATIBLE",
         "Package %p has no signatures that match those in its shared user; ignoring!"},
    };
    const auto it = texts.find(code);
    std::string text(it == texts.end() ? std::string_view("Installation of %p failed")
                                       : it->second);
    const std::string name = packageName.empty() ? "the package" : std::string(packageName);
    const size_t at = text.find("%p");
    if (at != std::string::npos) {
        text.replace(at, 2, name);
    }
    return text;
}

}  // namespace

std::string InstallFailureText(std::string_view code, std::string_view packageName,
                               InstallResultForm form) {
    std::string text = "Failure [" + std::string(code);
    if (form == InstallResultForm::Modern) {
        text += ": " + Explanation(code, packageName);
    }
    return text + "]";
}

}  // namespace tarnel::sim
