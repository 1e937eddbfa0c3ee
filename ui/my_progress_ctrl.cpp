#include "ui/my_progress_ctrl.h"

#include <QPainter>

#include <algorithm>

#include "ui/skin_palette.h"

namespace tarnel {

CMyProgressCtrl::CMyProgressCtrl(QWidget* parent) : QWidget(parent) {}

void CMyProgressCtrl::SetRange(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    update();
}

void CMyProgressCtrl::SetPos(int position) {
    if (position_ != position) {
        position_ = position;
        update();
    }
}

int CMyProgressCtrl::FilledWidth() const {
    if (upper_ <= 0) {
        return 0;
    }
    const double right = static_cast<double>(width()) / upper_ * position_;
    return static_cast<int>(std::clamp(right, 0.0, static_cast<double>(width())));
}

void CMyProgressCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(palette::kBarEmpty));
    painter.fillRect(QRect(0, 0, FilledWidth(), height()), QColor(palette::kBarFilled));
}

}  // namespace tarnel
