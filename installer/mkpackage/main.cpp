// tarnel-mkpackage: builds a .tpk game package from an APK, an icon and a data folder, for the
// demo and for trying the installer on packages of one's own.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "installer/package/game_package_writer.h"

namespace {

constexpr const char* kUsage =
    "Usage: tarnel-mkpackage OUT.tpk --apk FILE --package NAME [--name TEXT] [--version TEXT]\n"
    "                        [--min-sdk LEVEL] [--icon FILE.png] [--data FOLDER]\n"
    "The data folder's contents go under android/ in the package (obb/NAME/... for a game).\n";

bool ReadWhole(const std::filesystem::path& path, std::string& data) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    data = bytes.str();
    return true;
}

int Fail(const std::string& why) {
    std::cerr << "tarnel-mkpackage: " << why << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    tarnel::GamePackage package;
    std::string out, apk, icon, data;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (a.rfind("--", 0) == 0 && !hasValue) {
            return Fail(a + " needs a value");
        } else if (a == "--apk") {
            apk = args[++i];
        } else if (a == "--package") {
            package.manifest.packageName = args[++i];
        } else if (a == "--name") {
            package.manifest.appName = args[++i];
        } else if (a == "--version") {
            package.manifest.versionName = args[++i];
        } else if (a == "--min-sdk") {
            package.manifest.minSdkVersion = args[++i];
        } else if (a == "--icon") {
            icon = args[++i];
        } else if (a == "--data") {
            data = args[++i];
        } else if (out.empty() && a.rfind("--", 0) != 0) {
            out = a;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (out.empty() || apk.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    std::string bytes;
    if (!ReadWhole(apk, bytes))
        return Fail("cannot read " + apk);
    package.apk = std::move(bytes);
    if (!icon.empty()) {
        if (!ReadWhole(icon, bytes))
            return Fail("cannot read " + icon);
        package.icon = std::move(bytes);
    }
    if (!data.empty()) {
        std::error_code error;
        for (auto it = std::filesystem::recursive_directory_iterator(data, error);
             it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            if (!it->is_regular_file())
                continue;
            if (!ReadWhole(it->path(), bytes))
                return Fail("cannot read " + it->path().string());
            package.dataFiles.emplace_back(
                std::filesystem::relative(it->path(), data).generic_string(), std::move(bytes));
        }
        if (error)
            return Fail("cannot list " + data + ": " + error.message());
    }
    std::string why;
    if (!tarnel::WriteGamePackage(out, package, &why))
        return Fail(why);
    return 0;
}
