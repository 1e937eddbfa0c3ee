#pragma once

#include <string>
#include <string_view>

namespace tarnel {

// What the installer tells the user, in UTF-8; NarrowText (package_messages.h) makes them
// displayable.
namespace text {
inline constexpr std::string_view kPhoneConnected = "手机已连接到电脑";
inline constexpr std::string_view kConnectPhone = "请用数据线将手机连接到电脑";
inline constexpr std::string_view kNoApkInfo = "无法获取该APK文件信息";
inline constexpr std::string_view kUnpacking = "正在解压缩TPK文件...";
inline constexpr std::string_view kUploading = "正在上传数据包...";
inline constexpr std::string_view kUploadFailed = "上传失败，可能空间不足。";
inline constexpr std::string_view kInstalling = "正在安装软件...";
inline constexpr std::string_view kInstalled = "已安装到手机";
inline constexpr std::string_view kSeveralPhones = "连接了多部手机，请只保留一部手机后重试。";
inline constexpr std::string_view kPhoneNotAnswering =
    "手机长时间没有响应，已停止。请重新连接手机后重试。";
inline constexpr std::string_view kUnexpectedError = "出现意外错误：";

inline constexpr std::string_view kWrongFileType = "文件格式只能是apk或tpk文件！";
inline constexpr std::string_view kBadPackage = "解释包有误";
inline constexpr std::string_view kPhoneNotConnected = "手机未连接到电脑";
inline constexpr std::string_view kNothingLoaded = "安装包有误";
inline constexpr std::string_view kWaitForInstall = "请等待安装完成...";
inline constexpr std::string_view kReinstallQuestion = "是否重装游戏?";
inline constexpr std::string_view kNoticeCaption = "提示";
}  // namespace text

// The status text for an install failure code (compared whole, exact case).
std::string_view InstallFailureText(std::string_view code);

}  // namespace tarnel
