#include "installer/package/unpack_package.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "bridge/device_bridge.h"
#include "platform/folders.h"

namespace tarnel {

std::filesystem::path UnpackFolderBeside(const std::filesystem::path& package) {
    const std::filesystem::path absolute = std::filesystem::absolute(package);
    return absolute.parent_path() / ("~" + absolute.stem().string());
}

std::filesystem::path ChooseUnpackFolder(const std::filesystem::path& package) {
    const std::filesystem::path beside = UnpackFolderBeside(package);
    std::error_code error;
    const bool usable = (mkdir(beside.c_str(), 0755) == 0 || errno == EEXIST) &&
                        std::filesystem::is_directory(beside, error) &&
                        access(beside.c_str(), W_OK | X_OK) == 0;
    if (usable) {
        return beside;
    }
    return UserCacheFolder() / "unpack" / beside.filename();
}

UnpackReport UnpackPackage(DeviceBridge& bridge, const std::filesystem::path& package,
                           const UnpackOptions& options) {
    const std::filesystem::path folder = ChooseUnpackFolder(package);
    bridge.unpackFolder = folder.string();
    return UnpackArchive(std::filesystem::absolute(package), folder, options);
}

}  // namespace tarnel
