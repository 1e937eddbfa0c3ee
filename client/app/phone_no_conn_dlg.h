#pragma once

#include <QWidget>

#include <atomic>

namespace tarnel {

class CLoginButton;
class CtarnelDlg;
class DeviceBridge;

// The no-phone page: how to connect a phone. A child of the main window at (0, 90), 980 x 536,
// shown while no phone is ready.
class CPhoneNoConnDlg : public QWidget {
    Q_OBJECT

  public:
    CPhoneNoConnDlg(DeviceBridge* bridge, CtarnelDlg* mainWindow, QWidget* parent);

    // The connect button; GUI thread.
    void SetConnectEnabled(bool enabled);
    // Whether this page has opened the connection wizard itself; any thread.
    bool WizardOpenedHere() const { return wizardOpenedHere_.load(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    DeviceBridge* bridge_;
    CtarnelDlg* mainWindow_;
    CLoginButton* connectButton_;
    std::atomic<bool> wizardOpenedHere_{false};
};

}  // namespace tarnel
