#include "client/app/my_phone_dlg.h"

#include "bridge/device_bridge.h"
#include "ui/ui.h"

namespace tarnel {

MyPhoneDlg::MyPhoneDlg(DeviceBridge* bridge, QWidget* parent) : QWidget(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("phonePage"));
    setGeometry(0, 90, 980, 536);
}

void MyPhoneDlg::SetToolPaths(const std::string& adbPath, const std::string& aaptPath) {
    adbPath_ = adbPath;
    aaptPath_ = aaptPath;
}

void MyPhoneDlg::RefreshDeviceFacts() {
    update();
}

void MyPhoneDlg::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, palette::kPanel);
    page.painter().setPen(QColor(palette::kCaptionText));
    page.painter().drawText(rect(), Qt::AlignCenter,
                            QString::fromStdString(bridge_->deviceInfo.model));
}

}  // namespace tarnel
