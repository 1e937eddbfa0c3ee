#include "installer/flow/install_messages.h"

namespace tarnel {
namespace {

struct FailureRow {
    std::string_view code;
    std::string_view text;
};

constexpr FailureRow kFailures[] = {
    {"INSTALL_FAILED_INSUFFICIENT_STORAGE", "安装失败：安装内存不足。"},
    {"INSTALL_FAILED_ALREADY_EXISTS", "安装失败：程序已经存在。"},
    {"INSTALL_FAILED_INVALID_APK", "安装失败：无效的APK。"},
    {"INSTALL_FAILED_UPDATE_INCOMPATIBLE", "安装失败：版本不能共存。"},
    {"INSTALL_FAILED_NEWER_SDK", "安装失败：系统版本过新。"},
    {"INSTALL_FAILED_CONTAINER_ERROR", "安装失败：SD卡访问失败。"},
    {"INSTALL_FAILED_MEDIA_UNAVAILABLE", "安装失败：SD卡不存在。"},
    {"INSTALL_FAILED_INTERNAL_ERROR", "安装失败：系统问题导致安装失败。"},
    {"INSTALL_FAILED_SHARED_USER_INCOMPATIBLE", "安装失败：需求的共享用户签名错误。"},
    {"INSTALL_FAILED_INVALID_INSTALL_LOCATION", "安装失败：无效的安装路径。"},
};

constexpr std::string_view kUnknownFailure = "安装失败：未知错误。";

}  // namespace

std::string_view InstallFailureText(std::string_view code) {
    for (const FailureRow& row : kFailures) {
        if (row.code == code)
            return row.text;
    }
    return kUnknownFailure;
}

std::string_view ConnectPhoneStatus(PhoneState state) {
    const std::string_view hint = PhoneStateHint(state);
    return hint.empty() ? text::kConnectPhone : hint;
}

}  // namespace tarnel
