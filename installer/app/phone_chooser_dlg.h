#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bridge/phone_state.h"
#include "ui/small_dialog.h"

namespace tarnel {

class CLoginButton;

// Asks which of several attached phones the package goes to: one row a phone (its model and
// serial) with a radio picture, the given serial chosen first (else the first phone).
class CPhoneChooserDlg : public SmallSkinnedDialog {
    Q_OBJECT

  public:
    CPhoneChooserDlg(QWidget* parent, std::vector<AttachedPhone> phones,
                     const std::string& preselected);

    // The chosen phone's serial.
    const std::string& ChosenSerial() const { return phones_[chosen_].serial; }

  private:
    void Choose(size_t row);

    std::vector<AttachedPhone> phones_;
    std::vector<CLoginButton*> radios_;
    size_t chosen_ = 0;
};

// Runs the chooser modally: the chosen serial, or nothing when the user cancelled.
std::optional<std::string> RunPhoneChooser(QWidget* parent,
                                           const std::vector<AttachedPhone>& phones,
                                           const std::string& preselected);

}  // namespace tarnel
