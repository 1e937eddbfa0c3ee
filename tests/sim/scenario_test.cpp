#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdexcept>

#include "sim/scenario.h"

namespace tarnel::sim {
namespace {

using ::testing::HasSubstr;

// A mistyped scenario would quietly test a different phone: it is refused, and says why.
TEST(Scenario, NamesWhatIsWrong) {
    const struct {
        const char* json;
        const char* complaint;
    } rows[] = {
        {"[1]", "must be a JSON object"},
        {"{\"modle\": \"x\"}", "unknown scenario key \"modle\""},
        {"{\"root\": \"yes\"}", "\"root\" has the wrong type"},
        {"{\"sdFree\": -5}", "\"sdFree\" must be a number of bytes"},
        {"{\"installResult\": \"oops; rm -rf\"}", "\"installResult\""},
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

}  // namespace
}  // namespace tarnel::sim
