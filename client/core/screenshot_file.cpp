#include "client/core/screenshot_file.h"

#include <fstream>

#include "platform/folders.h"

namespace tarnel {

std::filesystem::path ScreenshotPath() {
    return WorkTmpFolder() / "screencap.png";
}

bool TakeFreshScreenshot(DeviceBridge& bridge) {
    const std::filesystem::path path = ScreenshotPath();
    std::error_code error;
    std::filesystem::remove(path, error);
    if (!bridge.TakeScreenshot())
        return false;
    char signature[8] = {};
    std::ifstream file(path, std::ios::binary);
    return file.read(signature, sizeof signature) &&
           std::string_view(signature, sizeof signature) == "\x89PNG\r\n\x1a\n";
}

}  // namespace tarnel
