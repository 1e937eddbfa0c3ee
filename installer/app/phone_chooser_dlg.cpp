#include "installer/app/phone_chooser_dlg.h"

#include <algorithm>

#include "bridge/phone_choice.h"
#include "ui/ui.h"

namespace tarnel {
namespace {

constexpr int kFirstRow = 72;
constexpr int kRowHeight = 26;
// Rows that fit the dialog's usual height; more phones make it taller.
constexpr int kRowsInPlace = 2;

}  // namespace

CPhoneChooserDlg::CPhoneChooserDlg(QWidget* parent, std::vector<AttachedPhone> phones,
                                   const std::string& preselected)
    : SmallSkinnedDialog(parent, QStringLiteral("选择手机"), palette::kPanel),
      phones_(std::move(phones)) {
    using palette::kBodyText;
    const int extraRows = std::max(0, static_cast<int>(phones_.size()) - kRowsInPlace);
    const int height = kHeight + extraRows * kRowHeight;
    setFixedSize(kWidth, height);
    Label("title", {11, 4}, {90, 17}, 25, palette::kTitleText, QStringLiteral("选择手机"));
    Label("question", {24, 42}, {390, 17}, 25, kBodyText,
          QStringLiteral("连接了多部手机，请选择要安装到的手机："));
    for (size_t row = 0; row < phones_.size(); ++row) {
        const int y = kFirstRow + static_cast<int>(row) * kRowHeight;
        const QString text = QString::fromStdString(PhoneLabel(phones_[row]));
        const std::string name = "phone" + std::to_string(row);
        CLoginButton* radio = ImageButton((name + "Radio").c_str(), {40, y + 4}, {14, 14}, text);
        COwerDrawStatic* label =
            Label((name + "Label").c_str(), {60, y}, {360, 19}, 19, kBodyText, text, true);
        connect(radio, &CLoginButton::clicked, this, [this, row] { Choose(row); });
        connect(label, &COwerDrawStatic::clicked, this, [this, row] { Choose(row); });
        radios_.push_back(radio);
        if (phones_[row].serial == preselected)
            chosen_ = row;
    }
    CLoginButton* ok =
        ImageButton("okButton", {337, height - 50}, {80, 27}, QStringLiteral("确定"));
    ok->SetImageStrip(LoadSkinBitmap(QStringLiteral("确定.jpg")), 2, {0, 1});
    CLoginButton* cancel =
        ImageButton("cancelButton", {237, height - 50}, {80, 27}, QStringLiteral("取消"));
    cancel->SetImageStrip(LoadSkinBitmap(QStringLiteral("取消.jpg")), 2, {0, 1});
    AddCloseButton();
    connect(ok, &CLoginButton::clicked, this, &CPhoneChooserDlg::accept);
    connect(cancel, &CLoginButton::clicked, this, &CPhoneChooserDlg::reject);
    Choose(chosen_);
}

void CPhoneChooserDlg::Choose(size_t row) {
    chosen_ = row;
    for (size_t each = 0; each < radios_.size(); ++each)
        ShowRadio(radios_[each], each == chosen_);
}

std::optional<std::string> RunPhoneChooser(QWidget* parent,
                                           const std::vector<AttachedPhone>& phones,
                                           const std::string& preselected) {
    if (phones.empty())
        return std::nullopt;
    CPhoneChooserDlg chooser(parent, phones, preselected);
    if (chooser.exec() != QDialog::Accepted)
        return std::nullopt;
    return chooser.ChosenSerial();
}

}  // namespace tarnel
