#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "client/core/update_check.h"
#include "tests/client_core/loopback_http_server.h"
#include "tests/package/test_folder.h"

namespace tarnel {
namespace {

using namespace std::chrono_literals;
using test::LoopbackHttpServer;

class RecordingReporter : public UpdateCheckReporter {
  public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void NewVersionAvailable() override { ++newVersion; }
    std::vector<std::string> messages;
    int newVersion = 0;
};

struct CheckCase {
    std::string name;
    // Update.ini; "{url}" stands for the test server's address. Absent: no Update.ini at all.
    std::optional<std::string> updateIni;
    std::string announced;  // the body the server sends
    int newVersion;
    std::vector<std::string> messages;
    bool cacheIsAFile = false;
};

class UpdateCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(UpdateCheck, ComparesVersionsAsNumbers) {
    const CheckCase& c = GetParam();
    test::TestFolder program, cache;
    LoopbackHttpServer server({LoopbackHttpServer::Ok(c.announced)});
    if (c.updateIni) {
        std::string ini = *c.updateIni;
        if (const std::size_t at = ini.find("{url}"); at != std::string::npos)
            ini.replace(at, 5, server.Url());
        test::WriteFile(program / "Update.ini", ini);
    }
    if (c.cacheIsAFile) {
        test::WriteFile(cache / "tarnel", "");
    } else {
        std::filesystem::create_directory(cache / "tarnel");
    }
    RecordingReporter reporter;
    UpdateCheckThread({program.Path(), cache / "tarnel"}, reporter, 300ms);
    EXPECT_EQ(reporter.newVersion, c.newVersion);
    EXPECT_EQ(reporter.messages, c.messages);
    // Kept only when it announces a newer version, for the updater to read.
    EXPECT_EQ(std::filesystem::exists(cache / "tarnel" / "Updater.ini"), c.newVersion == 1);
    if (c.newVersion == 1) {
        EXPECT_EQ(test::ReadFile(cache / "tarnel" / "Updater.ini"), c.announced);
    }
}

const std::string kFaultyIni = "Update.ini文件有误，请手动下载新版本！";

CheckCase Check(std::string name, std::string installed, std::string announced, int newVersion) {
    return {std::move(name),
            "[MAINVER]\nmainver=" + installed + "\n[URL]\niniurl={url}\n",
            "[MAINVER]\r\nmainver=" + announced + "\r\n",
            newVersion,
            {}};
}

INSTANTIATE_TEST_SUITE_P(
    Versions, UpdateCheck,
    testing::Values(
        Check("Same", "1.0", "1.0", 0), Check("Newer", "1.0", "1.01", 1),
        Check("NumbersNotText", "1.05", "1.1", 1), Check("Older", "1.1", "1.05", 0),
        Check("AnnouncedGarbage", "1.0", "v2", 0), Check("AnnouncedNotANumber", "1.0", "nan", 0),
        Check("AtofPrefix", "1.0", " 1.5beta", 1), Check("InstalledEmpty", "", "0.1", 1),
        CheckCase{"AnnouncedNothing", "[MAINVER]\nmainver=1.0\n[URL]\niniurl={url}\n", "", 0, {}},
        CheckCase{"NoUpdateIni", std::nullopt, "", 0, {kFaultyIni}},
        CheckCase{"EmptyIniurl", "[MAINVER]\nmainver=1.0\n[URL]\niniurl=\n", "", 0, {kFaultyIni}},
        CheckCase{"UnwritableCache",
                  "[MAINVER]\nmainver=1\n[URL]\niniurl={url}\n",
                  "[MAINVER]\nmainver=2\n",
                  0,
                  {"检测新版本失败！如果软件不能使用请手动下载更新!"},
                  true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tarnel
