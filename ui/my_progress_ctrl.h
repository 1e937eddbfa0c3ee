#pragma once

#include <QWidget>

namespace tarnel {

// A flat bar: a light track with a green fill from the left edge. The fill is
// width / upper * position pixels; the lower bound only marks the range, as on the device page.
class CMyProgressCtrl : public QWidget {
    Q_OBJECT

  public:
    explicit CMyProgressCtrl(QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    void SetPos(int position);
    int GetPos() const { return position_; }
    int Lower() const { return lower_; }
    int Upper() const { return upper_; }

    // The filled width for the current size: never negative, never past the track, and nothing
    // for a range whose maximum is not positive.
    int FilledWidth() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int lower_ = 0;
    int upper_ = 100;
    int position_ = 0;
};

}  // namespace tarnel
