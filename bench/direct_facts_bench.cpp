// From a phone that adb has just listed to the facts the device page shows, without the companion
// app: the wizard's steps (phone check, the facts through adb's shell in one run, the first
// screenshot) on the simulated phone through the real adb. Prints the median of several attaches
// and the median of each step (target: at most 3 s from attach to shown facts).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "client/core/phone_preparation.h"
#include "platform/tool_locator.h"
#include "tests/apk/apk_builder.h"
#include "tests/support/phone_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class Ready : public tarnel::PreparationReporter {
  public:
    void NoPhone(tarnel::PhoneState) override {}
    void PhoneReady(const tarnel::DeviceInfo&) override { ready = true; }
    bool ready = false;
};

}  // namespace

int main() {
    const auto folder = tarnel::test::FreshTestFolder("direct-facts-bench");
    setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
    tarnel::PreparationSettings settings;
    settings.companionApk = folder / "no-tarnel.apk";
    constexpr int kRuns = 7;
    std::vector<double> attach, prepare, check, facts, screenshot;
    for (int run = 0; run < kRuns; ++run) {
        tarnel::test::SimulatedPhone phone(tarnel::test::Scenario::object(),
                                           tarnel::test::PhonePresence::Unplugged);
        tarnel::DeviceBridge bridge(tarnel::BridgeVariant::Client);
        bridge.adbPath = tarnel::FindTool("adb", "TARNEL_ADB");
        const auto plugged = Clock::now();
        phone.Plug();
        const auto listed = Clock::now();
        Ready reporter;
        tarnel::PreparePhone(bridge, settings, reporter);
        const auto shown = Clock::now();
        if (!reporter.ready) {
            std::fprintf(stderr, "the simulated phone was not reported ready\n");
            return 1;
        }
        attach.push_back(Ms(listed - plugged));
        prepare.push_back(Ms(shown - listed));
        // The steps one by one, on the same phone.
        auto at = Clock::now();
        bridge.IsDeviceConnected();
        check.push_back(Ms(Clock::now() - at));
        at = Clock::now();
        if (bridge.ReadDirectFacts() != 1 || bridge.deviceInfo.model.empty()) {
            std::fprintf(stderr, "the facts were not read\n");
            return 1;
        }
        facts.push_back(Ms(Clock::now() - at));
        at = Clock::now();
        if (!bridge.TakeScreenshot()) {
            std::fprintf(stderr, "no screenshot\n");
            return 1;
        }
        screenshot.push_back(Ms(Clock::now() - at));
    }
    std::printf("adb connect until listed:      %7.1f ms (median of %d)\n", Median(attach), kRuns);
    std::printf("listed until facts shown:      %7.1f ms (target: at most 3000 ms)\n",
                Median(prepare));
    std::printf("  phone check (adb devices):   %7.1f ms\n", Median(check));
    std::printf("  facts through adb's shell:   %7.1f ms\n", Median(facts));
    std::printf("  screenshot (screencap, pull):%7.1f ms\n", Median(screenshot));
    std::filesystem::remove_all(folder);
    return Median(prepare) <= 3000 ? 0 : 1;
}
