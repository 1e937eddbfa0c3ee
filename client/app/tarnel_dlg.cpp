#include "client/app/tarnel_dlg.h"

#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>

#include "client/app/conn_progress_dlg.h"
#include "client/app/my_phone_dlg.h"
#include "client/app/phone_no_conn_dlg.h"
#include "client/app/update_check_host.h"
#include "ui/ui.h"

namespace tarnel {
namespace {

constexpr int kBottomBandHeight = 60;
const QString kTitle = QStringLiteral("Tarnel安装器");
const QString kVersionText = QStringLiteral("版本：v" TARNEL_VERSION);
const QString kMarketPage = QStringLiteral("/tnapi/pctarnel");

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
    connect(close, &CLoginButton::clicked, this, &QDialog::reject);
    CLoginButton* minimise =
        ImageButton("minimiseButton", {W - 56, 0, 28, 28}, QStringLiteral("最小化"));
    minimise->SetImageStrip(LoadSkinBitmap(QStringLiteral("缩小合成.jpg")), 3, {0, 1, 2});
    connect(minimise, &CLoginButton::clicked, this, &QWidget::showMinimized);
    CLoginButton* settings =
        ImageButton("settingsButton", {W - 84, 0, 28, 28}, QStringLiteral("设置"));
    settings->SetImageStrip(LoadSkinBitmap(QStringLiteral("下拉合成.jpg")), 2, {0, 1});
    CLoginButton* microblog =
        ImageButton("microblogButton", {W - 180, 30, 93, 29}, QStringLiteral("微博"));
    microblog->SetImageStrip(LoadSkinBitmap(QStringLiteral("微博合成.jpg")), 2, {0, 1});
    CLoginButton* chatGroup =
        ImageButton("chatGroupButton", {W - 280, 30, 93, 29}, QStringLiteral("QQ群"));
    chatGroup->SetImageStrip(LoadSkinBitmap(QStringLiteral("qq合成.jpg")), 2, {0, 1});
    UseHandCursor({microblog, chatGroup});

    versionLabel_ = new COwerDrawStatic(QStringLiteral("宋体"), this, 14, palette::kCaptionText);
    versionLabel_->setObjectName(QStringLiteral("versionLabel"));
    versionLabel_->setGeometry(W - 100, kHeight - 32, 100, 14);

    browser_ = new CWebBrowser2(this);
    browser_->setObjectName(QStringLiteral("marketPage"));
    browser_->setFocusPolicy(Qt::NoFocus);
    browser_->setGeometry(5, 676, 1, 1);
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
    phonePage_->hide();
    noPhonePage_->show();
    noPhonePage_->SetConnectEnabled(true);
}

void CtarnelDlg::done(int result) {
    closing_ = true;
    // The wizard's loop runs inside ours: end it so this window's run can end too.
    if (wizard_ != nullptr) {
        wizard_->reject();
    }
    QDialog::done(result);
}

void CtarnelDlg::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, palette::kPanel);
    page.Picture(QStringLiteral("top-bg.jpg"), 0, 0);
    page.Stretched(QStringLiteral("底部背景.png"),
                   QRect(0, height() - kBottomBandHeight, width(), kBottomBandHeight));
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
