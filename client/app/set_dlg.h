#pragma once

#include "ui/small_dialog.h"
#include "client/core/file_associations.h"
#include "client/core/user_settings.h"

namespace tarnel {

class CLoginButton;

// The settings: what closing the window does, and the file associations. Every click takes
// effect at once.
class CSetDlg : public SmallSkinnedDialog {
    Q_OBJECT

  public:
    explicit CSetDlg(QWidget* parent, UserSettings settings = {},
                     AssociationFolders folders = AssociationFolders::FromEnvironment());

  private:
    void ChooseExit(int exitApp);
    void ToggleAssociation();

    UserSettings settings_;
    AssociationFolders folders_;
    int exitApp_;
    int associateChecked_;
    CLoginButton* minimiseRadio_ = nullptr;
    CLoginButton* exitRadio_ = nullptr;
    CLoginButton* associateBox_ = nullptr;
};

}  // namespace tarnel
