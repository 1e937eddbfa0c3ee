#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tarnel::test {

// A fresh folder under the build tree, removed with everything in it at the end of the test.
class TestFolder {
  public:
    TestFolder() {
        const std::filesystem::path base = std::filesystem::path(TARNEL_BINARY_DIR) / "test-tmp";
        std::filesystem::create_directories(base);
        std::string pattern = (base / "pkg-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    ~TestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// The whole file; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Makes the folders on the way.
inline void WriteFile(const std::filesystem::path& path, const std::string& data) {
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    std::ofstream(path, std::ios::binary) << data;
}

inline std::filesystem::path CorpusFile(const std::string& name) {
    return std::filesystem::path(TARNEL_SOURCE_DIR) / "tests/data/zip" / name;
}

}  // namespace tarnel::test
