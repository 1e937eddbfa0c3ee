#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

// Line icons drawn into a square box, in one colour, with round caps.
namespace skin::icons {

void Close(QPainter& painter, const QRectF& box, const QColor& colour);
void Minimise(QPainter& painter, const QRectF& box, const QColor& colour);
void Menu(QPainter& painter, const QRectF& box, const QColor& colour);
void Refresh(QPainter& painter, const QRectF& box, const QColor& colour);
void Copy(QPainter& painter, const QRectF& box, const QColor& colour);
void Save(QPainter& painter, const QRectF& box, const QColor& colour);
void Package(QPainter& painter, const QRectF& box, const QColor& colour);
void Plug(QPainter& painter, const QRectF& box, const QColor& colour);
void Check(QPainter& painter, const QRectF& box, const QColor& colour, qreal width);
void Bubble(QPainter& painter, const QRectF& box, const QColor& colour);
void Group(QPainter& painter, const QRectF& box, const QColor& colour);
void Phone(QPainter& painter, const QRectF& box, const QColor& colour);
void SdCard(QPainter& painter, const QRectF& box, const QColor& colour);
void Picture(QPainter& painter, const QRectF& box, const QColor& colour);
void Info(QPainter& painter, const QRectF& box, const QColor& colour);

}  // namespace skin::icons
