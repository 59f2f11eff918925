#include "drawing_area.h"

#include "common/twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace norvanta {

DrawingArea::DrawingArea(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QPointF DrawingArea::toTwips(QPointF pixels) const
{
    return {pixelsToTwips(pixels.x(), logicalDpiX()), pixelsToTwips(pixels.y(), logicalDpiY())};
}

void DrawingArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor background = palette().color(QPalette::Base);
    painter.fillRect(rect(), background);
    PainterCanvas canvas(painter, palette().color(QPalette::WindowText), background);
    picture_.replay(canvas);
}

void DrawingArea::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT mousePressed(toTwips(event->position()));
    QWidget::mousePressEvent(event);
}

void DrawingArea::mouseMoveEvent(QMouseEvent* event)
{
    Q_EMIT mouseMoved(toTwips(event->position()));
    QWidget::mouseMoveEvent(event);
}

} // namespace norvanta
