#pragma once

#include <QWidget>

#include <string>

namespace tarnel {

class DeviceBridge;

// The device page: the attached phone's facts and screenshot. A child of the main window at
// (0, 90), 980 x 536, hidden until a phone is ready.
class MyPhoneDlg : public QWidget {
    Q_OBJECT

  public:
    MyPhoneDlg(DeviceBridge* bridge, QWidget* parent);

    void SetToolPaths(const std::string& adbPath, const std::string& aaptPath);
    // Shows bridge->deviceInfo (set on the GUI thread before the call).
    void RefreshDeviceFacts();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    DeviceBridge* bridge_;
    std::string adbPath_;
    std::string aaptPath_;
};

}  // namespace tarnel
