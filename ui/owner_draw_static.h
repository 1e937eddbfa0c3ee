#pragma once

#include <QRgb>
#include <QString>
#include <QWidget>

namespace tarnel {

// A label that draws only its text, in its own face, height and colour: whatever its parent paints
// beneath it shows through, and keeps showing through when the parent paints something else.
// A label never gets smaller than its text: a word cut off at the label's edge looks broken, and
// some layouts give a label less room than its font needs. Labels that are not clickable let
// mouse presses through to the window, so a title label does not stop the window being dragged.
class COwerDrawStatic : public QWidget {
    Q_OBJECT

  public:
    COwerDrawStatic(const QString& faceName, QWidget* parentWindow, int fontHeight,
                    QRgb textColour);
    // The installer's labels, always in the label face.
    COwerDrawStatic(QWidget* parentWindow, int fontHeight, QRgb textColour);

    void SetText(const QString& text);
    const QString& Text() const { return text_; }
    void SetTextColour(QRgb colour);
    // A clickable label takes the press, emits clicked() and shows the hand pointer.
    void SetClickable(bool clickable);

  signals:
    void clicked();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QFont Font() const;
    void FitText();

    QString faceName_;
    int fontHeight_;
    QRgb textColour_;
    QString text_;
    bool clickable_ = false;
};

}  // namespace tarnel
