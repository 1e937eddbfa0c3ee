#include "client/app/conn_progress_dlg.h"

#include <QTimer>

#include "client/app/tarnel_dlg.h"

namespace tarnel {

CConnProgressDlg::CConnProgressDlg(const DeviceBridge& bridge, CtarnelDlg* mainWindow,
                                   QWidget* parent)
    : QDialog(parent), bridge_(bridge), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("connectionWizard"));
    setWindowTitle(QStringLiteral("连接向导"));
    resize(400, 200);
}

void CConnProgressDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, [this] {
        if (mainWindow_ != nullptr) {
            mainWindow_->OnPhoneReady(bridge_.deviceInfo);
        }
        accept();
    });
}

}  // namespace tarnel
