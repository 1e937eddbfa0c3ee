#pragma once

#include <QDialog>
#include <QPointer>

#include <chrono>
#include <functional>
#include <memory>

#include "bridge/device_bridge.h"
#include "client/app/device_monitor_thread.h"

class QMenu;
class QSystemTrayIcon;

namespace tarnel {

class CConnProgressDlg;
class CLoginButton;
class COwerDrawStatic;
class CPhoneNoConnDlg;
class CWebBrowser2;
class MyPhoneDlg;
class UpdateCheckHost;

// How a main window is made; tests shorten the poll and say whether there is a tray.
struct ClientWindowOptions {
    std::chrono::milliseconds pollInterval = DeviceMonitorThread::kPollInterval;
    // Whether the desktop shows notification-area icons; empty asks Qt.
    std::function<bool()> trayAvailable;
};

// The client's one window: the title-bar buttons, the link buttons, the version label and the
// two pages below the top bar, switched by the device monitor and the connection wizard. It owns
// the bridge, both pages and the monitor; closing it ends the program.
class CtarnelDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kWidth = 980;
    static constexpr int kHeight = 686;
    static constexpr int kDragBand = 96;

    explicit CtarnelDlg(ClientWindowOptions options = {}, QWidget* parent = nullptr);
    ~CtarnelDlg() override;

    // Shows the window centred, finds the tools, starts the device monitor and loads the hidden
    // market page.
    void StartUp();

    // The phone is ready: stores facts into bridge->deviceInfo, shows the device page, hides the
    // no-phone page, calls RefreshDeviceFacts(). GUI thread only.
    void OnPhoneReady(const DeviceInfo& facts);
    DeviceBridge* Bridge() { return bridge_.get(); }
    MyPhoneDlg* PhonePage() const { return phonePage_; }
    CPhoneNoConnDlg* NoPhonePage() const { return noPhonePage_; }

    // The monitor's effects, run on the GUI thread.
    void RunConnectionWizard();
    void ShowNoPhonePage();

    // The close button: asks, or acts on the saved choice (tarnelUser.ini).
    void HandleCloseButton();
    // The last answer of the exit question: 1 hide, 0 end, -1 cancelled; 0 before any.
    int ExitChoice() const { return exitChoice_; }
    // The settings button's menu: the settings, and the attached phones to switch to.
    void ShowSettingsMenu();
    // Shows another attached phone: the wizard prepares it. GUI thread.
    void SwitchToPhone(const std::string& serial);
    const DeviceMonitorThread& Monitor() const { return monitor_; }
    void OpenSettings();
    void OpenMicroblog();
    void OpenChatGroup();

    // Adds the notification-area icon once, where the desktop has a tray.
    void ShowTrayIcon();
    bool TrayIconShown() const { return trayIcon_ != nullptr; }
    QSystemTrayIcon* TrayIcon() const { return trayIcon_; }
    // The tray's menu ("关闭"), for as long as the icon lives.
    QMenu* TrayMenu() const { return trayMenu_; }

    // Ends the window and with it the program (the tray's "关闭", Escape): no exit question.
    void done(int result) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void CreateControls();
    void PlaceLinkButtons();
    CLoginButton* ImageButton(const char* name, const QRect& place, const QString& accessibleName);
    bool TrayAvailable() const;
    // Hides the window to the notification area, or, without a tray, minimises it: a hidden
    // window without an icon could never be brought back.
    void HideToTray();
    void EndProgram();

    ClientWindowOptions options_;
    std::unique_ptr<DeviceBridge> bridge_;
    MyPhoneDlg* phonePage_ = nullptr;
    CPhoneNoConnDlg* noPhonePage_ = nullptr;
    COwerDrawStatic* versionLabel_ = nullptr;
    CLoginButton* settingsButton_ = nullptr;
    CLoginButton* microblogButton_ = nullptr;
    CLoginButton* chatGroupButton_ = nullptr;
    CWebBrowser2* browser_ = nullptr;
    QSystemTrayIcon* trayIcon_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QPointer<CConnProgressDlg> wizard_;
    UpdateCheckHost* updateCheck_ = nullptr;
    int exitChoice_ = 0;
    bool closing_ = false;
    // Last: stopped and joined before the bridge and the pages go.
    DeviceMonitorThread monitor_;
};

}  // namespace tarnel
