#include "platform/folders.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/tool_locator.h"

namespace tarnel {
namespace {

TEST(Folders, FollowXdgAndTarnelHome) {
    ::setenv("XDG_CONFIG_HOME", "/tmp/xdg-config", 1);
    ::setenv("XDG_CACHE_HOME", "/tmp/xdg-cache", 1);
    EXPECT_EQ(UserConfigFolder(), "/tmp/xdg-config/tarnel");
    EXPECT_EQ(UserCacheFolder(), "/tmp/xdg-cache/tarnel");
    // A relative XDG value is ignored, as the XDG rules say.
    ::setenv("XDG_CACHE_HOME", "relative", 1);
    ::setenv("HOME", "/tmp/home-x", 1);
    EXPECT_EQ(UserCacheFolder(), "/tmp/home-x/.cache/tarnel");
    ::setenv("TARNEL_HOME", "/opt/tarnel", 1);
    EXPECT_EQ(ProgramFolder(), "/opt/tarnel");
    ::unsetenv("TARNEL_HOME");
    EXPECT_TRUE(std::filesystem::exists(ProgramFolder() / "platform_tests"));
}

TEST(ToolLocator, OverrideThenPath) {
    ::setenv("TARNEL_TEST_TOOL", FAKE_TOOL, 1);
    EXPECT_EQ(FindTool("nothing-like-this", "TARNEL_TEST_TOOL"), FAKE_TOOL);
    ::setenv("TARNEL_TEST_TOOL", "/nonexistent/adb", 1);
    EXPECT_EQ(FindTool("sh", "TARNEL_TEST_TOOL"), "");
    ::unsetenv("TARNEL_TEST_TOOL");
    EXPECT_EQ(FindTool("nothing-like-this", "TARNEL_TEST_TOOL"), "");
    EXPECT_EQ(FindTool("sh", "TARNEL_TEST_TOOL").front(), '/');
}

}  // namespace
}  // namespace tarnel
