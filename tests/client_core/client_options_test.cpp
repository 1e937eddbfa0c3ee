#include "client/core/client_options.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

using Mode = ClientOptions::Mode;

TEST(ClientOptions, ReadsEachMode) {
    const struct {
        std::vector<std::string> args;
        Mode mode;
        bool verbose;
    } cases[] = {
        {{}, Mode::Window, false},
        {{"--verbose"}, Mode::Window, true},
        {{"--help"}, Mode::Help, false},
        {{"-h", "--version"}, Mode::Help, false},
        {{"--version", "--verbose"}, Mode::Version, true},
        {{"--frobnicate"}, Mode::Invalid, false},
        {{"game.tpk"}, Mode::Invalid, false},
        {{"--info"}, Mode::Info, false},
        {{"--verbose", "--info"}, Mode::Info, true},
        {{"--screenshot", "my shot.png", "--verbose"}, Mode::Screenshot, true},
        {{"--screenshot"}, Mode::Invalid, false},
        {{"--screenshot", ""}, Mode::Invalid, false},
        {{"--info", "--screenshot", "a.png"}, Mode::Invalid, false},
        {{"--info", "--info"}, Mode::Invalid, false},
        {{"--info", "--help"}, Mode::Help, false},
    };
    for (const auto& c : cases) {
        const ClientOptions options = ParseClientOptions(c.args);
        EXPECT_EQ(options.mode, c.mode) << ::testing::PrintToString(c.args);
        EXPECT_EQ(options.mode == Mode::Invalid, !options.error.empty());
        if (options.mode != Mode::Invalid) {
            EXPECT_EQ(options.verbose, c.verbose) << ::testing::PrintToString(c.args);
        }
        EXPECT_EQ(options.screenshotFile, options.mode == Mode::Screenshot ? "my shot.png" : "");
    }
}

}  // namespace
}  // namespace tarnel
