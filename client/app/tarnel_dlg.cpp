#include "client/app/tarnel_dlg.h"

#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

#include "bridge/phone_choice.h"
#include "client/app/conn_progress_dlg.h"
#include "client/app/exit_ask_dlg.h"
#include "client/app/my_phone_dlg.h"
#include "client/app/phone_no_conn_dlg.h"
#include "client/app/set_dlg.h"
#include "client/app/update_check_host.h"
#include "client/core/close_logic.h"
#include "client/core/link_addresses.h"
#include "client/core/user_settings.h"
#include "ui/ui.h"

namespace tarnel {
namespace {

constexpr int kBottomBandHeight = 60;
const QString kTitle = QStringLiteral("Tarnel安装器");
const QString kVersionText = QStringLiteral("版本：v" TARNEL_VERSION);
const QString kMarketPage = QStringLiteral("/tnapi/pctarnel");

LinkAddresses Links() {
    return ReadLinkAddresses(
        QFile::encodeName(ProgramFile(QStringLiteral("Update.ini"))).toStdString());
}

void OpenInBrowser(const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address), QUrl::StrictMode));
}

}  // namespace

CtarnelDlg::CtarnelDlg(ClientWindowOptions options, QWidget* parent)
    : QDialog(parent),
      options_(std::move(options)),
      bridge_(std::make_unique<DeviceBridge>(BridgeVariant::Client)),
      monitor_(*this, options_.pollInterval) {
    MakeSkinnedWindow(this);
    DragByTopBand(this, kDragBand);
    setWindowTitle(kTitle);
    setWindowIcon(QIcon(WindowIconFile()));
    setFixedSize(kWidth, kHeight);
    phonePage_ = new MyPhoneDlg(bridge_.get(), this);
    phonePage_->hide();
    noPhonePage_ = new CPhoneNoConnDlg(bridge_.get(), this, this);
    updateCheck_ = new UpdateCheckHost(this);
    CreateControls();
}

CtarnelDlg::~CtarnelDlg() {
    monitor_.Stop();
    // The pages hold the bridge: they go before it.
    delete phonePage_;
    delete noPhonePage_;
}

CLoginButton* CtarnelDlg::ImageButton(const char* name, const QRect& place,
                                      const QString& accessibleName) {
    auto* button = new CLoginButton(this, 0);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessibleName);
    button->setGeometry(place);
    return button;
}

void CtarnelDlg::CreateControls() {
    constexpr int W = kWidth;
    CLoginButton* close = ImageButton("closeButton", {W - 28, 0, 28, 28}, QStringLiteral("关闭"));
    close->SetImageStrip(LoadSkinBitmap(QStringLiteral("关闭合成.jpg")), 3, {0, 1, 2});
    connect(close, &CLoginButton::clicked, this, &CtarnelDlg::HandleCloseButton);
    CLoginButton* minimise =
        ImageButton("minimiseButton", {W - 56, 0, 28, 28}, QStringLiteral("最小化"));
    minimise->SetImageStrip(LoadSkinBitmap(QStringLiteral("缩小合成.jpg")), 3, {0, 1, 2});
    connect(minimise, &CLoginButton::clicked, this, &QWidget::showMinimized);
    settingsButton_ = ImageButton("settingsButton", {W - 84, 0, 28, 28}, QStringLiteral("设置"));
    settingsButton_->SetImageStrip(LoadSkinBitmap(QStringLiteral("下拉合成.jpg")), 2, {0, 1});
    connect(settingsButton_, &CLoginButton::clicked, this, &CtarnelDlg::ShowSettingsMenu);

    microblogButton_ = ImageButton("microblogButton", {}, QStringLiteral("微博"));
    microblogButton_->SetImageStrip(LoadSkinBitmap(QStringLiteral("微博合成.jpg")), 2, {0, 1});
    connect(microblogButton_, &CLoginButton::clicked, this, &CtarnelDlg::OpenMicroblog);
    chatGroupButton_ = ImageButton("chatGroupButton", {}, QStringLiteral("QQ群"));
    chatGroupButton_->SetImageStrip(LoadSkinBitmap(QStringLiteral("qq合成.jpg")), 2, {0, 1});
    connect(chatGroupButton_, &CLoginButton::clicked, this, &CtarnelDlg::OpenChatGroup);
    UseHandCursor({microblogButton_, chatGroupButton_});
    PlaceLinkButtons();

    versionLabel_ = new COwerDrawStatic(kVersionFace, this, 14, palette::kCaptionText);
    versionLabel_->setObjectName(QStringLiteral("versionLabel"));
    versionLabel_->setGeometry(W - 100, kHeight - 32, 100, 14);

    browser_ = new CWebBrowser2(this);
    browser_->setObjectName(QStringLiteral("marketPage"));
    browser_->setFocusPolicy(Qt::NoFocus);
    browser_->setGeometry(5, 676, 1, 1);
}

void CtarnelDlg::PlaceLinkButtons() {
    // The size of their pictures; kept when the skin lacks them, so they can still be used.
    microblogButton_->move(width() - 180, 30);
    chatGroupButton_->move(width() - 280, 30);
    if (microblogButton_->size().isEmpty()) {
        microblogButton_->resize(93, 29);
        chatGroupButton_->resize(93, 29);
    }
}

void CtarnelDlg::StartUp() {
    CentreOnScreen(this);
    show();
    updateCheck_->Start();
    // The monitor reads the adb path: tools first.
    bridge_->DiscoverTools();
    if (!monitor_.Start(*bridge_)) {
        return;
    }
    versionLabel_->SetText(kVersionText);
    phonePage_->SetToolPaths(bridge_->adbPath, bridge_->aaptPath);
    browser_->ShowVendorPage(kMarketPage);
}

void CtarnelDlg::OnPhoneReady(const DeviceInfo& facts) {
    bridge_->deviceInfo = facts;
    phonePage_->show();
    noPhonePage_->hide();
    phonePage_->RefreshDeviceFacts();
}

void CtarnelDlg::RunConnectionWizard() {
    if (closing_) {
        return;
    }
    noPhonePage_->SetConnectEnabled(false);
    // No parent, as the wizard has always had: it stays reachable while this window is hidden.
    CConnProgressDlg wizard(*bridge_, this, nullptr);
    wizard_ = &wizard;
    wizard.exec();
    wizard_ = nullptr;
    noPhonePage_->SetConnectEnabled(true);
}

void CtarnelDlg::ShowNoPhonePage() {
    // The next phone may be another one: until the monitor names it, adb chooses.
    bridge_->serial.clear();
    phonePage_->hide();
    noPhonePage_->show();
    noPhonePage_->SetConnectEnabled(true);
}

void CtarnelDlg::HandleCloseButton() {
    const UserSettings settings;
    CloseAction action = CloseButtonAction(settings.AskPrompt(), settings.ExitApp());
    if (action == CloseAction::AskExitQuestion) {
        CExitAskDlg question(this);
        question.exec();
        exitChoice_ = question.ExitChoice();
        ShowTrayIcon();
        action = AfterExitQuestion(exitChoice_);
    }
    switch (action) {
        case CloseAction::HideToTray:
            HideToTray();
            break;
        case CloseAction::EndProgram:
            EndProgram();
            break;
        case CloseAction::AskExitQuestion:
        case CloseAction::StayOpen:
            break;
    }
}

void CtarnelDlg::HideToTray() {
    ShowTrayIcon();
    if (TrayIconShown()) {
        hide();
    } else {
        showMinimized();
    }
}

void CtarnelDlg::EndProgram() {
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

bool CtarnelDlg::TrayAvailable() const {
    return options_.trayAvailable ? options_.trayAvailable()
                                  : QSystemTrayIcon::isSystemTrayAvailable();
}

void CtarnelDlg::ShowTrayIcon() {
    if (trayIcon_ != nullptr || !TrayAvailable()) {
        return;
    }
    trayIcon_ = new QSystemTrayIcon(QIcon(WindowIconFile()), this);
    trayIcon_->setObjectName(QStringLiteral("trayIcon"));
    trayIcon_->setToolTip(QStringLiteral("Tarnel"));
    trayMenu_ = new QMenu(this);
    // Ends the program without the exit question.
    trayMenu_->addAction(QStringLiteral("关闭"), this, &QDialog::reject);
    trayIcon_->setContextMenu(trayMenu_);
    connect(trayIcon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    showNormal();
                    raise();
                    activateWindow();
                }
            });
    trayIcon_->show();
}

void CtarnelDlg::ShowSettingsMenu() {
    QMenu menu(this);
    QAction* settings = menu.addAction(QStringLiteral("设置"));
    const std::vector<AttachedPhone> phones = monitor_.ReadyPhones();
    if (phones.size() > 1) {
        menu.addSeparator();
        for (const AttachedPhone& phone : phones) {
            QAction* action = menu.addAction(QStringLiteral("切换到 ") +
                                             QString::fromStdString(PhoneLabel(phone)));
            action->setCheckable(true);
            action->setChecked(phone.serial == bridge_->serial);
            connect(action, &QAction::triggered, this,
                    [this, serial = phone.serial] { SwitchToPhone(serial); });
        }
    }
    const QPoint cursor = QCursor::pos();
    if (menu.exec(cursor - QPoint(menu.sizeHint().width() / 2, 0)) == settings) {
        OpenSettings();
    }
    settingsButton_->update();
}

void CtarnelDlg::SwitchToPhone(const std::string& serial) {
    if (serial == bridge_->serial || wizard_ != nullptr) {
        return;
    }
    monitor_.FollowPhone(serial);
    bridge_->serial = serial;
    RunConnectionWizard();
}

void CtarnelDlg::OpenSettings() {
    CSetDlg settings(this);
    settings.exec();
}

void CtarnelDlg::OpenMicroblog() {
    OpenInBrowser(Links().microblog);
}

void CtarnelDlg::OpenChatGroup() {
    OpenInBrowser(Links().chatGroup);
}

void CtarnelDlg::done(int result) {
    closing_ = true;
    // The icon goes with the program, whatever ends it.
    if (trayIcon_ != nullptr) {
        trayIcon_->hide();
    }
    // The wizard's loop runs inside ours: end it so this window's run can end too. Queued, so
    // that it reaches the wizard's own loop even when that has not started yet: a dialog hidden
    // before its loop starts would never end it.
    if (wizard_ != nullptr) {
        QMetaObject::invokeMethod(wizard_, &QDialog::reject, Qt::QueuedConnection);
    }
    QDialog::done(result);
}

void CtarnelDlg::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, palette::kPanel);
    page.Picture(QStringLiteral("top-bg.jpg"), 0, 0);
    page.Stretched(QStringLiteral("底部背景.png"),
                   QRect(0, height() - kBottomBandHeight, width(), kBottomBandHeight));
}

void CtarnelDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceLinkButtons();
}

void CtarnelDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Once the icon exists, minimising leaves only the icon.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && TrayIconShown()) {
        QTimer::singleShot(0, this, [this] {
            if (isMinimized()) {
                hide();
            }
        });
    }
}

void CtarnelDlg::keyPressEvent(QKeyEvent* event) {
    // Enter reaches the focused control only, never the dialog's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CtarnelDlg::mouseDoubleClickEvent(QMouseEvent* event) {
    // The top band drags the window; a double click there never maximises it.
    if (event->position().y() < kDragBand) {
        event->accept();
        return;
    }
    QDialog::mouseDoubleClickEvent(event);
}

}  // namespace tarnel
