#include "canvas.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>

#include <algorithm>

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

QFont fontOf(const QString& family, double points, bool bold)
{
    QFont font(family);
    if (points > 0)
        font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A paint device of 1440 dots per inch: font metrics on it come in twips.
const QPaintDevice& twipsDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(kTwipsPerInch / 0.0254));
        image.setDotsPerMeterY(qRound(kTwipsPerInch / 0.0254));
        return image;
    }();
    return device;
}

} // namespace

double shrinkFontToFit(Canvas& canvas, const QString& family, double points, bool bold,
                       const QStringList& texts, double room)
{
    const auto widest = [&] {
        double width = 0;
        for (const QString& text : texts)
            width = std::max(width, canvas.textWidth(text));
        return width;
    };
    // Width grows about in proportion to the size; rounding in the font's
    // metrics can leave a little over, taken off in small steps.
    double size = points;
    double width = widest();
    for (int step = 0; width > room && room > 0 && size > 0 && step < 20; ++step) {
        size *= std::min(room / width, 0.98);
        canvas.setFont(family, size, bold);
        width = widest();
    }
    return size;
}

void drawFittingText(Canvas& canvas, const QString& family, double points, bool bold, QPointF at,
                     const QString& text, double nextX)
{
    const double fitted =
        shrinkFontToFit(canvas, family, points, bold, {text}, nextX - at.x() - kTextGap);
    canvas.moveTo(at);
    canvas.text(text);
    if (fitted != points)
        canvas.setFont(family, points, bold);
}

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

double RecordingCanvas::textWidth(const QString& text) const
{
    return QFontMetricsF(fontOf(fontFamily_, fontPoints_, fontBold_), &twipsDevice())
        .horizontalAdvance(text);
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
    painter_.setFont(fontOf(family, points, bold));
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

double PainterCanvas::textWidth(const QString& text) const
{
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    return metrics.horizontalAdvance(text) * kTwipsPerInch / dpiX_;
}

} // namespace norvanta
