#pragma once

#include <QDialog>
#include <QPointer>

#include "bridge/device_bridge.h"

namespace tarnel {

class CtarnelDlg;

// The connection wizard, run modally on the GUI thread: prepares the attached phone and reports
// it ready to the main window.
class CConnProgressDlg : public QDialog {
    Q_OBJECT

  public:
    // Copies the bridge for its worker. The worker reports to mainWindow (queued onto the GUI
    // thread, guarded by a QPointer) whether or not this dialog still exists.
    CConnProgressDlg(const DeviceBridge& bridge, CtarnelDlg* mainWindow, QWidget* parent);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    DeviceBridge bridge_;
    QPointer<CtarnelDlg> mainWindow_;
};

}  // namespace tarnel
