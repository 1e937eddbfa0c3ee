#include "ui/owner_draw_static.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "ui/skin_fonts.h"

namespace tarnel {

COwerDrawStatic::COwerDrawStatic(const QString& faceName, QWidget* parentWindow, int fontHeight,
                                 QRgb textColour)
    : QWidget(parentWindow), faceName_(faceName), fontHeight_(fontHeight), textColour_(textColour) {
    FitText();
}

COwerDrawStatic::COwerDrawStatic(QWidget* parentWindow, int fontHeight, QRgb textColour)
    : COwerDrawStatic(kLabelFace, parentWindow, fontHeight, textColour) {}

void COwerDrawStatic::SetText(const QString& text) {
    if (text_ != text) {
        text_ = text;
        FitText();
        update();
    }
}

void COwerDrawStatic::SetTextColour(QRgb colour) {
    textColour_ = colour;
    update();
}

void COwerDrawStatic::SetClickable(bool clickable) {
    clickable_ = clickable;
    if (clickable) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
}

QFont COwerDrawStatic::Font() const {
    return SkinFont(faceName_, fontHeight_);
}

void COwerDrawStatic::FitText() {
    const QFontMetrics metrics(Font());
    const QSize text = metrics.size(0, text_);
    setMinimumSize(text.width(), std::max(text.height(), metrics.height()));
}

void COwerDrawStatic::paintEvent(QPaintEvent*) {
    // No background of its own: Qt has already painted the parent beneath this label.
    QPainter painter(this);
    painter.setFont(Font());
    painter.setPen(QColor(textColour_));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, text_);
}

void COwerDrawStatic::mousePressEvent(QMouseEvent* event) {
    if (clickable_ && event->button() == Qt::LeftButton) {
        event->accept();
    } else {
        event->ignore();
    }
}

void COwerDrawStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (!clickable_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    if (rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

}  // namespace tarnel
