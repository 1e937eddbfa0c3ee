#include "icons.h"

#include <QPainterPath>

namespace skin::icons {
namespace {

// A pen scaled to the box, so icons keep their weight at every size.
QPen Stroke(const QRectF& box, const QColor& colour, qreal share = 0.1) {
    QPen pen(colour, box.width() * share);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QPointF At(const QRectF& box, qreal x, qreal y) {
    return {box.left() + box.width() * x, box.top() + box.height() * y};
}

QRectF Part(const QRectF& box, qreal x, qreal y, qreal w, qreal h) {
    return {box.left() + box.width() * x, box.top() + box.height() * y, box.width() * w,
            box.height() * h};
}

}  // namespace

void Close(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.12));
    painter.drawLine(At(box, 0.1, 0.1), At(box, 0.9, 0.9));
    painter.drawLine(At(box, 0.9, 0.1), At(box, 0.1, 0.9));
    painter.restore();
}

void Minimise(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.12));
    painter.drawLine(At(box, 0.1, 0.55), At(box, 0.9, 0.55));
    painter.restore();
}

void Menu(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.12));
    for (qreal y : {0.2, 0.5, 0.8}) {
        painter.drawLine(At(box, 0.1, y), At(box, 0.9, y));
    }
    painter.restore();
}

void Refresh(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.13));
    const QRectF ring = Part(box, 0.12, 0.12, 0.76, 0.76);
    painter.drawArc(ring, 40 * 16, 280 * 16);
    QPainterPath head;
    head.moveTo(At(box, 0.62, 0.02));
    head.lineTo(At(box, 0.9, 0.2));
    head.lineTo(At(box, 0.62, 0.36));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(head);
    painter.restore();
}

void Copy(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.11));
    painter.setBrush(Qt::NoBrush);
    // The sheet behind shows only where the front one does not cover it.
    QPainterPath back;
    back.moveTo(At(box, 0.36, 0.7));
    back.lineTo(At(box, 0.08, 0.7));
    back.lineTo(At(box, 0.08, 0.08));
    back.lineTo(At(box, 0.64, 0.08));
    back.lineTo(At(box, 0.64, 0.3));
    painter.drawPath(back);
    painter.drawRoundedRect(Part(box, 0.36, 0.3, 0.56, 0.62), box.width() * 0.08,
                            box.width() * 0.08);
    painter.restore();
}

void Save(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.12));
    painter.drawLine(At(box, 0.5, 0.06), At(box, 0.5, 0.62));
    painter.drawLine(At(box, 0.26, 0.4), At(box, 0.5, 0.64));
    painter.drawLine(At(box, 0.74, 0.4), At(box, 0.5, 0.64));
    QPainterPath tray;
    tray.moveTo(At(box, 0.08, 0.6));
    tray.lineTo(At(box, 0.08, 0.92));
    tray.lineTo(At(box, 0.92, 0.92));
    tray.lineTo(At(box, 0.92, 0.6));
    painter.drawPath(tray);
    painter.restore();
}

void Package(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.09));
    painter.setBrush(Qt::NoBrush);
    QPainterPath cube;
    cube.moveTo(At(box, 0.5, 0.05));
    cube.lineTo(At(box, 0.92, 0.27));
    cube.lineTo(At(box, 0.92, 0.73));
    cube.lineTo(At(box, 0.5, 0.95));
    cube.lineTo(At(box, 0.08, 0.73));
    cube.lineTo(At(box, 0.08, 0.27));
    cube.closeSubpath();
    cube.moveTo(At(box, 0.08, 0.27));
    cube.lineTo(At(box, 0.5, 0.49));
    cube.lineTo(At(box, 0.92, 0.27));
    cube.moveTo(At(box, 0.5, 0.49));
    cube.lineTo(At(box, 0.5, 0.95));
    painter.drawPath(cube);
    painter.restore();
}

void Plug(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(Part(box, 0.22, 0.3, 0.56, 0.36), box.width() * 0.06,
                            box.width() * 0.06);
    painter.drawLine(At(box, 0.38, 0.06), At(box, 0.38, 0.3));
    painter.drawLine(At(box, 0.62, 0.06), At(box, 0.62, 0.3));
    painter.drawLine(At(box, 0.5, 0.66), At(box, 0.5, 0.94));
    painter.restore();
}

void Check(QPainter& painter, const QRectF& box, const QColor& colour, qreal width) {
    painter.save();
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    QPainterPath tick;
    tick.moveTo(At(box, 0.14, 0.52));
    tick.lineTo(At(box, 0.4, 0.76));
    tick.lineTo(At(box, 0.86, 0.26));
    painter.drawPath(tick);
    painter.restore();
}

void Bubble(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.1));
    painter.setBrush(Qt::NoBrush);
    QPainterPath bubble;
    bubble.addRoundedRect(Part(box, 0.06, 0.1, 0.88, 0.62), box.width() * 0.2, box.width() * 0.2);
    painter.drawPath(bubble);
    QPainterPath tail;
    tail.moveTo(At(box, 0.3, 0.72));
    tail.lineTo(At(box, 0.24, 0.94));
    tail.lineTo(At(box, 0.5, 0.72));
    painter.drawPath(tail);
    painter.setPen(Stroke(box, colour, 0.14));
    for (qreal x : {0.3, 0.5, 0.7}) {
        painter.drawPoint(At(box, x, 0.41));
    }
    painter.restore();
}

void Group(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.09));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(Part(box, 0.18, 0.1, 0.34, 0.34));
    painter.drawArc(Part(box, 0.02, 0.5, 0.66, 0.8), 0, 180 * 16);
    painter.drawArc(Part(box, 0.56, 0.16, 0.28, 0.28), -60 * 16, 260 * 16);
    painter.drawArc(Part(box, 0.58, 0.52, 0.4, 0.64), 0, 100 * 16);
    painter.restore();
}

void Phone(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.08));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(Part(box, 0.24, 0.04, 0.52, 0.92), box.width() * 0.1,
                            box.width() * 0.1);
    painter.drawLine(At(box, 0.42, 0.14), At(box, 0.58, 0.14));
    painter.drawLine(At(box, 0.44, 0.84), At(box, 0.56, 0.84));
    painter.restore();
}

void SdCard(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.08));
    painter.setBrush(Qt::NoBrush);
    QPainterPath card;
    card.moveTo(At(box, 0.42, 0.06));
    card.lineTo(At(box, 0.82, 0.06));
    card.lineTo(At(box, 0.82, 0.94));
    card.lineTo(At(box, 0.18, 0.94));
    card.lineTo(At(box, 0.18, 0.3));
    card.closeSubpath();
    painter.drawPath(card);
    for (qreal x : {0.4, 0.52, 0.64}) {
        painter.drawLine(At(box, x, 0.18), At(box, x, 0.32));
    }
    painter.restore();
}

void Picture(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Stroke(box, colour, 0.07));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(Part(box, 0.04, 0.14, 0.92, 0.72), box.width() * 0.08,
                            box.width() * 0.08);
    QPainterPath hills;
    hills.moveTo(At(box, 0.1, 0.78));
    hills.lineTo(At(box, 0.38, 0.5));
    hills.lineTo(At(box, 0.56, 0.66));
    hills.lineTo(At(box, 0.7, 0.54));
    hills.lineTo(At(box, 0.9, 0.76));
    painter.drawPath(hills);
    painter.drawEllipse(Part(box, 0.64, 0.26, 0.12, 0.12));
    painter.restore();
}

void Info(QPainter& painter, const QRectF& box, const QColor& colour) {
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(box);
    painter.setPen(Stroke(box, Qt::white, 0.12));
    painter.drawPoint(At(box, 0.5, 0.28));
    painter.drawLine(At(box, 0.5, 0.46), At(box, 0.5, 0.74));
    painter.restore();
}

}  // namespace skin::icons
