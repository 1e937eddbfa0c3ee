#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "installer/package/extract_command.h"
#include "installer/package/game_package_writer.h"
#include "platform/text_codec.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome Extract(const fs::path& package, const std::optional<fs::path>& folder, bool progress) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunExtractCommand(package, folder, out, err, progress);
    return {code, out.str(), err.str()};
}

GamePackage Game() {
    GamePackage package;
    package.apk = std::string(100, 'a');
    package.dataFiles = {{"obb/com.example.racer/main.obb", std::string(2000, 'o')}};
    return package;
}

class ExtractCommandTest : public ::testing::Test {
  protected:
    void SetUp() override { SetNarrowCharset("UTF-8"); }
    TestFolder folder_;
};

TEST_F(ExtractCommandTest, IntactPackageUnpacksBesideItself) {
    ASSERT_TRUE(WriteGamePackage(folder_ / "racer.tpk", Game()));
    const Outcome outcome = Extract(folder_ / "racer.tpk", std::nullopt, true);
    EXPECT_EQ(outcome.code, 0) << outcome.out << outcome.err;
    EXPECT_NE(outcome.out.find("解压缩完成: " + (folder_ / "~racer").string()), std::string::npos)
        << outcome.out;
    EXPECT_NE(outcome.err.find("正在解压缩TPK文件... 100%"), std::string::npos) << outcome.err;
    EXPECT_TRUE(
        fs::exists(folder_ / "~racer" / "android" / "obb" / "com.example.racer" / "main.obb"));
}

// Each check result and its words are in the verify table.
TEST_F(ExtractCommandTest, SkippedEntriesAreCountedAndNamed) {
    std::optional<PackageWriter> writer = PackageWriter::Create(folder_ / "p.tpk");
    writer->AddFile("manifest.data",
                    CompressManifest(ManifestText({.apkSize = "1", .dataSize = "0"})));
    writer->AddFile("com.example.racer.apk", "a");
    writer->AddFile("../escape", "x");
    writer->AddSymbolicLink("link", "/etc");
    ASSERT_TRUE(writer->Finish());
    const Outcome outcome = Extract(folder_ / "p.tpk", folder_ / "out", false);
    EXPECT_EQ(outcome.code, 0) << outcome.out;
    EXPECT_NE(outcome.out.find("已跳过不安全的条目: 2\n  ../escape (parent folder reference)\n"
                               "  link (symbolic link)\n"),
              std::string::npos)
        << outcome.out;
    EXPECT_FALSE(fs::exists(folder_ / "escape"));
}

TEST_F(ExtractCommandTest, FailedUnpackRemovesTheFolderItMade) {
    test::WriteFile(folder_ / "broken.tpk", "not a zip");
    Outcome outcome = Extract(folder_ / "broken.tpk", std::nullopt, false);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_NE(outcome.out.find("打开tpk文件错误！"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder_ / "~broken"));
    // A folder that was there before stays.
    fs::create_directories(folder_ / "mine");
    outcome = Extract(folder_ / "broken.tpk", folder_ / "mine", false);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_TRUE(fs::exists(folder_ / "mine"));
}

}  // namespace
}  // namespace tarnel
