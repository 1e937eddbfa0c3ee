#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QSize>

namespace tarnel {

class CLoginButton;
class COwerDrawStatic;
class SkinPagePainter;

// What the small dialogs of both programs share: a borderless 437 x 195 dialog centred on
// the screen, dragged by its top 40 pixels, a title strip, a close button, labels in the label
// face and pictures standing in for radio buttons and check boxes.
class SmallSkinnedDialog : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kWidth = 437;
    static constexpr int kHeight = 195;
    static constexpr int kDragBand = 40;

  protected:
    SmallSkinnedDialog(QWidget* parent, const QString& title, QRgb background);

    // A clickable label emits clicked() and shows the hand pointer.
    COwerDrawStatic* Label(const char* name, QPoint at, QSize size, int fontHeight, QRgb colour,
                           const QString& text, bool clickable = false);
    CLoginButton* ImageButton(const char* name, QPoint at, QSize size,
                              const QString& accessibleName);
    // The close button at the top right: it cancels the dialog.
    void AddCloseButton();
    // A radio button or check box picture: the one-frame strip for its state.
    void ShowRadio(CLoginButton* button, bool selected) const;
    void ShowCheckBox(CLoginButton* button, bool ticked) const;

    // Pictures drawn over the background and the title strip.
    virtual void PaintPictures(SkinPagePainter& page);

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QRgb background_;
    QImage radioOn_;
    QImage radioOff_;
    QImage boxTicked_;
    QImage boxEmpty_;
    bool placed_ = false;
};

}  // namespace tarnel
