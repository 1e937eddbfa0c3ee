#include "client/app/my_phone_dlg.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProcess>

#include <ctime>
#include <filesystem>

#include "bridge/device_bridge.h"
#include "client/core/device_page_text.h"
#include "client/core/screenshot_file.h"
#include "ui/ui.h"

namespace tarnel {
namespace {

constexpr QRgb kFill = palette::kBarFilled;
constexpr QRgb kTrack = palette::kBarEmpty;
constexpr QRgb kAccent = palette::kAccentBar;
constexpr int kBarHeight = 9;

QString Text(const std::string& text) {
    return QString::fromStdString(text).left(255);
}

QString PathText(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

}  // namespace

MyPhoneDlg::MyPhoneDlg(DeviceBridge* bridge, QWidget* parent) : QWidget(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("phonePage"));
    setGeometry(0, 90, 980, 536);
    setAcceptDrops(true);
    using palette::kCaptionText, palette::kHeadingText, palette::kValueText;
    Label(1026, {370, 50, 50, 17}, 21, kHeadingText, QStringLiteral("设备信息"));
    Label(1027, {370, 241, 50, 17}, 21, kHeadingText, QStringLiteral("存储信息"));
    Label(1030, {464, 92, 62, 17}, 19, kCaptionText, QStringLiteral("设备型号："));
    Label(1032, {464, 122, 62, 17}, 19, kCaptionText, QStringLiteral("设备品牌："));
    Label(1034, {464, 152, 62, 17}, 19, kCaptionText, QStringLiteral("系统版本："));
    Label(1036, {464, 182, 62, 17}, 19, kCaptionText, QStringLiteral("Root权限："));
    Label(1031, {714, 89, 56, 17}, 19, kCaptionText, QStringLiteral("CPU型号："));
    Label(1033, {714, 119, 56, 17}, 19, kCaptionText, QStringLiteral("CPU核数："));
    Label(1035, {714, 149, 60, 17}, 19, kCaptionText, QStringLiteral("分 辨 率："));
    Label(1020, {533, 92, 143, 17}, 19, kValueText);
    Label(1021, {533, 122, 143, 17}, 19, kValueText);
    Label(1001, {533, 152, 153, 17}, 19, kValueText);
    Label(1003, {537, 182, 92, 17}, 19, kValueText);
    Label(1022, {781, 89, 168, 17}, 19, kValueText);
    Label(1023, {781, 119, 87, 17}, 19, kValueText);
    Label(1002, {784, 149, 155, 17}, 19, kValueText);
    Label(1037, {464, 282, 60, 17}, 19, kCaptionText, QStringLiteral("运行内存："));
    Label(1038, {464, 325, 62, 17}, 19, kCaptionText, QStringLiteral("手机内存："));
    Label(1039, {464, 370, 50, 17}, 19, kCaptionText, QStringLiteral("SDcard："));
    Label(1010, {530, 282, 203, 17}, 19, kValueText);
    Label(1008, {529, 325, 203, 17}, 19, kValueText);
    Label(1012, {517, 370, 215, 17}, 19, kValueText);
    const auto bar = [this](const char* name, int top) {
        auto* control = new CMyProgressCtrl(this);
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(kBarLeft, top, 455, kBarHeight);
        control->SetRange(0, 100);
        control->hide();
        return control;
    };
    ramBar_ = bar("ramBar", kRamBarTop);
    storageBar_ = bar("storageBar", kStorageBarTop);
    sdBar_ = bar("sdBar", kSdBarTop);
    labels_[1039]->hide();
    labels_[1012]->hide();

    auto* install = Button("installButton", QStringLiteral("本地安装合成.png"), {360, 430},
                           QStringLiteral("本地安装"));
    auto* refresh =
        Button("refreshButton", QStringLiteral("刷新.jpg"), {70, 490}, QStringLiteral("刷新截图"));
    auto* copy =
        Button("copyButton", QStringLiteral("复制.jpg"), {145, 490}, QStringLiteral("复制截图"));
    auto* save =
        Button("saveButton", QStringLiteral("截屏.jpg"), {220, 490}, QStringLiteral("保存截图"));
    connect(install, &CLoginButton::clicked, this, &MyPhoneDlg::OpenPackageFile);
    connect(refresh, &CLoginButton::clicked, this, &MyPhoneDlg::RefreshScreenshot);
    connect(copy, &CLoginButton::clicked, this, &MyPhoneDlg::CopyScreenshot);
    connect(save, &CLoginButton::clicked, this, &MyPhoneDlg::SaveScreenshot);
    UseHandCursor({install, refresh, copy, save});
}

MyPhoneDlg::~MyPhoneDlg() {
    // Joins a running screenshot; its report to this page is then dropped with the page.
    screenshotWorker_.reset();
}

COwerDrawStatic* MyPhoneDlg::Label(int id, const QRect& place, int height, QRgb colour,
                                   const QString& caption) {
    auto* label = new COwerDrawStatic(kLabelFace, this, height, colour);
    label->setObjectName(QStringLiteral("label%1").arg(id));
    label->setGeometry(place);
    label->SetText(caption);
    labels_[id] = label;
    return label;
}

CLoginButton* MyPhoneDlg::Button(const char* name, const QString& strip, const QPoint& place,
                                 const QString& accessibleName) {
    auto* button = new CLoginButton(this, 0);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessibleName);
    button->move(place);
    button->SetImageStrip(LoadSkinBitmap(strip), 2, {0, 1});
    return button;
}

void MyPhoneDlg::SetToolPaths(const std::string& adbPath, const std::string&) {
    adbPath_ = adbPath;
}

void MyPhoneDlg::SetMessageSink(std::function<void(const QString&)> sink) {
    messageSink_ = std::move(sink);
}

void MyPhoneDlg::RefreshDeviceFacts() {
    const DevicePageText page = PageTextFor(bridge_->deviceInfo);
    labels_[1003]->SetText(Text(page.root));
    labels_[1001]->SetText(Text(page.release));
    labels_[1002]->SetText(Text(page.resolution));
    labels_[1020]->SetText(Text(page.model));
    labels_[1021]->SetText(Text(page.brand));
    labels_[1022]->SetText(Text(page.cpuType));
    labels_[1023]->SetText(Text(page.cpuCount));
    storageBar_->SetPos(page.storage.percent);
    labels_[1008]->SetText(Text(page.storage.text));
    storageBarWidth_ = page.storage.barWidth;
    ramBar_->SetPos(page.ram.percent);
    labels_[1010]->SetText(Text(page.ram.text));
    ramBarWidth_ = page.ram.barWidth;
    hasSdCard_ = page.hasSdCard;
    sdBar_->SetPos(page.sdcard.percent);
    sdBarWidth_ = page.sdcard.barWidth;
    labels_[1012]->SetText(Text(page.sdcard.text));
    labels_[1012]->setVisible(hasSdCard_);
    labels_[1039]->setVisible(hasSdCard_);
    sdBar_->setVisible(hasSdCard_);
    LoadScreenshot();
    update();
}

void MyPhoneDlg::LoadScreenshot() {
    // Kept in memory: the file may be rewritten by a later refresh while the page paints.
    screenshot_ = QImage(PathText(ScreenshotPath()));
}

void MyPhoneDlg::RefreshScreenshot() {
    // One at a time: two pulls at once would write the same file.
    if (screenshotWorker_ != nullptr)
        return;
    DeviceBridge bridge = *bridge_;
    if (!adbPath_.empty())
        bridge.adbPath = adbPath_;
    screenshotWorker_ = std::make_unique<std::jthread>(
        [this, bridge = std::move(bridge)](std::stop_token stop) mutable {
            bridge.stopToken = stop;
            bool taken = false;
            try {
                taken = TakeFreshScreenshot(bridge);
            } catch (const std::exception&) {
                taken = false;
            }
            if (!stop.stop_requested())
                QMetaObject::invokeMethod(
                    this, [this, taken] { ScreenshotDone(taken); }, Qt::QueuedConnection);
        });
}

void MyPhoneDlg::ScreenshotDone(bool taken) {
    screenshotWorker_.reset();
    if (taken)
        LoadScreenshot();
    else
        screenshot_ = QImage();
    update(QRect(QPoint(60, 50), QPoint(290, 450)));
    if (!taken)
        ShowMessage(QStringLiteral("截图失败"));
    emit screenshotFinished(taken);
}

void MyPhoneDlg::CopyScreenshot() {
    const QImage image(PathText(ScreenshotPath()));
    if (image.isNull())
        return;
    QGuiApplication::clipboard()->setImage(image);
    ShowMessage(QStringLiteral("已经复制到剪贴板"));
}

void MyPhoneDlg::SaveScreenshot() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setNameFilters({QStringLiteral("png Files(*.png)"), QStringLiteral("All Files(*.*)")});
    dialog.selectFile(QString::fromStdString(ScreenshotFileName(local)));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::filesystem::path target = dialog.selectedFiles().front().toStdString();
    std::error_code error;
    std::filesystem::copy_file(ScreenshotPath(), target,
                               std::filesystem::copy_options::overwrite_existing, error);
}

void MyPhoneDlg::OpenPackageFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, QString(), QString(),
        QStringLiteral("Tpk Files(*.tpk *.apk *.xapk *.apks *.apkm);;All Files(*)"), nullptr,
        QFileDialog::Option(0));
    if (!path.isEmpty())
        StartInstaller(path);
}

void MyPhoneDlg::StartInstaller(const QString& packagePath) {
    const QString program = ProgramFile(QStringLiteral("tarnelInstall"));
    if (!program.isEmpty())
        QProcess::startDetached(program, {packagePath});
}

void MyPhoneDlg::ShowMessage(const QString& text) {
    if (messageSink_) {
        messageSink_(text);
        return;
    }
    QMessageBox::information(this, QStringLiteral("tarnel"), text);
}

void MyPhoneDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MyPhoneDlg::dropEvent(QDropEvent* event) {
    // Only the first file: one installer for one package.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            StartInstaller(url.toLocalFile());
            return;
        }
    }
}

void MyPhoneDlg::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, palette::kPageBackground);
    QPainter& painter = page.painter();
    painter.fillRect(QRect(360, 40, 600, 180), palette::kPanel);
    painter.fillRect(QRect(360, 235, 600, 180), palette::kPanel);
    painter.fillRect(QRect(370, 78, 65, 3), kAccent);
    painter.fillRect(QRect(370, 269, 65, 3), kAccent);
    painter.setPen(QColor(palette::kSeparator));
    painter.drawLine(435, 79, 940, 79);
    painter.drawLine(435, 270, 940, 270);
    const auto bar = [&](int top, int filled) {
        painter.fillRect(QRect(kBarLeft, top, 455, kBarHeight), kTrack);
        if (filled > 0)
            painter.fillRect(QRect(kBarLeft, top, filled, kBarHeight), kFill);
    };
    bar(kRamBarTop, ramBarWidth_);
    bar(kStorageBarTop, storageBarWidth_);
    if (hasSdCard_)
        bar(kSdBarTop, sdBarWidth_);
    if (!screenshot_.isNull()) {
        page.Picture(QStringLiteral("手机.jpg"), 70, 40);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(79, 78, 197, 345), screenshot_);
    } else {
        page.Picture(QStringLiteral("手机-1.jpg"), 70, 40);
    }
    page.Picture(QStringLiteral("设备.jpg"), 373, 90);
    page.Picture(QStringLiteral("存储卡.jpg"), 373, 285);
}

}  // namespace tarnel
