#include "client/app/phone_no_conn_dlg.h"

#include "ui/ui.h"

namespace tarnel {

CPhoneNoConnDlg::CPhoneNoConnDlg(DeviceBridge* bridge, CtarnelDlg* mainWindow, QWidget* parent)
    : QWidget(parent), bridge_(bridge), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("noPhonePage"));
    setGeometry(0, 90, 980, 536);
    connectButton_ = new CLoginButton(this, 0);
    connectButton_->setObjectName(QStringLiteral("connectButton"));
    connectButton_->setGeometry(420, 420, 140, 40);
    connectButton_->SetImageStrip(LoadSkinBitmap(QStringLiteral("连接合成.png")), 2, {0, 1});
}

void CPhoneNoConnDlg::SetConnectEnabled(bool enabled) {
    connectButton_->setEnabled(enabled);
}

void CPhoneNoConnDlg::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, palette::kPanel);
    page.Picture(QStringLiteral("欢迎.jpg"), 40, 40);
}

}  // namespace tarnel
