#pragma once

namespace tarnel {

// What the window does after one poll of the phone.
enum class MonitorEffect {
    None,
    // Disable the no-phone page's connect button, run the connection wizard and wait for it to
    // end, then enable the button again.
    RunWizard,
    // Hide the device page, show the no-phone page and enable its connect button.
    ShowNoPhonePage,
};

// The device monitor's decisions, one poll at a time. The wizard runs for the first phone seen
// and again for each phone that comes back after at least one empty poll, unless the no-phone
// page has opened one itself; a phone counts as gone only after two empty polls in a row.
class DeviceMonitor {
  public:
    // phoneAttached: the poll's answer; wizardOpenedHere: the no-phone page's flag at that moment.
    MonitorEffect Poll(bool phoneAttached, bool wizardOpenedHere);

    bool WasPresent() const { return wasPresent_; }
    bool SeenOnce() const { return seenOnce_; }

  private:
    bool wasPresent_ = false;
    bool seenOnce_ = false;
};

}  // namespace tarnel
