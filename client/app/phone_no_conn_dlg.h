#pragma once

#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "bridge/phone_state.h"
#include "client/core/phone_preparation.h"

namespace tarnel {

class CLoginButton;
class COwerDrawStatic;
class CtarnelDlg;
class CWebBrowser2;
class DeviceBridge;
struct PreparationOutcome;

// The no-phone page: how to connect a phone, the vendor's help page, a connect button that runs
// the connection wizard, and a hint line when a phone is there but not ready (USB debugging not
// yet allowed, or no permission to open it). A child of the main window at (0, 90), 980 x 536,
// shown while no phone is ready.
class CPhoneNoConnDlg : public QWidget {
    Q_OBJECT

  public:
    static constexpr std::chrono::milliseconds kStateCheckInterval{5000};

    CPhoneNoConnDlg(DeviceBridge* bridge, CtarnelDlg* mainWindow, QWidget* parent);
    ~CPhoneNoConnDlg() override;

    // The connect button; GUI thread.
    void SetConnectEnabled(bool enabled);
    // Whether this page has opened the connection wizard itself; any thread.
    bool WizardOpenedHere() const { return wizardOpenedHere_.load(); }

    // The connect button's work: runs the wizard modally, reporting to this page.
    void ConnectFromPage();
    // A wizard's report: a ready phone goes to the main window; no phone clears the flag and
    // shows the phone's state.
    void OnWizardReport(const PreparationOutcome& outcome);
    // The hint line for a phone's state; empty for none.
    void ShowPhoneState(PhoneState state);
    QString HintText() const;
    // Tests shorten the wizard's waits.
    void SetWizardSettings(const PreparationSettings& settings) { wizardSettings_ = settings; }

  signals:
    // A check of how adb lists the phone has ended and the hint line shows its answer.
    void phoneStateChecked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void CheckPhoneState();

    DeviceBridge* bridge_;
    CtarnelDlg* mainWindow_;
    CLoginButton* connectButton_;
    CWebBrowser2* webView_;
    COwerDrawStatic* hintLabel_;
    QTimer stateTimer_;
    std::unique_ptr<std::jthread> stateWorker_;
    std::optional<PreparationSettings> wizardSettings_;
    std::atomic<bool> wizardOpenedHere_{false};
};

}  // namespace tarnel
