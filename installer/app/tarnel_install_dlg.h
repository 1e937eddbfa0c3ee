#pragma once

#include <QDialog>

#include <QImage>

#include <optional>
#include <string>
#include <vector>

#include "installer/flow/install_flow.h"
#include "installer/flow/installer_state.h"
#include "installer/flow/installer_view.h"

namespace tarnel {

class CLoginButton;
class CMyProgressCtrl;
class COwerDrawStatic;
class CWebBrowser2;
class InstallLocationBoxes;
class PermissionPanel;

// The installer's one window: a package's icon and facts, its permissions, the install location,
// the install button and a status line, all drawn from the skin. It is the installation flow's
// view, so it behaves as tarnelInstall --no-gui does.
class CtarnelInstallDlg : public QDialog, public InstallerView {
    Q_OBJECT

  public:
    static constexpr int kWidth = 460;
    static constexpr int kHeight = 303;

    explicit CtarnelInstallDlg(QWidget* parent = nullptr);
    ~CtarnelInstallDlg() override;

    // Shows the window, finds the tools, looks for a phone, loads the vendor page and opens the
    // package of the command line (an empty path opens nothing).
    void StartUp(const std::string& commandLinePath);

    // A package the user brings: dropped or chosen in the file dialog. Paths in the narrow
    // encoding.
    void OpenFromUser(const std::string& path);
    // A package handed over by a second copy: the window comes to the front with it.
    void OpenHandedOver(const std::string& path);
    // The open-file dialog (Ctrl+O), then the chosen package.
    void ChooseFile();

    const InstallerState& State() const { return state_; }

    // InstallerView
    void Post(std::function<void()> effect) override;
    void SetStatus(const std::string& text) override;
    void SetProgress(int percent) override;
    void EnableInstallButton(bool enabled) override;
    void ShowInstallDone(bool done) override;
    void EnablePermissionToggle(bool enabled) override;
    void ShowIcon(const std::string& path) override;
    void ShowFacts(const DeviceBridge& facts) override;
    void ShowBox(const std::string& text) override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskQuestion(const std::string& text, const std::string& caption) override;
    // The skinned chooser.
    std::optional<std::string> ChoosePhone(const std::vector<AttachedPhone>& phones,
                                           const std::string& preselected) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateControls();
    COwerDrawStatic* Label(const char* name, const QRect& place, int fontHeight, QRgb colour,
                           const QString& text = {});
    CLoginButton* ImageButton(const char* name, const QRect& place, const QString& accessibleName);
    void OpenMoreGames();

    InstallerState state_;
    InstallFlow flow_{*this, state_};

    QImage installStrip_;
    QImage doneStrip_;
    QImage icon_;

    COwerDrawStatic* appLabel_ = nullptr;
    COwerDrawStatic* sizeText_ = nullptr;
    COwerDrawStatic* versionName_ = nullptr;
    COwerDrawStatic* androidVersion_ = nullptr;
    COwerDrawStatic* status_ = nullptr;
    CMyProgressCtrl* progress_ = nullptr;
    CLoginButton* installButton_ = nullptr;
    CLoginButton* permissionToggle_ = nullptr;
    CWebBrowser2* browser_ = nullptr;
    PermissionPanel* permissions_ = nullptr;
    InstallLocationBoxes* location_ = nullptr;
};

}  // namespace tarnel
