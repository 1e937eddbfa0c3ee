#include "client/app/phone_no_conn_dlg.h"

#include "bridge/device_bridge.h"
#include "client/app/conn_progress_dlg.h"
#include "client/app/connection_workers.h"
#include "client/app/tarnel_dlg.h"
#include "ui/ui.h"

namespace tarnel {

CPhoneNoConnDlg::CPhoneNoConnDlg(DeviceBridge* bridge, CtarnelDlg* mainWindow, QWidget* parent)
    : QWidget(parent), bridge_(bridge), mainWindow_(mainWindow) {
    setObjectName(QStringLiteral("noPhonePage"));
    setGeometry(0, 90, 980, 536);
    connectButton_ = new CLoginButton(this, 0);
    connectButton_->setObjectName(QStringLiteral("connectButton"));
    connectButton_->setAccessibleName(QStringLiteral("连接手机"));
    connectButton_->setGeometry(800, 430, 160, 50);
    connectButton_->SetImageStrip(LoadSkinBitmap(QStringLiteral("连接合成.png")), 2, {0, 1});
    UseHandCursor({connectButton_});
    connect(connectButton_, &CLoginButton::clicked, this, &CPhoneNoConnDlg::ConnectFromPage);
    webView_ = new CWebBrowser2(this);
    webView_->setObjectName(QStringLiteral("helpView"));
    webView_->SetBackgroundColour(palette::kPageBackground);
    webView_->setGeometry(360, 132, 597, 275);
    webView_->ShowVendorPage(QStringLiteral("/tnapi/pchtml?4"));
    hintLabel_ = new COwerDrawStatic(kLabelFace, this, 19, palette::kDialogHighlight);
    hintLabel_->setObjectName(QStringLiteral("phoneStateHint"));
    hintLabel_->setGeometry(360, 492, 600, 22);
    hintLabel_->hide();
    stateTimer_.setInterval(kStateCheckInterval);
    connect(&stateTimer_, &QTimer::timeout, this, &CPhoneNoConnDlg::CheckPhoneState);
}

CPhoneNoConnDlg::~CPhoneNoConnDlg() {
    stateWorker_.reset();
}

void CPhoneNoConnDlg::SetConnectEnabled(bool enabled) {
    connectButton_->setEnabled(enabled);
}

void CPhoneNoConnDlg::ConnectFromPage() {
    wizardOpenedHere_ = true;
    SetConnectEnabled(false);
    CConnProgressDlg wizard(*bridge_, mainWindow_, parentWidget());
    wizard.SetNotifyPage(this);
    if (wizardSettings_)
        wizard.SetPreparationSettings(*wizardSettings_);
    wizard.exec();
    SetConnectEnabled(true);
}

void CPhoneNoConnDlg::OnWizardReport(const PreparationOutcome& outcome) {
    switch (outcome.result) {
        case PreparationResult::Ready:
            ShowPhoneState(PhoneState::Ready);
            if (mainWindow_ != nullptr)
                mainWindow_->OnPhoneReady(outcome.facts);
            break;
        case PreparationResult::NoPhone:
            wizardOpenedHere_ = false;
            ShowPhoneState(outcome.state);
            break;
        case PreparationResult::GaveUp:
        case PreparationResult::Stopped:
            break;
    }
}

void CPhoneNoConnDlg::ShowPhoneState(PhoneState state) {
    const QString hint = QString::fromUtf8(PhoneStateHint(state));
    hintLabel_->SetText(hint);
    hintLabel_->setVisible(!hint.isEmpty());
}

QString CPhoneNoConnDlg::HintText() const {
    return hintLabel_->isHidden() ? QString() : hintLabel_->Text();
}

void CPhoneNoConnDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    CheckPhoneState();
    stateTimer_.start();
}

void CPhoneNoConnDlg::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    stateTimer_.stop();
}

// adb lists a phone that waits for the user, or that udev keeps closed, though the device
// monitor counts it as absent: ask adb on a worker and show why.
void CPhoneNoConnDlg::CheckPhoneState() {
    if (stateWorker_ != nullptr || bridge_->adbPath.empty())
        return;
    DeviceBridge bridge = *bridge_;
    stateWorker_ = std::make_unique<std::jthread>(
        [this, bridge = std::move(bridge)](std::stop_token stop) mutable {
            bridge.stopToken = stop;
            PhoneState state = PhoneState::Absent;
            try {
                state = bridge.QueryPhoneState();
            } catch (const std::exception&) {
                state = PhoneState::Absent;
            }
            if (stop.stop_requested())
                return;
            QMetaObject::invokeMethod(
                this,
                [this, state] {
                    stateWorker_.reset();
                    ShowPhoneState(state);
                    emit phoneStateChecked();
                },
                Qt::QueuedConnection);
        });
}

void CPhoneNoConnDlg::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, palette::kPageBackground);
    page.Picture(QStringLiteral("手机.jpg"), 70, 40);
    page.Picture(QStringLiteral("欢迎.jpg"), 360, 40);
    page.PicturePart(QStringLiteral("二维码.png"), width() - 100, 40, QSize(80, 80));
    page.Picture(QStringLiteral("数据连接.jpg"), 360, 430);
}

}  // namespace tarnel
