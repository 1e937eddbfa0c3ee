#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/package/test_folder.h"

namespace tarnel::test {

// What a phone printed, byte for byte, from tests/data/phone.
inline std::string Transcript(const std::string& name) {
    const auto path = std::filesystem::path(TARNEL_SOURCE_DIR) / "tests/data/phone" / name;
    EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    return ReadFile(path);
}

}  // namespace tarnel::test
