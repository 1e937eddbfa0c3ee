#include "client/app/exit_ask_dlg.h"

#include "ui/ui.h"

namespace tarnel {

CExitAskDlg::CExitAskDlg(QWidget* parent, UserSettings settings)
    : SmallSkinnedDialog(parent, QStringLiteral("退出"), palette::kPanel),
      settings_(std::move(settings)),
      exitApp_(settings_.ExitApp()),
      askPrompt_(settings_.AskPrompt()) {
    using palette::kBodyText;
    Label("title", {11, 4}, {62, 17}, 25, palette::kTitleText, QStringLiteral("Tarnel"));
    Label("question", {143, 45}, {158, 17}, 25, kBodyText,
          QStringLiteral("你点击了退出按钮，你是想："));
    minimiseRadio_ = ImageButton("minimiseRadio", {150, 81}, {14, 14},
                                 QStringLiteral("最小化到托盘，不退出程序"));
    COwerDrawStatic* minimiseLabel = Label("minimiseLabel", {167, 77}, {156, 17}, 19, kBodyText,
                                           QStringLiteral("最小化到托盘，不退出程序"), true);
    Label("recommended", {327, 77}, {38, 17}, 19, palette::kDialogHighlight,
          QStringLiteral("(推荐)"));
    exitRadio_ = ImageButton("exitRadio", {150, 114}, {14, 14}, QStringLiteral("退出程序"));
    COwerDrawStatic* exitLabel =
        Label("exitLabel", {167, 110}, {50, 17}, 19, kBodyText, QStringLiteral("退出程序"), true);
    askBox_ = ImageButton("askBox", {24, 170}, {14, 14}, QStringLiteral("不再提示"));
    COwerDrawStatic* askLabel =
        Label("askLabel", {45, 167}, {50, 17}, 19, kBodyText, QStringLiteral("不再提示"), true);
    CLoginButton* ok = ImageButton("okButton", {337, 145}, {80, 27}, QStringLiteral("确定"));
    ok->SetImageStrip(LoadSkinBitmap(QStringLiteral("确定.jpg")), 2, {0, 1});
    CLoginButton* cancel =
        ImageButton("cancelButton", {237, 145}, {80, 27}, QStringLiteral("取消"));
    cancel->SetImageStrip(LoadSkinBitmap(QStringLiteral("取消.jpg")), 2, {0, 1});
    AddCloseButton();

    ShowRadio(minimiseRadio_, exitApp_ == 0);
    ShowRadio(exitRadio_, exitApp_ == 1);
    ShowCheckBox(askBox_, askPrompt_ == 1);

    connect(minimiseRadio_, &CLoginButton::clicked, this, [this] { ChooseExit(0); });
    connect(minimiseLabel, &COwerDrawStatic::clicked, this, [this] { ChooseExit(0); });
    connect(exitRadio_, &CLoginButton::clicked, this, [this] { ChooseExit(1); });
    connect(exitLabel, &COwerDrawStatic::clicked, this, [this] { ChooseExit(1); });
    connect(askBox_, &CLoginButton::clicked, this, &CExitAskDlg::ToggleAskPrompt);
    connect(askLabel, &COwerDrawStatic::clicked, this, &CExitAskDlg::ToggleAskPrompt);
    connect(ok, &CLoginButton::clicked, this, &CExitAskDlg::accept);
    connect(cancel, &CLoginButton::clicked, this, &CExitAskDlg::reject);
}

void CExitAskDlg::ChooseExit(int exitApp) {
    // Nothing is written: the choice is this close's unless the box is ticked.
    exitApp_ = exitApp;
    ShowRadio(minimiseRadio_, exitApp_ == 0);
    ShowRadio(exitRadio_, exitApp_ == 1);
}

void CExitAskDlg::ToggleAskPrompt() {
    askPrompt_ = askPrompt_ == 1 ? 0 : 1;
    ShowCheckBox(askBox_, askPrompt_ == 1);
}

void CExitAskDlg::accept() {
    exitChoice_ = exitApp_ == 0 ? 1 : 0;
    if (askPrompt_ == 1) {
        settings_.WriteAskPrompt(askPrompt_);
        settings_.WriteExitApp(exitApp_);
    }
    SmallSkinnedDialog::accept();
}

void CExitAskDlg::reject() {
    exitChoice_ = -1;
    SmallSkinnedDialog::reject();
}

void CExitAskDlg::PaintPictures(SkinPagePainter& page) {
    page.Picture(QStringLiteral("笑脸.jpg"), 20, 40);
}

}  // namespace tarnel
