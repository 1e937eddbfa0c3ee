#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdexcept>

#include "sim/companion_app.h"
#include "sim/scenario.h"

namespace tarnel::sim {
namespace {

using ::testing::HasSubstr;

TEST(Scenario, NamesWhatIsWrong) {
    const struct {
        const char* json;
        const char* complaint;
    } rows[] = {
        {"[1]", "must be a JSON object"},
        {"{\"modle\": \"x\"}", "unknown scenario key \"modle\""},
        {"{\"root\": \"yes\"}", "\"root\" has the wrong type"},
        {"{\"sdFree\": -5}", "\"sdFree\" must be a number of bytes"},
        {"{\"features\": \"newest\"}", "\"features\""},
        {"{\"installResultForm\": \"long\"}", "\"installResultForm\""},
        {"{\"installResult\": \"oops; rm -rf\"}", "\"installResult\""},
        {"{\"display\": \"1080*2248\"}", "\"display\""},
        {"{\"packages\": {\"a\": 3}}", "package \"a\""},
        {"{\"companionDelayMs\": -1}", "cannot be negative"},
        {"{", "not valid JSON"},
    };
    for (const auto& row : rows) {
        try {
            ParseScenario(row.json);
            ADD_FAILURE() << row.json << " was accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_THAT(error.what(), HasSubstr(row.complaint)) << row.json;
        }
    }
}

TEST(DeviceFacts, EscapeTextThatWouldBreakTheFile) {
    Scenario scenario = ParseScenario(R"({"model": "Phone \"X\"", "brand": "小米"})");
    const std::string facts = DeviceFactsText(scenario);
    EXPECT_THAT(facts, HasSubstr(R"("deviceType":"Phone \"X\"",)"));
    EXPECT_THAT(facts, HasSubstr(R"("deviceName":"小米",)"));
}

}  // namespace
}  // namespace tarnel::sim
