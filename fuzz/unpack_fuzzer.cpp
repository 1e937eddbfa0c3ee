// Opens the input as a package, checks it and unpacks it into a fresh folder, then checks that
// nothing was made outside that folder and that no link was created.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "installer/package/folder_tree.h"
#include "installer/package/package_archive.h"
#include "installer/package/package_check.h"
#include "installer/package/unpacker.h"

namespace fs = std::filesystem;

// One folder for the whole run, removed when the fuzzer ends.
static const fs::path& WorkFolder() {
    static const struct Owner {
        Owner() {
            std::string pattern = (fs::temp_directory_path() / "tarnel-fuzz-XXXXXX").string();
            path = mkdtemp(pattern.data());
        }
        ~Owner() { tarnel::RemoveFolderTree(path); }
        fs::path path;
    } owner;
    return owner.path;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path package = WorkFolder() / "input.zip";
    const fs::path out = WorkFolder() / "out";
    std::ofstream(package, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    // The checks every route makes before it shows or unpacks a package, on each entry's name.
    if (const std::optional<tarnel::PackageArchive> archive =
            tarnel::PackageArchive::Open(package)) {
        tarnel::CheckPackageEntries(*archive, "com.example.game");
    }
    tarnel::UnpackArchive(package, out, {.threads = 2});
    for (const auto& item : fs::directory_iterator(WorkFolder())) {
        if (item.path() != package && item.path() != out) {
            __builtin_trap();
        }
    }
    std::error_code error;
    for (fs::recursive_directory_iterator it(out, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_symlink()) {
            __builtin_trap();
        }
    }
    tarnel::RemoveFolderTree(out);
    return 0;
}
