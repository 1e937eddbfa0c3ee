#include "tests/support/test_home.h"

#include <stdlib.h>

#include <fstream>
#include <stdexcept>

namespace tarnel::test {

namespace fs = std::filesystem;

TestHome::TestHome(const std::string& urls, bool keepAdb) {
    std::string pattern = (fs::temp_directory_path() / "tarnel-home-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a test home");
    }
    folder_ = pattern;
    fs::create_directories(ProgramFolder());
    fs::create_symlink(TARNEL_SOURCE_DIR "/skin", ProgramFolder() / "skin");
    std::ofstream(ProgramFolder() / "Update.ini") << "[URL]\n" << urls;
    fs::create_directory(folder_ / "run");
    fs::permissions(folder_ / "run", fs::perms::owner_all);
    ::setenv("TARNEL_HOME", ProgramFolder().c_str(), 1);
    for (const auto& [name, kind] : {std::pair{"XDG_CACHE_HOME", "cache"},
                                     {"XDG_CONFIG_HOME", "config"},
                                     {"XDG_DATA_HOME", "data"}}) {
        ::setenv(name, (folder_ / kind).c_str(), 1);
    }
    ::setenv("XDG_DATA_DIRS", "/usr/share", 1);
    ::setenv("XDG_RUNTIME_DIR", (folder_ / "run").c_str(), 1);
    ::setenv("TARNEL_ADB", "/nonexistent/adb", keepAdb ? 0 : 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

TestHome::~TestHome() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

}  // namespace tarnel::test
