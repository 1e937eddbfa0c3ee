#include "ui/small_dialog.h"

#include "ui/ui.h"

namespace tarnel {
namespace {

constexpr int kTitleStripHeight = 30;

}  // namespace

SmallSkinnedDialog::SmallSkinnedDialog(QWidget* parent, const QString& title, QRgb background)
    : QDialog(parent),
      background_(background),
      radioOn_(LoadSkinBitmap(QStringLiteral("Radio_1.jpg"))),
      radioOff_(LoadSkinBitmap(QStringLiteral("Radio_0.jpg"))),
      boxTicked_(LoadSkinBitmap(QStringLiteral("选择框选中.jpg"))),
      boxEmpty_(LoadSkinBitmap(QStringLiteral("选择框.jpg"))) {
    MakeSkinnedWindow(this);
    DragByTopBand(this, kDragBand);
    setWindowTitle(title);
    setFixedSize(kWidth, kHeight);
}

COwerDrawStatic* SmallSkinnedDialog::Label(const char* name, QPoint at, QSize size, int fontHeight,
                                           QRgb colour, const QString& text, bool clickable) {
    auto* label = new COwerDrawStatic(this, fontHeight, colour);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(QRect(at, size));
    label->SetText(text);
    label->setAccessibleName(text);
    label->SetClickable(clickable);
    return label;
}

CLoginButton* SmallSkinnedDialog::ImageButton(const char* name, QPoint at, QSize size,
                                              const QString& accessibleName) {
    auto* button = new CLoginButton(this, 0);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessibleName);
    button->setGeometry(QRect(at, size));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void SmallSkinnedDialog::AddCloseButton() {
    CLoginButton* close =
        ImageButton("closeButton", {kWidth - 28, 0}, {28, 28}, QStringLiteral("关闭"));
    close->SetImageStrip(LoadSkinBitmap(QStringLiteral("关闭合成.jpg")), 3, {0, 1, 2});
    close->unsetCursor();
    connect(close, &CLoginButton::clicked, this, &QDialog::reject);
}

void SmallSkinnedDialog::ShowRadio(CLoginButton* button, bool selected) const {
    button->SetImageStrip(selected ? radioOn_ : radioOff_, 1, {0});
    button->setCheckable(true);
    button->setChecked(selected);
    button->update();
}

void SmallSkinnedDialog::ShowCheckBox(CLoginButton* button, bool ticked) const {
    button->SetImageStrip(ticked ? boxTicked_ : boxEmpty_, 1, {0});
    button->setCheckable(true);
    button->setChecked(ticked);
    button->update();
}

void SmallSkinnedDialog::PaintPictures(SkinPagePainter&) {}

void SmallSkinnedDialog::paintEvent(QPaintEvent*) {
    SkinPagePainter page(this, background_);
    page.Stretched(QStringLiteral("title_back.png"), QRect(0, 0, width(), kTitleStripHeight));
    PaintPictures(page);
}

void SmallSkinnedDialog::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        CentreOnScreen(this);
    }
    QDialog::showEvent(event);
}

}  // namespace tarnel
