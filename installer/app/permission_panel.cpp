#include "installer/app/permission_panel.h"

#include <QPlainTextEdit>
#include <QScrollBar>

#include "installer/app/disabled_frame.h"
#include "ui/login_button.h"
#include "ui/skin_drawing.h"
#include "ui/skin_fonts.h"

namespace tarnel {
namespace {

constexpr QRect kEditPlace(0, 240, 460, 88);
constexpr QRgb kEditText = qRgb(0x33, 0x33, 0x33);
constexpr QRgb kEditBackground = qRgb(0xF1, 0xF1, 0xF1);

// A slim flat bar in the panel's own greys instead of the desktop style's.
const QString kScrollBarLook = QStringLiteral(
    "QScrollBar:vertical { background: #F1F1F1; width: 8px; margin: 4px 2px 4px 0; }"
    "QScrollBar::handle:vertical { background: #CFCFCF; border-radius: 3px; min-height: 24px; }"
    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
    "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }");

}  // namespace

PermissionPanel::PermissionPanel(QWidget* window, CLoginButton* toggle, QList<QWidget*> bottomBand,
                                 int& openFlag)
    : QObject(window),
      window_(window),
      toggle_(toggle),
      bottomBand_(std::move(bottomBand)),
      openFlag_(openFlag),
      edit_(new QPlainTextEdit(window)),
      openImage_(WithDisabledFrame(LoadSkinBitmap(QStringLiteral("小三角hover.jpg")), 1)),
      closedImage_(WithDisabledFrame(LoadSkinBitmap(QStringLiteral("小三角.jpg")), 1)) {
    edit_->setObjectName(QStringLiteral("permissionText"));
    edit_->setAccessibleName(QStringLiteral("应用权限"));
    edit_->setReadOnly(true);
    edit_->setFrameShape(QFrame::NoFrame);
    edit_->setFont(SkinFont(kLabelFace, 19));
    edit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit_->verticalScrollBar()->setStyleSheet(kScrollBarLook);
    edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette colours = edit_->palette();
    colours.setColor(QPalette::Text, QColor(kEditText));
    colours.setColor(QPalette::Base, QColor(kEditBackground));
    edit_->setPalette(colours);
    edit_->document()->setDocumentMargin(6);
    edit_->setGeometry(kEditPlace);
    edit_->hide();
    ShowToggleImage();
}

void PermissionPanel::SetText(const QString& permissionText) {
    QString text = permissionText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(QStringLiteral("\n    "))) {
        text.chop(5);
    }
    if (edit_->toPlainText() != text) {
        edit_->setPlainText(text);
    }
}

void PermissionPanel::Toggle() {
    const int shift = IsOpen() ? -kGrowth : kGrowth;
    openFlag_ = IsOpen() ? 0 : 1;
    window_->setFixedSize(window_->width(), window_->height() + shift);
    for (QWidget* control : bottomBand_) {
        control->move(control->x(), control->y() + shift);
    }
    edit_->verticalScrollBar()->setValue(0);
    edit_->setVisible(IsOpen());
    ShowToggleImage();
}

void PermissionPanel::ShowToggleImage() {
    toggle_->SetImageStrip(IsOpen() ? openImage_ : closedImage_, 2,
                           {0, CLoginButton::kDisabledFrame});
    toggle_->setAccessibleDescription(IsOpen() ? QStringLiteral("已展开")
                                               : QStringLiteral("已收起"));
}

}  // namespace tarnel
