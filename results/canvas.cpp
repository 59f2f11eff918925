#include "canvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

namespace norvanta {

namespace {

// The line widths are given in pixels of a 96-dpi screen.
constexpr double kScreenDpi = 96.0;
constexpr double kTwipsPerInch = 1440.0;

using Kind = CanvasOperation::Kind;

CanvasOperation operation(Kind kind)
{
    CanvasOperation op;
    op.kind = kind;
    return op;
}

} // namespace

void RecordingCanvas::clear()
{
    operations_.clear();
    position_ = {};
    operations_.push_back(operation(Kind::Clear));
    // What was drawn is gone but the settings are not: keep them so a replay
    // of the picture starts with the same font and pen.
    if (!fontFamily_.isEmpty())
        recordFont();
    if (lineWidthSet_)
        recordLineWidth();
}

void RecordingCanvas::setFont(const QString& family, double points, bool bold)
{
    fontFamily_ = family;
    fontPoints_ = points;
    fontBold_ = bold;
    recordFont();
}

void RecordingCanvas::setLineWidth(double width)
{
    lineWidth_ = width;
    lineWidthSet_ = true;
    recordLineWidth();
}

void RecordingCanvas::line(QPointF from, QPointF to, CanvasColour colour)
{
    recordLine(Kind::Line, from, to, colour);
}

void RecordingCanvas::lineTo(QPointF to, CanvasColour colour)
{
    recordLine(Kind::LineTo, position_, to, colour);
    position_ = to;
}

void RecordingCanvas::rectangle(QPointF topLeft, QPointF bottomRight, CanvasColour colour)
{
    recordLine(Kind::Rectangle, topLeft, bottomRight, colour);
}

void RecordingCanvas::moveTo(QPointF position)
{
    position_ = position;
    CanvasOperation op = operation(Kind::MoveTo);
    op.from = position;
    operations_.push_back(op);
}

void RecordingCanvas::text(const QString& text)
{
    CanvasOperation op = operation(Kind::Text);
    op.from = position_;
    op.text = text;
    operations_.push_back(op);
}

void RecordingCanvas::recordFont()
{
    CanvasOperation op = operation(Kind::Font);
    op.text = fontFamily_;
    op.size = fontPoints_;
    op.bold = fontBold_;
    operations_.push_back(op);
}

void RecordingCanvas::recordLineWidth()
{
    CanvasOperation op = operation(Kind::LineWidth);
    op.size = lineWidth_;
    operations_.push_back(op);
}

void RecordingCanvas::recordLine(Kind kind, QPointF from, QPointF to, CanvasColour colour)
{
    CanvasOperation op = operation(kind);
    op.from = from;
    op.to = to;
    op.colour = colour;
    operations_.push_back(op);
}

void RecordingCanvas::replay(Canvas& target) const
{
    for (const CanvasOperation& op : operations_) {
        switch (op.kind) {
        case Kind::Clear:
            target.clear();
            break;
        case Kind::Font:
            target.setFont(op.text, op.size, op.bold);
            break;
        case Kind::LineWidth:
            target.setLineWidth(op.size);
            break;
        case Kind::Line:
            target.line(op.from, op.to, op.colour);
            break;
        case Kind::LineTo:
            target.moveTo(op.from);
            target.lineTo(op.to, op.colour);
            break;
        case Kind::Rectangle:
            target.rectangle(op.from, op.to, op.colour);
            break;
        case Kind::MoveTo:
            target.moveTo(op.from);
            break;
        case Kind::Text:
            target.moveTo(op.from);
            target.text(op.text);
            break;
        }
    }
}

void RecordingCanvas::reset()
{
    *this = RecordingCanvas();
}

PainterCanvas::PainterCanvas(QPainter& painter, QColor windowText, QColor background)
    : painter_(painter), windowText_(windowText), background_(background),
      dpiX_(painter.device() ? painter.device()->logicalDpiX() : kScreenDpi),
      dpiY_(painter.device() ? painter.device()->logicalDpiY() : kScreenDpi)
{
    painter_.setBrush(Qt::NoBrush);
    usePen(kWindowText);
}

QPointF PainterCanvas::toDevice(QPointF twips) const
{
    return {twips.x() * dpiX_ / kTwipsPerInch, twips.y() * dpiY_ / kTwipsPerInch};
}

void PainterCanvas::usePen(CanvasColour colour)
{
    QPen pen(colour.windowText ? windowText_ : QColor::fromRgb(colour.rgb));
    pen.setWidthF(lineWidth_ * dpiX_ / kScreenDpi);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_.setPen(pen);
}

void PainterCanvas::clear()
{
    if (QPaintDevice* device = painter_.device())
        painter_.fillRect(QRectF(0, 0, device->width(), device->height()), background_);
    position_ = {};
}

void PainterCanvas::setFont(const QString& family, double points, bool bold)
{
    QFont font(family);
    if (points > 0)
        font.setPointSizeF(points);
    font.setBold(bold);
    painter_.setFont(font);
}

void PainterCanvas::setLineWidth(double width)
{
    lineWidth_ = width;
}

void PainterCanvas::line(QPointF from, QPointF to, CanvasColour colour)
{
    usePen(colour);
    painter_.drawLine(toDevice(from), toDevice(to));
}

void PainterCanvas::lineTo(QPointF to, CanvasColour colour)
{
    usePen(colour);
    painter_.drawLine(toDevice(position_), toDevice(to));
    position_ = to;
}

void PainterCanvas::rectangle(QPointF topLeft, QPointF bottomRight, CanvasColour colour)
{
    usePen(colour);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRectF(toDevice(topLeft), toDevice(bottomRight)));
}

void PainterCanvas::moveTo(QPointF position)
{
    position_ = position;
}

void PainterCanvas::text(const QString& text)
{
    usePen(kWindowText);
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    const QPointF topLeft = toDevice(position_);
    painter_.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

double PainterCanvas::lineHeight() const
{
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    return metrics.height() * kTwipsPerInch / dpiY_;
}

} // namespace norvanta
