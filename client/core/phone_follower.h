#pragma once

#include <string>
#include <vector>

#include "bridge/phone_state.h"

namespace tarnel {

// Which of the attached phones the window shows, one poll at a time: the first ready phone until
// the user picks another; when the shown phone goes away while another stays, the other one.
class PhoneFollower {
  public:
    struct Step {
        // The phone to show now; empty when none is ready.
        std::string serial;
        // The shown phone changed to another ready one: its wizard runs.
        bool switched = false;
    };

    Step Poll(const std::vector<AttachedPhone>& ready);
    // The user's pick from the settings menu; it counts from the next poll on.
    void Choose(const std::string& serial) { shown_ = serial; }
    const std::string& Shown() const { return shown_; }

  private:
    std::string shown_;
};

}  // namespace tarnel
