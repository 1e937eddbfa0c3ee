// Split-APK bundles through the flow, the real adb and the simulated phone: the splits each phone
// gets, a refusal before anything reaches the phone (every refusal is in the package tables), OBB
// files placed and taken back.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "installer/package/package_writer.h"
#include "tests/flow_e2e/flow_on_phone.h"

namespace tarnel::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kObb = "Android/obb/com.example.nova/main.3.com.example.nova.obb";
const char* const kSplits[] = {
    "",          "config.arm64_v8a", "config.armeabi_v7a", "config.mdpi", "config.xxhdpi",
    "config.en", "config.zh"};

constexpr const char* kData = "Android/data/com.example.nova/files/level1.dat";

struct BundleCase {
    const char* name;
    Scenario phone;
    const char* file;         // the bundle's name: its extension says which kind is written
    const char* installPath;  // of the XAPK's OBB file
    const char* dataEntry;    // a further entry of the XAPK, listed nowhere
    bool opens;
    std::string said;  // the last status line; or the message when the bundle does not open
    // What "pm path" lists after it, by split; empty: not installed.
    std::vector<std::string> installed;
    bool changedAfterOpening = false;  // then the installation reads the bundle again
};

// clang-format off
const BundleCase kCases[] = {
    {"XapkOnAnArm64Android12Phone", {{"release", "12"}}, "nova.xapk", kObb,
     "android/DATA/com.example.nova/files/level1.dat", true, "已安装到手机",
     {"base", "config.arm64_v8a", "config.xxhdpi", "config.zh"}},
    {"ApksOnAV7aOnlyPhone",
     {{"abis", {"armeabi-v7a", "armeabi"}}, {"density", 160}, {"locale", "en-US"}},
     "nova.apks", nullptr, nullptr, true, "已安装到手机",
     {"base", "config.armeabi_v7a", "config.mdpi", "config.en"}, true},
    {"ApkmOnALegacyPhoneInFrench",
     {{"features", "legacy"}, {"abis", {"arm64-v8a"}}, {"density", 200}, {"locale", "fr-FR"}},
     "nova.apkm", nullptr, nullptr, true, "已安装到手机",
     {"base", "config.arm64_v8a", "config.mdpi", "config.en", "config.zh"}},
    {"HostileInstallPathRefused", Scenario::object(), "nova.xapk",
     "Android/obb/com.example.nova/../../../DCIM/evil.obb", nullptr, false,
     "扩展数据的安装位置无效，只能在 Android/obb/com.example.nova/ 之内："
     "Android/obb/com.example.nova/../../../DCIM/evil.obb", {}},
    {"FailingInstallTakesTheObbAndDataBack",
     {{"installResult", "INSTALL_FAILED_INSUFFICIENT_STORAGE"}}, "nova.xapk", kObb, kData, true,
     "安装失败：安装内存不足。", {}},
};
// clang-format on

class BundleInstallTest : public FlowOnPhone, public ::testing::WithParamInterface<BundleCase> {
  protected:
    // Base and splits built by aapt, in the layout of the bundle's kind.
    fs::path WriteBundle(const fs::path& folder, const BundleCase& c) {
        const fs::path path = folder / c.file;
        const std::string kind = path.extension().string();
        std::optional<PackageWriter> writer = PackageWriter::Create(path);
        nlohmann::json splitApks = nlohmann::json::array();
        for (const char* split : kSplits) {
            ApkContents apk;
            apk.packageName = kGame;
            apk.split = split;
            apk.iconDensities = {};
            const fs::path built = folder / "built" / (std::string(split) + ".apk");
            fs::create_directories(built.parent_path());
            BuildApk(apk, built);
            const std::string name =
                *split == '\0'    ? (kind == ".xapk" ? "com.example.nova.apk" : "base.apk")
                : kind == ".xapk" ? std::string(split) + ".apk"
                : kind == ".apks" ? "splits/base-" + std::string(split + 7) + ".apk"
                                  : "split_" + std::string(split) + ".apk";
            EXPECT_TRUE(writer->AddFile(name, ReadFile(built)));
            splitApks.push_back({{"file", name}, {"id", *split ? split : "base"}});
        }
        if (kind == ".xapk") {
            nlohmann::json manifest = {{"xapk_version", 2},
                                       {"package_name", kGame},
                                       {"name", "Nova"},
                                       {"version_code", "3"},
                                       {"split_apks", splitApks}};
            if (c.installPath != nullptr) {
                manifest["expansions"] = {{{"file", kObb},
                                           {"install_location", "EXTERNAL_STORAGE"},
                                           {"install_path", c.installPath}}};
                writer->AddFile(kObb, std::string(3 << 20, 'o'), {.stored = true});
            }
            if (c.dataEntry != nullptr)
                writer->AddFile(c.dataEntry, "level 1");
            writer->AddFile("manifest.json", manifest.dump());
            writer->AddFile("icon.png", SolidPng(8, 8, 1, 2, 3));
        } else if (kind == ".apkm") {
            writer->AddFile(
                "info.json",
                R"({"apkm_version": 5, "pname": "com.example.nova", "versioncode": "3"})");
        }
        EXPECT_TRUE(writer->Finish());
        return path;
    }

    std::vector<std::string> InstalledSplits() const {
        std::vector<std::string> splits;
        std::istringstream lines(phone->Adb({"shell", "pm", "path", kGame}).out);
        for (std::string line; std::getline(lines, line);) {
            const std::string file = line.substr(line.rfind('/') + 1);
            splits.push_back(file == "base.apk" ? "base" : file.substr(6, file.size() - 10));
        }
        return splits;
    }
};

TEST_P(BundleInstallTest, InstallsWhatThePhoneNeeds) {
    const BundleCase& c = GetParam();
    Start(c.phone);
    const fs::path games = phone->WorkFolder() / "games";
    const fs::path bundle = WriteBundle(games, c);
    fs::remove_all(games / "built");

    flow->OpenPackage(bundle.string());
    view.RunUntil([&] { return state->loading == 0; });
    ASSERT_EQ(state->loadSucceeded, c.opens ? 1 : 0) << testing::PrintToString(view.effects);
    if (c.opens) {
        EXPECT_EQ(view.lastStatus, c.installPath ? "安装包内有 7 个APK文件、1 个OBB文件"
                                                 : "安装包内有 7 个APK文件、0 个OBB文件");
        if (c.changedAfterOpening)
            fs::last_write_time(bundle, fs::last_write_time(bundle) + std::chrono::seconds(1));
        flow->PressInstallButton();
        view.RunUntil([&] { return state->busy == 0; });
        EXPECT_EQ(view.lastStatus, c.said);
    } else {
        EXPECT_TRUE(view.Has("message: 错误 " + c.said)) << testing::PrintToString(view.effects);
    }
    EXPECT_EQ(InstalledSplits(), c.installed);
    const bool installed = !c.installed.empty();
    EXPECT_EQ(fs::exists(phone->HostPath(std::string("/sdcard/") + kObb)),
              installed && c.installPath);
    EXPECT_EQ(fs::exists(phone->HostPath(std::string("/sdcard/") + kData)),
              installed && c.dataEntry);
    if (installed && c.installPath) {
        EXPECT_EQ(fs::file_size(phone->HostPath(std::string("/sdcard/") + kObb)), 3u << 20);
        // adb's own percentages arrive while the OBB goes up.
        const auto uploading =
            std::find(view.effects.begin(), view.effects.end(), "status: 正在上传数据包...");
        const auto installing = std::find(uploading, view.effects.end(), "status: 正在安装软件...");
        EXPECT_NE(std::find(uploading, installing, "progress: 100"), installing);
    }
    EXPECT_FALSE(fs::exists(phone->HostPath("/sdcard/DCIM/evil.obb")));
    if (!installed) {
        EXPECT_FALSE(fs::exists(phone->HostPath("/sdcard/Android/obb/com.example.nova")));
        EXPECT_FALSE(fs::exists(phone->HostPath("/sdcard/Android/data/com.example.nova")));
    }
    // Nothing is left beside the bundle.
    EXPECT_EQ(std::distance(fs::directory_iterator(games), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(Bundles, BundleInstallTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BundleInstall, AnEncryptedApkmIsNamedAsSuch) {
    TestFolder folder;
    WriteFile(folder / "old.apkm", std::string("\x00\x01sodium", 8));
    RecordingView view;
    InstallerState state;
    state.bridge.aaptPath = FindTool("aapt", "TARNEL_AAPT");
    InstallFlow flow(view, state);
    flow.OpenPackage((folder / "old.apkm").string());
    view.RunUntil([&] { return state.loading == 0; });
    EXPECT_TRUE(view.Has(
        "message: 错误 "
        "这是加密的旧版APKM文件，无法读取。请到APKMirror重新下载（2021年后的APKM文件未加密）。"));
    EXPECT_EQ(state.loadSucceeded, 0);
}

}  // namespace
}  // namespace tarnel::test
