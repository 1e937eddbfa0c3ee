#include "installer/package/package_messages.h"

#include "installer/package/verify_unpacked.h"
#include "platform/text_codec.h"

namespace tarnel {

std::string NarrowText(std::string_view utf8) {
    std::string text(utf8);
    Utf8ToGbkInPlace(text);
    return text;
}

std::string VerifyResultMessage(int result) {
    switch (result) {
        case kManifestMissing:
            return NarrowText("打开tpk文件错误！");
        case kManifestBroken:
            return NarrowText("tpk解压缩失败！");
        case kApkMissing:
            return NarrowText("apk文件打开失败！");
        case kApkAltered:
            return NarrowText("apk包已修改无法安装，请到Tarnel重新下载！");
        case kDataAltered:
            return NarrowText("数据包已修改无法安装，请到Tarnel重新下载！");
        case kApkNameDiffers:
            return NarrowText(kApkNameDiffersText);
        default:
            return {};
    }
}

}  // namespace tarnel
