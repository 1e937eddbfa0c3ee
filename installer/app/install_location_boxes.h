#pragma once

#include <QImage>
#include <QObject>

class QWidget;

namespace tarnel {

class CLoginButton;
class COwerDrawStatic;

// The install-location choice: a box and a clickable label for the phone's SD card, and the same
// for its internal memory. Exactly one box is checked; the SD card at start.
class InstallLocationBoxes : public QObject {
    Q_OBJECT

  public:
    // installToSdCard is the flow's flag: 1 SD card, 0 internal memory.
    InstallLocationBoxes(QWidget* window, int& installToSdCard);

    void Choose(bool sdCard);

  private:
    CLoginButton* Box(const char* name, QPoint place, const QString& accessibleName, bool sdCard);
    COwerDrawStatic* Caption(const char* name, const QRect& place, const QString& text,
                             bool sdCard);
    void ShowChoice();

    QWidget* window_;
    int& installToSdCard_;
    QImage checked_;
    QImage unchecked_;
    CLoginButton* sdCardBox_;
    CLoginButton* memoryBox_;
};

}  // namespace tarnel
