#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bridge/phone_state.h"

#include "installer/package/package_messages.h"

namespace tarnel {

class DeviceBridge;

// What the installation flow asks of its window. Every call but Post comes on the view's own
// thread; workers reach the view only through Post, which runs an effect there, in order.
// Texts are in the narrow encoding.
class InstallerView : public MessageSink {
  public:
    virtual void Post(std::function<void()> effect) = 0;

    virtual void SetStatus(const std::string& text) = 0;
    // 0 to 100 while a long step reports progress; -1 when none is shown.
    virtual void SetProgress(int percent) = 0;
    virtual void EnableInstallButton(bool enabled) = 0;
    // false: the install picture; true: the done picture.
    virtual void ShowInstallDone(bool done) = 0;
    virtual void EnablePermissionToggle(bool enabled) = 0;
    // An empty path: the package has no icon.
    virtual void ShowIcon(const std::string& path) = 0;
    // appLabel, versionName, androidVersion, sizeText, packageName and permissionText.
    virtual void ShowFacts(const DeviceBridge& facts) = 0;
    // A box with the program's name as caption, an OK button and the exclamation icon.
    virtual void ShowBox(const std::string& text) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool AskQuestion(const std::string& text, const std::string& caption) = 0;
    // Several phones are ready and none was asked for: the serial of the one to install on, or
    // nothing when the user chose none; preselected is the phone chosen last time. A view
    // without a chooser says what is attached.
    virtual std::optional<std::string> ChoosePhone(const std::vector<AttachedPhone>& phones,
                                                   const std::string& preselected);
};

}  // namespace tarnel
