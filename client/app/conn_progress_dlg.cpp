#include "client/app/conn_progress_dlg.h"

#include "client/app/connection_workers.h"
#include "client/app/phone_no_conn_dlg.h"
#include "client/app/tarnel_dlg.h"
#include "ui/ui.h"

namespace tarnel {

CConnProgressDlg::CConnProgressDlg(const DeviceBridge& bridge, CtarnelDlg* mainWindow,
                                   QWidget* parent)
    : QDialog(parent),
      bridge_(bridge),
      mainWindow_(mainWindow),
      settings_(DefaultPreparationSettings()) {
    setObjectName(QStringLiteral("connectionWizard"));
    MakeSkinnedWindow(this);
    DragByTopBand(this, kDragBand);
    setWindowTitle(QStringLiteral("连接向导"));
    setFixedSize(kWidth, kHeight);
    closeButton_ = new CLoginButton(this, 0);
    closeButton_->setObjectName(QStringLiteral("wizardCloseButton"));
    closeButton_->setAccessibleName(QStringLiteral("关闭"));
    closeButton_->move(kWidth - 28, 0);
    closeButton_->resize(28, 28);
    closeButton_->SetImageStrip(LoadSkinBitmap(QStringLiteral("关闭合成.jpg")), 3, {0, 1, 2});
    UseHandCursor({closeButton_});
    connect(closeButton_, &CLoginButton::clicked, this, &QDialog::accept);
    animation_.setInterval(500);
    connect(&animation_, &QTimer::timeout, this, &CConnProgressDlg::Animate);
}

void CConnProgressDlg::SetNotifyPage(CPhoneNoConnDlg* page) {
    notifyPage_ = page;
}

void CConnProgressDlg::SetPreparationSettings(const PreparationSettings& settings) {
    settings_ = settings;
}

void CConnProgressDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_)
        return;
    started_ = true;
    CentreOnScreen(this);
    animation_.start();
    StartWorker();
}

void CConnProgressDlg::StartWorker() {
    // The workers belong to the main window, so that a wizard closed early leaves its worker
    // running to the end; without one (tests), to the parent or the wizard itself.
    QObject* owner = mainWindow_           ? static_cast<QObject*>(mainWindow_.data())
                     : parent() != nullptr ? parent()
                                           : this;
    QPointer<CConnProgressDlg> wizard(this);
    QPointer<CtarnelDlg> mainWindow = mainWindow_;
    QPointer<CPhoneNoConnDlg> page = notifyPage_;
    const bool toPage = !page.isNull();
    ConnectionWorkers::Of(owner)->Start(
        bridge_, settings_, [wizard, mainWindow, page, toPage](const PreparationOutcome& outcome) {
            if (toPage) {
                if (page)
                    page->OnWizardReport(outcome);
            } else if (mainWindow && outcome.result == PreparationResult::Ready) {
                mainWindow->OnPhoneReady(outcome.facts);
            }
            if (wizard)
                wizard->close();
        });
}

void CConnProgressDlg::Animate() {
    animationStep_ = ticks_++ % 4;
    update(QRect(QPoint(120, 70), QPoint(width() - 120, height())));
}

void CConnProgressDlg::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, palette::kPageBackground);
    const QSize title = SkinPictureSize(QStringLiteral("连接向导.jpg"));
    page.Stretched(QStringLiteral("title_back.png"), QRect(0, 0, width(), title.height()));
    page.Picture(QStringLiteral("连接向导.jpg"), 0, 0);
    page.Picture(QStringLiteral("电脑.jpg"), 40, 70);
    const QSize phone = SkinPictureSize(QStringLiteral("手机设备.jpg"));
    page.Picture(QStringLiteral("手机设备.jpg"), width() - phone.width() - 40, 70);
    page.Picture(QStringLiteral("连接箭头.jpg"), ArrowX(animationStep_), 90);
}

}  // namespace tarnel
