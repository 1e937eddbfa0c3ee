// The window as the installation flow sees it: each effect lands on one control.
#include <QFile>
#include <QFontMetrics>
#include <QMessageBox>

#include <algorithm>

#include "installer/app/permission_panel.h"
#include "installer/app/phone_chooser_dlg.h"
#include "installer/app/tarnel_install_dlg.h"
#include "platform/text_codec.h"
#include "ui/ui.h"

namespace tarnel {
namespace {

const QString kProgramName = QStringLiteral("tarnelInstall");

QString Displayed(const std::string& narrow) {
    return QString::fromStdString(AnsiToUtf8(narrow));
}

// A text too long for its label ends in an ellipsis; the whole text is then its tooltip.
void ShowFitting(COwerDrawStatic* label, const QString& text, int fontHeight) {
    const QFontMetrics metrics(SkinFont(kLabelFace, fontHeight));
    const QString fitting = metrics.elidedText(text, Qt::ElideRight, label->width());
    label->SetText(fitting);
    label->setToolTip(fitting == text ? QString() : text);
}

int RunBox(QWidget* owner, QMessageBox::Icon icon, const QString& caption, const QString& text,
           QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, owner);
    return box.exec();
}

}  // namespace

void CtarnelInstallDlg::Post(std::function<void()> effect) {
    QMetaObject::invokeMethod(this, std::move(effect), Qt::QueuedConnection);
}

void CtarnelInstallDlg::SetStatus(const std::string& text) {
    ShowFitting(status_, Displayed(text), 19);
}

void CtarnelInstallDlg::SetProgress(int percent) {
    progress_->setVisible(percent >= 0);
    progress_->SetPos(std::clamp(percent, 0, 100));
}

void CtarnelInstallDlg::EnableInstallButton(bool enabled) {
    installButton_->setEnabled(enabled);
}

void CtarnelInstallDlg::ShowInstallDone(bool done) {
    const QImage& strip = done ? doneStrip_ : installStrip_;
    installButton_->SetImageStrip(strip, 3, {0, 1, CLoginButton::kDisabledFrame});
    const QString name = done ? QStringLiteral("安装完成，重新安装") : QStringLiteral("立即安装");
    installButton_->setAccessibleName(name);
    // Without its pictures the button still says what it does.
    installButton_->setText(strip.isNull() ? name : QString());
}

void CtarnelInstallDlg::EnablePermissionToggle(bool enabled) {
    permissionToggle_->setEnabled(enabled);
}

void CtarnelInstallDlg::ShowIcon(const std::string& path) {
    icon_ = QImage(QFile::decodeName(QByteArray::fromStdString(path)));
    update();
}

void CtarnelInstallDlg::ShowFacts(const DeviceBridge& facts) {
    appLabel_->SetTextColour(palette::kHeadingText);
    ShowFitting(appLabel_, Displayed(facts.appLabel), 25);
    ShowFitting(sizeText_, Displayed(facts.sizeText), 19);
    ShowFitting(versionName_, Displayed(facts.versionName), 19);
    ShowFitting(androidVersion_, Displayed(facts.androidVersion), 19);
    permissions_->SetText(Displayed(facts.permissionText));
}

void CtarnelInstallDlg::ShowBox(const std::string& text) {
    RunBox(this, QMessageBox::Warning, kProgramName, Displayed(text), QMessageBox::Ok);
}

void CtarnelInstallDlg::ShowMessage(const std::string& text, const std::string& caption) {
    RunBox(this, QMessageBox::Warning, Displayed(caption), Displayed(text), QMessageBox::Ok);
}

bool CtarnelInstallDlg::AskQuestion(const std::string& text, const std::string& caption) {
    return RunBox(this, QMessageBox::Information, Displayed(caption), Displayed(text),
                  QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

std::optional<std::string> CtarnelInstallDlg::ChoosePhone(const std::vector<AttachedPhone>& phones,
                                                          const std::string& preselected) {
    return RunPhoneChooser(this, phones, preselected);
}

}  // namespace tarnel
