#pragma once

#include <string>
#include <string_view>

namespace tarnel {

// What the package operations tell the user, written here in UTF-8.
inline constexpr std::string_view kErrorCaption = "错误";
inline constexpr std::string_view kDecompressionError = "解压缩出错.";
inline constexpr std::string_view kFileOpenError = "打开文件出错.";
inline constexpr std::string_view kDecryptionError = "文件解密出错";
inline constexpr std::string_view kCaseTwins = "安装包内有只差大小写的同名文件：";
inline constexpr std::string_view kTooDeep = "安装包内的文件夹层次太深：";
inline constexpr std::string_view kDataOutside = "安装包的数据不在本游戏自己的文件夹内：";
inline constexpr std::string_view kApkNameDiffersText =
    "安装包内的APK与包说明的包名不符，无法安装。";
inline constexpr std::string_view kCacheNotWritable = "无法写入缓存文件夹：";

// A UTF-8 text in the narrow encoding that messages are shown in.
std::string NarrowText(std::string_view utf8);

// The installer's message for a VerifyUnpacked result, in the narrow encoding; empty for 0.
std::string VerifyResultMessage(int result);

// Where a package operation reports to the user; the install flow and the window implement it.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // text and caption are in the narrow encoding.
    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
};

}  // namespace tarnel
