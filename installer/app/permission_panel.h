#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

class QPlainTextEdit;
class QWidget;

namespace tarnel {

class CLoginButton;

// The list of the package's permissions under its facts. Opening it makes the window taller by
// the panel's height and moves the controls of the bottom band down with it; closing puts every
// one of them back exactly where it was.
class PermissionPanel : public QObject {
    Q_OBJECT

  public:
    static constexpr int kGrowth = 85;

    // openFlag mirrors the panel's state for the installation flow. The toggle shows the
    // triangle picture that matches the state.
    PermissionPanel(QWidget* window, CLoginButton* toggle, QList<QWidget*> bottomBand,
                    int& openFlag);

    bool IsOpen() const { return openFlag_ != 0; }
    void Toggle();
    // Kept while the panel is closed, so it opens with the latest text.
    void SetText(const QString& permissionText);

  private:
    void ShowToggleImage();

    QWidget* window_;
    CLoginButton* toggle_;
    QList<QWidget*> bottomBand_;
    int& openFlag_;
    QPlainTextEdit* edit_;
    QImage openImage_;
    QImage closedImage_;
};

}  // namespace tarnel
