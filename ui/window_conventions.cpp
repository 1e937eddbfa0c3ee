#include "ui/window_conventions.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace tarnel {
namespace {

class TopBandDrag : public QObject {
  public:
    TopBandDrag(QWidget* window, int bandHeight)
        : QObject(window), window_(window), bandHeight_(bandHeight) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_) {
            return false;
        }
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                return Press(static_cast<QMouseEvent*>(event));
            case QEvent::MouseMove:
                return Follow(static_cast<QMouseEvent*>(event));
            case QEvent::MouseButtonRelease:
                return std::exchange(following_, false);
            default:
                return false;
        }
    }

  private:
    bool Press(const QMouseEvent* press) {
        if (press->button() != Qt::LeftButton || press->position().y() >= bandHeight_) {
            return false;
        }
        QWindow* handle = window_->windowHandle();
        if (handle != nullptr && handle->startSystemMove()) {
            return true;
        }
        following_ = true;
        grabOffset_ = press->globalPosition().toPoint() - window_->pos();
        return true;
    }

    bool Follow(const QMouseEvent* move) {
        if (!following_) {
            return false;
        }
        if (!(move->buttons() & Qt::LeftButton)) {
            following_ = false;
            return false;
        }
        window_->move(move->globalPosition().toPoint() - grabOffset_);
        return true;
    }

    QWidget* window_;
    int bandHeight_;
    bool following_ = false;
    QPoint grabOffset_;
};

}  // namespace

void MakeSkinnedWindow(QWidget* window) {
    Qt::WindowFlags type = window->windowFlags() & Qt::WindowType_Mask;
    if (type == Qt::Widget) {
        type = Qt::Window;
    }
    window->setWindowFlags(type | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
}

void DragByTopBand(QWidget* window, int bandHeight) {
    window->installEventFilter(new TopBandDrag(window, bandHeight));
}

void CentreOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const QRect free = screen->availableGeometry();
    QRect place(QPoint(0, 0), window->frameGeometry().size());
    place.moveCenter(free.center());
    // On a screen smaller than the window its top band, by which it is dragged, stays on screen.
    window->move(std::max(place.left(), free.left()), std::max(place.top(), free.top()));
}

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void UseHandCursor(std::initializer_list<QWidget*> controls) {
    for (QWidget* control : controls) {
        control->setCursor(Qt::PointingHandCursor);
    }
}

}  // namespace tarnel
