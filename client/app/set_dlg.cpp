#include "client/app/set_dlg.h"

#include "ui/ui.h"

namespace tarnel {

CSetDlg::CSetDlg(QWidget* parent, UserSettings settings, AssociationFolders folders)
    : SmallSkinnedDialog(parent, QStringLiteral("设置"), palette::kPageBackground),
      settings_(std::move(settings)),
      folders_(std::move(folders)),
      exitApp_(settings_.ExitApp()),
      associateChecked_(IsAssociated(folders_) ? 1 : 0) {
    using palette::kBodyText;
    Label("title", {5, 4}, {26, 17}, 25, palette::kTitleText, QStringLiteral("设置"));
    associateBox_ =
        ImageButton("associateBox", {74, 50}, {14, 14}, QStringLiteral("关联APK和TPK安装包"));
    COwerDrawStatic* associateLabel = Label("associateLabel", {90, 47}, {130, 17}, 19, kBodyText,
                                            QStringLiteral("关联APK和TPK安装包"), true);
    Label("closeCaption", {74, 80}, {110, 17}, 19, kBodyText, QStringLiteral("关闭Tarnel时："));
    minimiseRadio_ = ImageButton("minimiseRadio", {74, 110}, {14, 14},
                                 QStringLiteral("最小化到系统托盘，不退出程序"));
    COwerDrawStatic* minimiseLabel = Label("minimiseLabel", {90, 107}, {180, 17}, 19, kBodyText,
                                           QStringLiteral("最小化到系统托盘，不退出程序"), true);
    Label("recommended", {275, 107}, {38, 17}, 19, palette::kDialogHighlight,
          QStringLiteral("(推荐)"));
    exitRadio_ = ImageButton("exitRadio", {74, 140}, {14, 14}, QStringLiteral("退出程序"));
    COwerDrawStatic* exitLabel =
        Label("exitLabel", {90, 137}, {50, 17}, 19, kBodyText, QStringLiteral("退出程序"), true);
    AddCloseButton();

    ShowRadio(minimiseRadio_, exitApp_ == 0);
    ShowRadio(exitRadio_, exitApp_ == 1);
    ShowCheckBox(associateBox_, associateChecked_ == 1);

    connect(minimiseRadio_, &CLoginButton::clicked, this, [this] { ChooseExit(0); });
    connect(minimiseLabel, &COwerDrawStatic::clicked, this, [this] { ChooseExit(0); });
    connect(exitRadio_, &CLoginButton::clicked, this, [this] { ChooseExit(1); });
    connect(exitLabel, &COwerDrawStatic::clicked, this, [this] { ChooseExit(1); });
    connect(associateBox_, &CLoginButton::clicked, this, &CSetDlg::ToggleAssociation);
    connect(associateLabel, &COwerDrawStatic::clicked, this, &CSetDlg::ToggleAssociation);
}

void CSetDlg::ChooseExit(int exitApp) {
    // The radios are redrawn even for the chosen one: its click has just unchecked it.
    const bool changed = exitApp_ != exitApp;
    exitApp_ = exitApp;
    ShowRadio(minimiseRadio_, exitApp_ == 0);
    ShowRadio(exitRadio_, exitApp_ == 1);
    if (changed) {
        settings_.WriteExitApp(exitApp_);
    }
}

void CSetDlg::ToggleAssociation() {
    associateChecked_ = associateChecked_ == 1 ? 0 : 1;
    ShowCheckBox(associateBox_, associateChecked_ == 1);
    // Unticking undoes nothing: the box shows the association again next time while it stands.
    if (associateChecked_ == 1) {
        RegisterFileAssociations(folders_, AssociationVariant::Settings);
    }
}

}  // namespace tarnel
