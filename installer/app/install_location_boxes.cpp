#include "installer/app/install_location_boxes.h"

#include "ui/login_button.h"
#include "ui/owner_draw_static.h"
#include "ui/skin_drawing.h"
#include "ui/skin_palette.h"

namespace tarnel {

InstallLocationBoxes::InstallLocationBoxes(QWidget* window, int& installToSdCard)
    : QObject(window),
      window_(window),
      installToSdCard_(installToSdCard),
      checked_(LoadSkinBitmap(QStringLiteral("选择框选中.jpg"))),
      unchecked_(LoadSkinBitmap(QStringLiteral("选择框.jpg"))),
      sdCardBox_(Box("sdCardBox", {344, 218}, QStringLiteral("SD卡"), true)),
      memoryBox_(Box("memoryBox", {402, 218}, QStringLiteral("内存"), false)) {
    Caption("sdCardLabel", {362, 214, 28, 17}, QStringLiteral("SD卡"), true);
    Caption("memoryLabel", {420, 214, 30, 17}, QStringLiteral("内存"), false);
    ShowChoice();
}

CLoginButton* InstallLocationBoxes::Box(const char* name, QPoint place,
                                        const QString& accessibleName, bool sdCard) {
    auto* box = new CLoginButton(window_, 0);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(accessibleName);
    box->setGeometry(QRect(place, QSize(14, 14)));
    box->setCursor(Qt::PointingHandCursor);
    connect(box, &CLoginButton::clicked, this, [this, sdCard] { Choose(sdCard); });
    return box;
}

COwerDrawStatic* InstallLocationBoxes::Caption(const char* name, const QRect& place,
                                               const QString& text, bool sdCard) {
    auto* caption = new COwerDrawStatic(window_, 19, palette::kBodyText);
    caption->setObjectName(QString::fromLatin1(name));
    caption->setGeometry(place);
    caption->SetText(text);
    caption->setAccessibleName(text);
    caption->SetClickable(true);
    connect(caption, &COwerDrawStatic::clicked, this, [this, sdCard] { Choose(sdCard); });
    return caption;
}

void InstallLocationBoxes::Choose(bool sdCard) {
    const int choice = sdCard ? 1 : 0;
    if (installToSdCard_ != choice) {
        installToSdCard_ = choice;
        ShowChoice();
    }
}

void InstallLocationBoxes::ShowChoice() {
    const bool sdCard = installToSdCard_ == 1;
    sdCardBox_->SetImageStrip(sdCard ? checked_ : unchecked_, 1, {0});
    memoryBox_->SetImageStrip(sdCard ? unchecked_ : checked_, 1, {0});
    sdCardBox_->setAccessibleDescription(sdCard ? QStringLiteral("已选中")
                                                : QStringLiteral("未选中"));
    memoryBox_->setAccessibleDescription(sdCard ? QStringLiteral("未选中")
                                                : QStringLiteral("已选中"));
}

}  // namespace tarnel
