#pragma once

#include "ui/small_dialog.h"
#include "client/core/user_settings.h"

namespace tarnel {

class CLoginButton;

// The question the close button asks: hide to the notification area or end the program, and
// whether to stop asking. Its answer is ExitChoice().
class CExitAskDlg : public SmallSkinnedDialog {
    Q_OBJECT

  public:
    explicit CExitAskDlg(QWidget* parent, UserSettings settings = {});

    // 1 hide to the notification area, 0 end the program, -1 cancelled (the cancel or close
    // button, Escape).
    int ExitChoice() const { return exitChoice_; }

    void accept() override;
    void reject() override;

  protected:
    void PaintPictures(SkinPagePainter& page) override;

  private:
    void ChooseExit(int exitApp);
    void ToggleAskPrompt();

    UserSettings settings_;
    int exitApp_;
    int askPrompt_;
    int exitChoice_ = -1;
    CLoginButton* minimiseRadio_ = nullptr;
    CLoginButton* exitRadio_ = nullptr;
    CLoginButton* askBox_ = nullptr;
};

}  // namespace tarnel
