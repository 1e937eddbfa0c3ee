#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace tarnel {

class CLoginButton;
class CMyProgressCtrl;
class COwerDrawStatic;
class DeviceBridge;

// The device page: the attached phone's facts with bars, and its screenshot in a picture of a
// phone, which the user can refresh, copy and save. Packages dropped on it, or picked with its
// install button, go to tarnelInstall. A child of the main window at (0, 90), 980 x 536, hidden
// until a phone is ready.
class MyPhoneDlg : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kBarLeft = 465;
    static constexpr int kRamBarTop = 302;
    static constexpr int kStorageBarTop = 345;
    static constexpr int kSdBarTop = 387;

    MyPhoneDlg(DeviceBridge* bridge, QWidget* parent);
    ~MyPhoneDlg() override;

    // The page runs only adb (for screenshots); aaptPath is taken for the window's sake.
    void SetToolPaths(const std::string& adbPath, const std::string& aaptPath);
    // Shows bridge->deviceInfo (set on the GUI thread before the call) and the latest screenshot.
    void RefreshDeviceFacts();

    // The page's own actions, as its buttons run them.
    void RefreshScreenshot();
    void CopyScreenshot();
    void SaveScreenshot();
    void OpenPackageFile();
    // Starts tarnelInstall from the program folder with the path as its one argument.
    void StartInstaller(const QString& packagePath);

    // Where the page's messages go; a message box unless a test says otherwise.
    void SetMessageSink(std::function<void(const QString&)> sink);

    bool HasScreenshot() const { return !screenshot_.isNull(); }
    bool ScreenshotRunning() const { return screenshotWorker_ != nullptr; }
    int RamBarWidth() const { return ramBarWidth_; }
    int StorageBarWidth() const { return storageBarWidth_; }
    int SdBarWidth() const { return sdBarWidth_; }
    bool HasSdCard() const { return hasSdCard_; }

  signals:
    void screenshotFinished(bool taken);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    COwerDrawStatic* Label(int id, const QRect& place, int height, QRgb colour,
                           const QString& caption = {});
    CLoginButton* Button(const char* name, const QString& strip, const QPoint& place,
                         const QString& accessibleName);
    void LoadScreenshot();
    void ScreenshotDone(bool taken);
    void ShowMessage(const QString& text);

    DeviceBridge* bridge_;
    std::string adbPath_;
    std::map<int, COwerDrawStatic*> labels_;
    CMyProgressCtrl* ramBar_;
    CMyProgressCtrl* storageBar_;
    CMyProgressCtrl* sdBar_;
    int ramBarWidth_ = 0;
    int storageBarWidth_ = 0;
    int sdBarWidth_ = 0;
    bool hasSdCard_ = false;
    QImage screenshot_;
    std::unique_ptr<std::jthread> screenshotWorker_;
    std::function<void(const QString&)> messageSink_;
};

}  // namespace tarnel
