#include "installer/cli/options.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

using Mode = InstallerOptions::Mode;

TEST(InstallerOptions, ReadsEachMode) {
    const struct {
        std::vector<std::string> args;
        Mode mode;
        const char* path;
        const char* dir;
    } cases[] = {
        {{}, Mode::Window, "", ""},
        {{"/g/a.tpk"}, Mode::Window, "/g/a.tpk", ""},
        {{"--info", "a.apk"}, Mode::Info, "a.apk", ""},
        {{"--extract", "a.tpk", "/out"}, Mode::Extract, "a.tpk", "/out"},
        {{"--no-gui", "--internal", "a.tpk"}, Mode::NoGui, "a.tpk", ""},
        {{"--info", "--", "--odd name.apk"}, Mode::Info, "--odd name.apk", ""},
        {{"--help"}, Mode::Help, "", ""},
        {{"--version"}, Mode::Version, "", ""},
        {{"--info"}, Mode::Invalid, "", ""},
        {{"--info", "a", "b"}, Mode::Invalid, "", ""},
        {{"--info", "--extract", "a"}, Mode::Invalid, "", ""},
        {{"--internal", "a.apk"}, Mode::Invalid, "", ""},
        {{"--frobnicate"}, Mode::Invalid, "", ""},
    };
    for (const auto& c : cases) {
        const InstallerOptions options = ParseInstallerOptions(c.args);
        EXPECT_EQ(options.mode, c.mode) << ::testing::PrintToString(c.args);
        if (c.mode == Mode::Invalid) {
            EXPECT_FALSE(options.error.empty());
            continue;
        }
        EXPECT_EQ(options.path, c.path);
        EXPECT_EQ(options.targetDir, c.dir);
    }
    EXPECT_TRUE(ParseInstallerOptions({"--verbose", "--info", "x"}).verbose);
}

}  // namespace
}  // namespace tarnel
