#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include "bridge/device_bridge.h"
#include "client/core/phone_preparation.h"

namespace tarnel {

class CLoginButton;
class CPhoneNoConnDlg;
class CtarnelDlg;
struct PreparationOutcome;

// The connection wizard, run modally on the GUI thread: an arrow travelling from a computer to a
// phone while a worker prepares the attached phone and reports it ready.
class CConnProgressDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kWidth = 460;
    static constexpr int kHeight = 200;
    static constexpr int kDragBand = 34;

    // Copies the bridge for its worker. The worker reports to mainWindow (queued onto the GUI
    // thread, guarded by a QPointer) whether or not this dialog still exists.
    CConnProgressDlg(const DeviceBridge& bridge, CtarnelDlg* mainWindow, QWidget* parent);

    // The no-phone page's wizard reports to the page, which passes a ready phone on.
    void SetNotifyPage(CPhoneNoConnDlg* page);
    // Tests shorten the waits.
    void SetPreparationSettings(const PreparationSettings& settings);

    int AnimationStep() const { return animationStep_; }
    // Where the arrow is drawn for a step: 125, 185, 245, 305.
    static int ArrowX(int step) { return 125 + 60 * (step % 4); }

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void StartWorker();
    void Animate();

    DeviceBridge bridge_;
    QPointer<CtarnelDlg> mainWindow_;
    QPointer<CPhoneNoConnDlg> notifyPage_;
    PreparationSettings settings_;
    QTimer animation_;
    int ticks_ = 0;
    int animationStep_ = 0;
    CLoginButton* closeButton_;
    bool started_ = false;
};

}  // namespace tarnel
