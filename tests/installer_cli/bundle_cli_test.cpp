// A split-APK bundle through the real tarnelInstall: --info with the attached phone's choice, and
// --extract. Its installation is the flow's (flow_e2e), which --no-gui runs.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "installer/package/package_writer.h"
#include "tests/apk/apk_builder.h"
#include "tests/installer_cli/run_install.h"
#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;

TEST(BundleCommandLine, InfoAndExtractOnAV7aPhone) {
    test::SimulatedPhone phone(
        test::Scenario{{"abis", {"armeabi-v7a"}}, {"density", 160}, {"locale", "en-US"}});
    ::setenv("XDG_CACHE_HOME", (phone.WorkFolder() / "cache").c_str(), 1);
    const fs::path bundle = phone.WorkFolder() / "星际 game.apks";
    std::optional<PackageWriter> writer = PackageWriter::Create(bundle);
    for (const char* split :
         {"", "config.arm64_v8a", "config.armeabi_v7a", "config.mdpi", "config.en", "config.fr"}) {
        test::ApkContents apk;
        apk.label = "星际";
        apk.split = split;
        const fs::path built = phone.WorkFolder() / (std::string(split) + "x.apk");
        test::BuildApk(apk, built);
        writer->AddFile(*split ? "split_" + std::string(split) + ".apk" : "base.apk",
                        test::ReadFile(built));
    }
    writer->AddFile("Android/obb/com.example.game/main.1.com.example.game.obb", "obb");
    writer->AddFile("Android/data/com.example.game/files/level.dat", "data");
    ASSERT_TRUE(writer->Finish());

    const RunResult info = test::RunInstall({"--info", bundle.string()});
    ASSERT_EQ(info.exitStatus, 0) << info.output;
    const auto facts = nlohmann::json::parse(info.output);
    EXPECT_EQ(facts["appLabel"], "星际");
    EXPECT_EQ(facts["packageName"], "com.example.game");
    EXPECT_EQ(facts["splits"].size(), 6u);
    EXPECT_EQ(facts["obbFiles"],
              nlohmann::json({"Android/obb/com.example.game/main.1.com.example.game.obb"}));
    EXPECT_EQ(facts["dataFiles"],
              nlohmann::json({"Android/data/com.example.game/files/level.dat"}));
    EXPECT_EQ(facts["phone"]["abis"], nlohmann::json({"armeabi-v7a"}));
    EXPECT_EQ(facts["phone"]["chosen"],
              nlohmann::json({"base", "config.armeabi_v7a", "config.mdpi", "config.en"}));

    const fs::path target = phone.WorkFolder() / "out";
    const RunResult extract = test::RunInstall({"--extract", bundle.string(), target.string()});
    EXPECT_EQ(extract.exitStatus, 0) << extract.output;
    EXPECT_TRUE(fs::exists(target / "split_config.en.apk"));
}

}  // namespace
}  // namespace tarnel
