// Unpacking packages into their folder beside them and checking them against their manifest, by
// the window's flow and by --extract.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <sstream>
#include <string>

#include "bridge/device_bridge.h"
#include "installer/package/extract_command.h"
#include "installer/package/folder_tree.h"
#include "installer/package/game_package_writer.h"
#include "installer/package/unpack_package.h"
#include "installer/package/verify_unpacked.h"
#include "platform/text_codec.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

GamePackage Racer() {
    GamePackage package;
    package.apk = std::string(3000, 'A');
    package.icon = "PNG";
    package.dataFiles = {
        {"obb/com.example.racer/main.1.com.example.racer.obb", std::string(5000, 'o')},
        {"data/com.example.racer/files/save.dat", "save"}};
    return package;
}

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome Extract(const fs::path& package, const std::optional<fs::path>& folder,
                bool progress = false) {
    SetNarrowCharset("UTF-8");
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunExtractCommand(package, folder, out, err, progress);
    return {code, out.str(), err.str()};
}

struct VerifyCase {
    const char* what;
    void (*change)(GamePackage&);
    int result;
};

const VerifyCase kCases[] = {
    {"intact", [](GamePackage&) {}, kUnpackedIntact},
    {"no manifest", [](GamePackage& p) { p.manifestEntryName = "readme.txt"; }, kManifestMissing},
    {"manifest not zlib", [](GamePackage& p) { p.manifestData = "{\"packageName\": \"x\"}"; },
     kManifestBroken},
    {"no apk", [](GamePackage& p) { p.apk.reset(); }, kApkMissing},
    {"package name leaving the folder",
     [](GamePackage& p) {
         p.manifest.packageName = "../../outside";
         p.apkEntryName = "outside.apk";
     },
     kApkMissing},
    {"apk one byte longer", [](GamePackage& p) { p.manifest.apkSize = "2999"; }, kApkAltered},
    {"apk size with decimals", [](GamePackage& p) { p.manifest.apkSize = "3000.0"; },
     kUnpackedIntact},
    {"data size off", [](GamePackage& p) { p.manifest.dataSize = "5003"; }, kDataAltered},
    {"data size missing", [](GamePackage& p) { p.manifest.dataSize = "x"; }, kDataAltered},
    {"no data, size 0",
     [](GamePackage& p) {
         p.dataFiles.clear();
         p.manifest.dataSize = "0";
     },
     kUnpackedIntact},
    {"names in other case",
     [](GamePackage& p) {
         p.manifestEntryName = "Manifest.DATA";
         p.apkEntryName = "COM.EXAMPLE.RACER.APK";
     },
     kUnpackedIntact},
    {"made on Windows", [](GamePackage& p) { p.options = {.external = 0x20, .system = 0}; },
     kUnpackedIntact},
};

// How a result reaches the user: --extract below, the install flow in flow_e2e.
TEST(VerifyUnpacked, GivesItsResultAndTheFolderCanBeRemoved) {
    for (const VerifyCase& c : kCases) {
        TestFolder folder;
        GamePackage package = Racer();
        c.change(package);
        const fs::path path = folder / "racer.tpk";
        ASSERT_TRUE(WriteGamePackage(path, package));
        DeviceBridge bridge(BridgeVariant::Installer);
        const UnpackReport report = UnpackPackage(bridge, path);
        ASSERT_EQ(report.status, UnpackStatus::Done) << c.what << ": " << report.message;
        EXPECT_EQ(bridge.unpackFolder, (folder / "~racer").string());
        EXPECT_EQ(VerifyUnpacked(bridge), c.result) << c.what;
        EXPECT_EQ(bridge.obbSourceDir, (folder / "~racer" / "android").string());
        if (c.result == kUnpackedIntact) {
            EXPECT_TRUE(fs::is_regular_file(bridge.apkPath)) << c.what;
            EXPECT_EQ(fs::path(bridge.apkPath).parent_path(), folder / "~racer");
        }
        RemoveFolderTree(bridge.unpackFolder);
        EXPECT_FALSE(fs::exists(folder / "~racer")) << c.what;
    }
}

// A folder or link of that name is the user's: a fresh one is made beside it and removed later.
TEST(UnpackFolder, IsANewFolderBesideThePackage) {
    TestFolder folder;
    EXPECT_EQ(UnpackFolderBeside(folder / "racer.v2.tpk"), folder / "~racer.v2");
    const fs::path path = folder / "racer.tpk";
    ASSERT_TRUE(WriteGamePackage(path, Racer()));
    fs::create_directories(folder / "~racer");
    test::WriteFile(folder / "~racer" / "mine.txt", "the user's");
    fs::create_directory_symlink(folder / "elsewhere", folder / "~racer (2)");
    DeviceBridge bridge(BridgeVariant::Installer);
    ASSERT_EQ(UnpackPackage(bridge, path).status, UnpackStatus::Done);
    EXPECT_EQ(bridge.unpackFolder, (folder / "~racer (3)").string());
    EXPECT_EQ(VerifyUnpacked(bridge), kUnpackedIntact);
    EXPECT_EQ(fs::directory_iterator(folder / "~racer")->path().filename(), "mine.txt");
    EXPECT_FALSE(fs::exists(folder / "elsewhere"));
}

TEST(UnpackFolder, FallsBackToTheCacheWhenThePackageFolderTakesNone) {
    TestFolder folder;
    setenv("XDG_CACHE_HOME", folder.Path().c_str(), 1);
    // Nothing can be created in /proc, not even by root.
    EXPECT_EQ(CreateUnpackFolder("/proc/racer.tpk"), folder / "tarnel" / "unpack" / "~racer");
    EXPECT_EQ(CreateUnpackFolder("/proc/racer.tpk"), folder / "tarnel" / "unpack" / "~racer (2)");
    unsetenv("XDG_CACHE_HOME");
}

// Each unsafe name is judged in the entry-name table, each way of skipping in the unpack tests.
TEST(ExtractCommand, UnpacksBesideThePackageWithProgressAndNamesWhatItSkipped) {
    TestFolder folder;
    std::optional<PackageWriter> writer = PackageWriter::Create(folder / "p.tpk");
    writer->AddFile("manifest.data",
                    CompressManifest(ManifestText({.apkSize = "1", .dataSize = "0"})));
    writer->AddFile("com.example.racer.apk", "a");
    writer->AddFile("../escape", "x");
    writer->AddSymbolicLink("link", "/etc");
    ASSERT_TRUE(writer->Finish());
    const Outcome outcome = Extract(folder / "p.tpk", std::nullopt, true);
    EXPECT_EQ(outcome.code, 0) << outcome.out;
    EXPECT_TRUE(
        outcome.out.starts_with("已跳过不安全的条目: 2\n  ../escape (parent folder reference)\n"
                                "  link (symbolic link)\n解压缩完成: " +
                                (folder / "~p").string() + " (2 files"))
        << outcome.out;
    EXPECT_NE(outcome.err.find("正在解压缩TPK文件... 100%"), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(folder / "escape"));
}

TEST(ExtractCommand, FailuresAreSaidAndOnlyAFolderItMadeIsRemoved) {
    TestFolder folder;
    test::WriteFile(folder / "broken.tpk", "not a zip");
    Outcome outcome = Extract(folder / "broken.tpk", std::nullopt);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_NE(outcome.out.find("打开tpk文件错误！"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "~broken"));
    fs::create_directories(folder / "mine");
    outcome = Extract(folder / "broken.tpk", folder / "mine");
    EXPECT_EQ(outcome.code, 1);
    EXPECT_TRUE(fs::exists(folder / "mine"));
    // A package that unpacks but does not verify is told in its check's words.
    GamePackage altered = Racer();
    altered.manifest.dataSize = "1";
    ASSERT_TRUE(WriteGamePackage(folder / "altered.tpk", altered));
    outcome = Extract(folder / "altered.tpk", std::nullopt);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.out, "数据包已修改无法安装，请到Tarnel重新下载！\n");
    EXPECT_FALSE(fs::exists(folder / "~altered"));
}

}  // namespace
}  // namespace tarnel
