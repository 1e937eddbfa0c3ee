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
    // Probe by creating it; a folder made only for the probe goes again, so that callers can tell
    // a folder left from before.
    const bool made = mkdir(beside.c_str(), 0755) == 0;
    std::error_code error;
    const bool usable = (made || errno == EEXIST) && std::filesystem::is_directory(beside, error) &&
                        access(beside.c_str(), W_OK | X_OK) == 0;
    if (made) {
        rmdir(beside.c_str());
    }
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
