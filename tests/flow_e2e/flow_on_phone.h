#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "installer/flow/install_flow.h"
#include "installer/package/game_package_writer.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/flow/recording_view.h"
#include "tests/package/test_folder.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {

inline constexpr const char* kGame = "com.example.nova";
inline constexpr const char* kInstalled = "已安装到手机";
inline constexpr std::size_t kMainObbBytes = 200000;

// The installer's flow with the real adb and aapt, on a simulated phone of its own; the view is
// touched on the test's thread only.
class FlowOnPhone : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_FALSE(view.Has("WRONG THREAD")); }

    void Start(const Scenario& scenario = Scenario::object()) {
        phone = std::make_unique<SimulatedPhone>(scenario);
        ::setenv("XDG_CACHE_HOME", (phone->WorkFolder() / "cache").c_str(), 1);
        state = std::make_unique<InstallerState>();
        state->bridge.adbPath = FindTool("adb", "TARNEL_ADB");
        state->bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
        flow = std::make_unique<InstallFlow>(view, *state);
        ApkContents apk;
        apk.packageName = kGame;
        BuildApk(apk, phone->WorkFolder() / "nova.apk");
    }

    // A game package at folder/file in the work folder (for a name ending in .apk, the APK
    // alone) with dataFile of kMainObbBytes and levels/1.txt; edit changes it before it is
    // written.
    std::filesystem::path Place(const std::string& folder, const std::string& file,
                                const std::string& dataFile = "main.obb",
                                const std::function<void(GamePackage&)>& edit = {}) {
        const std::filesystem::path path = phone->WorkFolder() / folder / file;
        std::filesystem::create_directories(path.parent_path());
        if (path.extension() == ".apk") {
            std::filesystem::copy_file(phone->WorkFolder() / "nova.apk", path);
            return path;
        }
        GamePackage package;
        package.manifest.packageName = kGame;
        package.apk = ReadFile(phone->WorkFolder() / "nova.apk");
        package.dataFiles = {{ObbEntry(dataFile), std::string(kMainObbBytes, 'n')},
                             {ObbEntry("levels/1.txt"), "level one"}};
        if (edit)
            edit(package);
        EXPECT_TRUE(WriteGamePackage(path, package));
        return path;
    }
    static std::string ObbEntry(const std::string& below) {
        return std::string("obb/") + kGame + "/" + below;
    }

    // Opens path and presses the install button; waits until the installation has ended.
    void Install(const std::filesystem::path& path) {
        flow->OpenPackage(path.string());
        view.RunUntil([&] { return state->loading == 0; });
        flow->PressInstallButton();
        view.RunUntil([&] { return state->busy == 0; });
    }

    std::filesystem::path GameData() const {
        return phone->HostPath(std::string("/sdcard/Android/obb/") + kGame);
    }
    bool Listed() const {
        return phone->Adb({"shell", "pm", "list", "package"}).out.find(kGame) != std::string::npos;
    }

    RecordingView view;
    std::unique_ptr<SimulatedPhone> phone;
    std::unique_ptr<InstallerState> state;
    std::unique_ptr<InstallFlow> flow;
};

}  // namespace tarnel::test
