#include "installer/app/tarnel_install_dlg.h"

#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QMimeData>
#include <QShortcut>

#include <cstdlib>

#include "bridge/phone_choice.h"
#include "installer/app/disabled_frame.h"
#include "installer/app/install_location_boxes.h"
#include "installer/app/permission_panel.h"
#include "ui/ui.h"

namespace tarnel {
namespace {

constexpr int kDragBand = 96;
constexpr int kTopBannerHeight = 42;
constexpr int kBottomBandHeight = 60;
constexpr QRect kIconPlace(30, 60, 70, 70);
constexpr QRect kProgressPlace(28, 256, 291, 4);

const QString kTitle = QStringLiteral("Tarnel应用安装");

}  // namespace

CtarnelInstallDlg::CtarnelInstallDlg(QWidget* parent)
    : QDialog(parent),
      installStrip_(WithDisabledFrame(LoadSkinBitmap(QStringLiteral("安装合成.png")), 2)),
      doneStrip_(WithDisabledFrame(LoadSkinBitmap(QStringLiteral("完成.jpg")), 2)) {
    MakeSkinnedWindow(this);
    DragByTopBand(this, kDragBand);
    setWindowTitle(kTitle);
    setWindowIcon(QIcon(WindowIconFile()));
    setFixedSize(kWidth, kHeight);
    setAcceptDrops(true);
    CreateControls();
    new QShortcut(QKeySequence::Open, this, this, &CtarnelInstallDlg::ChooseFile);
}

CtarnelInstallDlg::~CtarnelInstallDlg() = default;

COwerDrawStatic* CtarnelInstallDlg::Label(const char* name, const QRect& place, int fontHeight,
                                          QRgb colour, const QString& text) {
    auto* label = new COwerDrawStatic(this, fontHeight, colour);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->SetText(text);
    label->setAccessibleName(text);
    return label;
}

CLoginButton* CtarnelInstallDlg::ImageButton(const char* name, const QRect& place,
                                             const QString& accessibleName) {
    auto* button = new CLoginButton(this, 0);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessibleName);
    // The size of its pictures; kept when the skin lacks them, so the button can still be used.
    button->setGeometry(place);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void CtarnelInstallDlg::CreateControls() {
    using palette::kBodyText;
    // Until a package is opened, the name's place says how to open one.
    appLabel_ = Label("appLabel", {117, 69, 222, 23}, 25, palette::kBodyText,
                      QStringLiteral("请拖入apk或tpk文件"));
    Label("sizeCaption", {117, 104, 39, 17}, 19, kBodyText, QStringLiteral("大小："));
    sizeText_ = Label("sizeText", {155, 104, 114, 17}, 19, kBodyText);
    Label("versionCaption", {30, 145, 61, 17}, 19, kBodyText, QStringLiteral("应用版本："));
    versionName_ = Label("versionName", {94, 145, 105, 17}, 19, kBodyText);
    Label("requirementCaption", {30, 177, 61, 17}, 19, kBodyText, QStringLiteral("系统要求："));
    androidVersion_ = Label("androidVersion", {94, 177, 133, 17}, 19, kBodyText);
    Label("locationCaption", {277, 214, 60, 17}, 19, kBodyText, QStringLiteral("安装位置："));
    status_ = Label("status", {28, 264, 291, 18}, 19, kBodyText);

    COwerDrawStatic* moreGames = Label("moreGames", {385, 60, 68, 17}, 19,
                                       palette::kInstallerHighlight, QStringLiteral("更多游戏..."));
    moreGames->SetClickable(true);
    connect(moreGames, &COwerDrawStatic::clicked, this, &CtarnelInstallDlg::OpenMoreGames);

    progress_ = new CMyProgressCtrl(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setGeometry(kProgressPlace);
    progress_->SetRange(0, 100);
    progress_->hide();

    installButton_ = ImageButton("installButton", {350, 260, 92, 32}, QStringLiteral("立即安装"));
    ShowInstallDone(false);
    connect(installButton_, &CLoginButton::clicked, this, [this] { flow_.PressInstallButton(); });

    CLoginButton* close = ImageButton("closeButton", {432, 0, 28, 28}, QStringLiteral("关闭"));
    close->SetImageStrip(LoadSkinBitmap(QStringLiteral("关闭合成.jpg")), 3, {0, 1, 2});
    connect(close, &CLoginButton::clicked, this, &QDialog::accept);

    permissionToggle_ =
        ImageButton("permissionToggle", {86, 219, 14, 14}, QStringLiteral("应用权限"));
    permissionToggle_->setEnabled(false);
    permissions_ = new PermissionPanel(
        this, permissionToggle_, {status_, progress_, installButton_}, state_.permissionPanelOpen);
    connect(permissionToggle_, &CLoginButton::clicked, permissions_, &PermissionPanel::Toggle);
    COwerDrawStatic* permissionLabel =
        Label("permissionLabel", {30, 214, 56, 17}, 19, palette::kInstallerHighlight,
              QStringLiteral("应用权限"));
    permissionLabel->SetClickable(true);
    connect(permissionLabel, &COwerDrawStatic::clicked, this, [this] {
        if (permissionToggle_->isEnabled()) {
            permissions_->Toggle();
        }
    });

    location_ = new InstallLocationBoxes(this, state_.installToSdCard);

    browser_ = new CWebBrowser2(this);
    browser_->setObjectName(QStringLiteral("vendorPage"));
    browser_->setFocusPolicy(Qt::NoFocus);
    browser_->SetBackgroundColour(palette::kPanel);
    browser_->setGeometry(20, 59, 1, 1);
}

void CtarnelInstallDlg::StartUp(const std::string& commandLinePath) {
    CentreOnScreen(this);
    show();
    state_.bridge.DiscoverTools();
    state_.wantedSerial = WantedSerial("", std::getenv("ANDROID_SERIAL"));
    flow_.StartDeviceCheck();
    browser_->ShowVendorPage(QStringLiteral("/tnapi/pcinstall"));
    flow_.OpenPackage(commandLinePath);
}

void CtarnelInstallDlg::OpenFromUser(const std::string& path) {
    if (state_.busy == 1) {
        // The flow keeps the running installation's package and asks the user to wait.
        flow_.OpenPackage(path);
        return;
    }
    flow_.OpenPackage(path);
    // A new package is not yet installed, whatever happened to the one before.
    ShowInstallDone(false);
    state_.readyToInstall = 1;
}

void CtarnelInstallDlg::OpenHandedOver(const std::string& path) {
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    OpenFromUser(path);
}

void CtarnelInstallDlg::ChooseFile() {
    const QString folder =
        state_.openedPath.empty()
            ? QString()
            : QFileInfo(QFile::decodeName(QByteArray::fromStdString(state_.openedPath))).path();
    const QString chosen = QFileDialog::getOpenFileName(
        this, QStringLiteral("打开安装包"), folder,
        QStringLiteral("Tpk Files (*.tpk *.apk *.xapk *.apks *.apkm);;All Files (*)"));
    if (!chosen.isEmpty()) {
        OpenFromUser(QFile::encodeName(chosen).toStdString());
    }
}

void CtarnelInstallDlg::OpenMoreGames() {
    QDesktopServices::openUrl(VendorAddress(QStringLiteral("/")));
}

void CtarnelInstallDlg::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, palette::kPanel);
    page.PicturePart(QStringLiteral("Tarnel安装top.jpg"), 0, 0, QSize(width(), kTopBannerHeight));
    page.Stretched(QStringLiteral("底部背景.png"),
                   QRect(0, height() - kBottomBandHeight, width(), kBottomBandHeight));
    QPainter& painter = page.painter();
    if (icon_.isNull()) {
        // The icon's place stays marked while there is no icon to show.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(palette::kPageBackground));
        painter.drawRoundedRect(kIconPlace, 10, 10);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(kIconPlace, icon_);
    }
}

void CtarnelInstallDlg::keyPressEvent(QKeyEvent* event) {
    // Enter neither presses a button nor closes the window; Escape closes it as in any dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CtarnelInstallDlg::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void CtarnelInstallDlg::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    // Only the first of several files: the window shows one package at a time.
    const std::string path = QFile::encodeName(urls.front().toLocalFile()).toStdString();
    // The drag source waits for the drop to end; boxes the package may raise come after.
    QMetaObject::invokeMethod(
        this, [this, path] { OpenFromUser(path); }, Qt::QueuedConnection);
}

}  // namespace tarnel
