#include "client/core/phone_follower.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

std::vector<AttachedPhone> Ready(std::initializer_list<const char*> serials) {
    std::vector<AttachedPhone> phones;
    for (const char* serial : serials)
        phones.push_back({serial, "device", "", ""});
    return phones;
}

TEST(PhoneFollower, ShowsTheFirstPhoneAndMovesOnWhenItGoes) {
    PhoneFollower follower;
    const struct {
        std::vector<AttachedPhone> ready;
        const char* shown;
        bool switched;
    } steps[] = {
        {Ready({}), "", false},          {Ready({"A", "B"}), "A", false},
        {Ready({"B", "A"}), "A", false}, {Ready({"B"}), "B", true},
        {Ready({}), "", false},          {Ready({"B"}), "B", false},
        {Ready({"C", "B"}), "B", false},
    };
    for (const auto& step : steps) {
        const PhoneFollower::Step got = follower.Poll(step.ready);
        EXPECT_EQ(got.serial, step.shown);
        EXPECT_EQ(got.switched, step.switched) << step.shown;
    }
    follower.Choose("C");
    EXPECT_EQ(follower.Poll(Ready({"B", "C"})).serial, "C");
}

}  // namespace
}  // namespace tarnel
