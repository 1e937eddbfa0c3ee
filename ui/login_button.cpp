#include "ui/login_button.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "ui/skin_drawing.h"
#include "ui/skin_fonts.h"
#include "ui/skin_palette.h"

namespace tarnel {
namespace {

constexpr int kNoState = -1;

}  // namespace

CLoginButton::CLoginButton(QWidget* parent, int drawMode)
    : QAbstractButton(parent), drawMode_(drawMode) {
    setFont(SkinFont(kButtonCaptionFace, 13));
    setMouseTracking(true);
    frameStates_.fill(kNoState);
}

void CLoginButton::SetImageStrip(const QImage& strip, int frameCount,
                                 std::initializer_list<int> frameStates) {
    strip_ = strip;
    frameCount_ = frameCount >= 1 && frameCount <= kMaxFrames ? frameCount : 0;
    frameStates_.fill(kNoState);
    std::copy_n(frameStates.begin(), std::min<size_t>(frameStates.size(), frameCount_),
                frameStates_.begin());
    const QRect frame = FrameRect(strip_.size(), frameCount_, 0);
    if (!frame.isEmpty()) {
        resize(frame.size());
    }
    update();
}

int CLoginButton::FrameShowing(int wantedState) const {
    const auto* end = frameStates_.begin() + frameCount_;
    const auto* found = std::find(frameStates_.begin(), end, wantedState);
    return found == end ? 0 : static_cast<int>(found - frameStates_.begin());
}

void CLoginButton::ChangeState(int state) {
    if (state_ != state) {
        state_ = state;
        update();
    }
}

void CLoginButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (drawMode_ == 0) {
        painter.fillRect(rect(), QColor(palette::kKeyedButtonBackground));
    }
    if (!isEnabled()) {
        DrawFrame(painter, strip_, frameCount_, FrameShowing(kDisabledFrame), false);
        return;
    }
    if (drawMode_ == 0 || drawMode_ == 1) {
        DrawFrame(painter, strip_, frameCount_, FrameShowing(state_), drawMode_ == 0);
    }
    DrawCaption(painter);
}

void CLoginButton::DrawCaption(QPainter& painter) {
    const QString caption = text();
    if (caption.isEmpty()) {
        return;
    }
    // Centred on the measured extent, lifted two pixels above the middle.
    const QFontMetrics metrics(font());
    const int textX = width() / 2 - metrics.horizontalAdvance(caption) / 2;
    const int textY = height() / 2 - metrics.height() / 2;
    painter.setFont(font());
    painter.setPen(QColor(palette::kButtonCaption));
    painter.drawText(QPoint(textX, textY - 2 + metrics.ascent()), caption);
}

void CLoginButton::mouseMoveEvent(QMouseEvent* event) {
    QAbstractButton::mouseMoveEvent(event);
    const bool inside = rect().contains(event->position().toPoint());
    if (tracking_) {
        if (!inside) {
            tracking_ = false;
            ChangeState(kNormal);
        }
    } else if (inside) {
        tracking_ = true;
        ChangeState(kHover);
    }
}

void CLoginButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ChangeState(kPressed);
    }
    QAbstractButton::mousePressEvent(event);
}

void CLoginButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // The press's grab ends here; the next move over the button brings the hover frame back.
        tracking_ = false;
        ChangeState(kNormal);
    }
    QAbstractButton::mouseReleaseEvent(event);
}

void CLoginButton::leaveEvent(QEvent* event) {
    tracking_ = false;
    ChangeState(kNormal);
    QAbstractButton::leaveEvent(event);
}

}  // namespace tarnel
