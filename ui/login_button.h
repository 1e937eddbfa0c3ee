#pragma once

#include <QAbstractButton>
#include <QImage>

#include <array>
#include <initializer_list>

namespace tarnel {

// An image button drawn from a strip of pictures, one frame per visual state. The frame list
// names the state each frame shows: 0 normal, 1 hover, 2 pressed, 3 disabled. A state without a
// frame shows frame 0, so a two-frame {0, 1} button shows its normal frame while pressed.
class CLoginButton : public QAbstractButton {
    Q_OBJECT

  public:
    enum State { kNormal = 0, kHover = 1, kPressed = 2 };
    static constexpr int kDisabledFrame = 3;
    static constexpr int kMaxFrames = 10;

    // drawMode 0: frames colour-keyed on white over a near-white fill; 1: frames copied plainly
    // over whatever the parent painted; any other value: no frame.
    explicit CLoginButton(QWidget* parent = nullptr, int drawMode = 1);

    // Keeps the strip (Qt shares the pixels with the caller) and resizes the button to one frame,
    // its top-left corner staying where it is. A null strip or an unusable frame count draws no
    // frame and leaves the size alone.
    void SetImageStrip(const QImage& strip, int frameCount, std::initializer_list<int> frameStates);

    int VisualState() const { return state_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    int FrameShowing(int wantedState) const;
    void ChangeState(int state);
    void DrawCaption(QPainter& painter);

    int state_ = kNormal;
    int drawMode_ = 1;
    bool tracking_ = false;
    QImage strip_;
    int frameCount_ = 0;
    std::array<int, kMaxFrames> frameStates_{};
};

}  // namespace tarnel
