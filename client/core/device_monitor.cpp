#include "client/core/device_monitor.h"

namespace tarnel {

MonitorEffect DeviceMonitor::Poll(bool phoneAttached, bool wizardOpenedHere) {
    MonitorEffect effect = MonitorEffect::None;
    if (phoneAttached) {
        if (!seenOnce_) {
            // A phone attached before start gets the wizard whatever the page says.
            effect = MonitorEffect::RunWizard;
            seenOnce_ = true;
        } else if (!wasPresent_ && !wizardOpenedHere) {
            effect = MonitorEffect::RunWizard;
        }
        wasPresent_ = true;
    } else {
        // The previous poll found none either (or this is the first): the phone is really gone.
        if (!wasPresent_) {
            effect = MonitorEffect::ShowNoPhonePage;
        }
        wasPresent_ = false;
    }
    return effect;
}

}  // namespace tarnel
