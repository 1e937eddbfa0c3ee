#include "client/core/phone_follower.h"

#include <algorithm>

namespace tarnel {

PhoneFollower::Step PhoneFollower::Poll(const std::vector<AttachedPhone>& ready) {
    Step step;
    if (ready.empty()) {
        // Kept: the same phone coming back is not a switch.
        return step;
    }
    const bool stillThere = std::ranges::any_of(
        ready, [&](const AttachedPhone& phone) { return phone.serial == shown_; });
    if (!stillThere) {
        step.switched = !shown_.empty();
        shown_ = ready.front().serial;
    }
    step.serial = shown_;
    return step;
}

}  // namespace tarnel
