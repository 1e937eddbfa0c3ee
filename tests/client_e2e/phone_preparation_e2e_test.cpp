// The connection wizard's steps on the simulated phone, through the real adb.

#include "client/core/phone_preparation.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "client/core/screenshot_file.h"
#include "tests/client_e2e/client_phone.h"
#include "tests/support/phone_fixture.h"

namespace tarnel::test {
namespace {

using namespace std::chrono_literals;

class RecordingReporter : public PreparationReporter {
  public:
    void NoPhone(PhoneState state) override { noPhone = state; }
    void PhoneReady(const DeviceInfo& ready) override { facts = ready; }

    std::optional<PhoneState> noPhone;
    std::optional<DeviceInfo> facts;
};

std::string InstalledCompanionVersion(const SimulatedPhone& phone) {
    const std::string dump = phone.Adb({"shell", "dumpsys", "package", "com.kestrum.player"}).out;
    const size_t at = dump.find("versionName=");
    if (at == std::string::npos)
        return {};
    return dump.substr(at + 12, dump.find('\n', at) - at - 12);
}

struct CompanionCase {
    const char* name;
    const char* installed;  // nullptr: not on the phone
    const char* shipped;    // the program folder's tarnel.apk; nullptr: none
    int companionDelayMs;
    std::chrono::milliseconds pause;
    const char* installedAfter;  // nullptr: still not on the phone
    bool companionFacts;         // the companion's file was read (else the shell's facts)
};

void PrintTo(const CompanionCase& row, std::ostream* out) {
    *out << row.name;
}

const CompanionCase kCompanionCases[] = {
    {"MissingIsInstalled", nullptr, "2.2.0", 100, 200ms, "2.2.0", true},
    {"CurrentIsKept", "2.2.0", "2.3.0", 100, 200ms, "2.2.0", true},
    {"OlderIsReplaced", "2.1.9", "2.2.0", 100, 200ms, "2.2.0", true},
    // Reads at 2, 4 and 6 seconds find nothing; the fourth, at 8, finds the file.
    {"FactsAfterSevenSeconds", "2.2.0", "2.2.0", 7000, 2000ms, "2.2.0", true},
    {"FactsNeverCome", "2.2.0", "2.2.0", 60000, 100ms, "2.2.0", false},
    {"NoCompanionApk", nullptr, nullptr, 100, 200ms, nullptr, false},
};

class PreparePhoneWith : public ::testing::TestWithParam<CompanionCase> {};

TEST_P(PreparePhoneWith, ReportsTheScenarioReady) {
    const CompanionCase& row = GetParam();
    ClientFolders folders;
    if (row.shipped != nullptr)
        folders.AddCompanionApk(row.shipped);
    Scenario scenario = {{"companionDelayMs", row.companionDelayMs}, {"release", "11"}};
    if (row.installed != nullptr)
        scenario["packages"] = {{"com.kestrum.player", row.installed}};
    SimulatedPhone phone(scenario);
    DeviceBridge bridge = ClientBridge();
    RecordingReporter reporter;

    ASSERT_EQ(PreparePhone(bridge, folders.Settings(row.pause), reporter),
              PreparationResult::Ready);
    ASSERT_TRUE(reporter.facts.has_value());
    EXPECT_FALSE(reporter.noPhone.has_value());
    const DeviceInfo& facts = *reporter.facts;
    EXPECT_EQ(facts.model, "MI 8");
    EXPECT_EQ(facts.androidRelease, "android 11");
    EXPECT_NEAR(facts.dataSizeTotal, 64000000000, 1024);
    // Only the companion's file carries the exact byte count; meminfo counts whole KiB.
    EXPECT_EQ(facts.ramSizeFree == 2500000000, row.companionFacts);
    EXPECT_NEAR(facts.ramSizeFree, 2500000000, 1024);

    EXPECT_EQ(InstalledCompanionVersion(phone), row.installedAfter ? row.installedAfter : "");
    EXPECT_TRUE(std::filesystem::is_regular_file(ScreenshotPath()));
    EXPECT_EQ(ScreenshotPath().parent_path().parent_path(), folders.Folder() / "cache" / "tarnel");
}

INSTANTIATE_TEST_SUITE_P(Phones, PreparePhoneWith, ::testing::ValuesIn(kCompanionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PreparePhone, AStopEndsTheWaitWithoutAReport) {
    ClientFolders folders;
    folders.AddCompanionApk("2.2.0");
    SimulatedPhone phone(Scenario{{"companionDelayMs", 60000}});
    DeviceBridge bridge = ClientBridge();
    RecordingReporter reporter;
    std::stop_source stop;
    std::jthread stopper([&] {
        std::this_thread::sleep_for(1500ms);
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(PreparePhone(bridge, folders.Settings(10s), reporter, stop.get_token()),
              PreparationResult::Stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 9s);
    EXPECT_FALSE(reporter.facts.has_value());
    EXPECT_FALSE(reporter.noPhone.has_value());
}

}  // namespace
}  // namespace tarnel::test
