#include "installer/flow/install_messages.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

TEST(InstallFailureText, MapsEachCode) {
    const struct {
        const char* code;
        const char* text;
    } cases[] = {
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
        {"NONE", "安装失败：未知错误。"},
        {"install_failed_invalid_apk", "安装失败：未知错误。"},
        {"INSTALL_FAILED_VERSION_DOWNGRADE", "安装失败：未知错误。"},
        {"", "安装失败：未知错误。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InstallFailureText(c.code), c.text) << c.code;
}

}  // namespace
}  // namespace tarnel
