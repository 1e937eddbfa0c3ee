#include "client/core/device_monitor.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnel {
namespace {

constexpr MonitorEffect None = MonitorEffect::None;
constexpr MonitorEffect Wizard = MonitorEffect::RunWizard;
constexpr MonitorEffect NoPhone = MonitorEffect::ShowNoPhonePage;

struct PollStep {
    bool attached;
    bool wizardOpenedHere;
    MonitorEffect effect;
};

TEST(DeviceMonitor, DecidesEachPoll) {
    const struct {
        const char* name;
        std::vector<PollStep> polls;
    } cases[] = {
        {"no phone: the no-phone page at every poll",
         {{false, false, NoPhone}, {false, false, NoPhone}}},
        {"phone before start: wizard at the first poll, whatever the page says",
         {{true, true, Wizard}, {true, false, None}, {true, false, None}}},
        {"phone attached later: wizard once",
         {{false, false, NoPhone}, {true, false, Wizard}, {true, false, None}}},
        {"one missing poll is not a detach; the return runs the wizard again",
         {{true, false, Wizard}, {false, false, None}, {true, false, Wizard}, {true, false, None}}},
        {"two empty polls show the no-phone page; re-attach runs the wizard",
         {{true, false, Wizard},
          {false, false, None},
          {false, false, NoPhone},
          {false, false, NoPhone},
          {true, false, Wizard}}},
        {"a wizard the page opened itself is not doubled",
         {{true, false, Wizard}, {false, false, None}, {false, true, NoPhone}, {true, true, None}}},
        {"the page's flag counts only after the first phone",
         {{false, true, NoPhone}, {true, true, Wizard}}},
    };
    for (const auto& c : cases) {
        DeviceMonitor monitor;
        for (size_t i = 0; i < c.polls.size(); ++i) {
            const PollStep& step = c.polls[i];
            EXPECT_EQ(monitor.Poll(step.attached, step.wizardOpenedHere), step.effect)
                << c.name << ", poll " << i + 1;
            EXPECT_EQ(monitor.WasPresent(), step.attached) << c.name << ", poll " << i + 1;
        }
    }
}

}  // namespace
}  // namespace tarnel
