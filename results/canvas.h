#pragma once

#include <QColor>
#include <QPointF>
#include <QRgb>
#include <QString>
#include <QStringList>

#include <vector>

class QPainter;

namespace norvanta {

// A drawing colour: either the system's window-text colour, which each
// device resolves itself, or a fixed RGB colour.
struct CanvasColour {
    bool windowText = true;
    QRgb rgb = 0;

    static constexpr CanvasColour windowTextColour() { return {}; }
    static constexpr CanvasColour fixed(int red, int green, int blue)
    {
        return {false, qRgb(red, green, blue)};
    }
    bool operator==(const CanvasColour&) const = default;
};

inline constexpr CanvasColour kWindowText = CanvasColour::windowTextColour();
inline constexpr CanvasColour kBlue = CanvasColour::fixed(0, 0, 255);
inline constexpr CanvasColour kRed = CanvasColour::fixed(255, 0, 0);

// The drawing surface of the graph, the number table and the printed page.
// Coordinates are twips (1/1440 inch), x to the right and y downward from the
// top-left corner. Text is placed with its top-left corner at the current
// position, which drawing text leaves unchanged.
class Canvas {
public:
    virtual ~Canvas() = default;

    // Clears the surface and resets the current position to (0, 0).
    virtual void clear() = 0;
    virtual void setFont(const QString& family, double points, bool bold = false) = 0;
    // Line width in pixels of a 96-dpi screen, so 1 is one screen pixel.
    virtual void setLineWidth(double width) = 0;
    virtual void line(QPointF from, QPointF to, CanvasColour colour) = 0;
    // A line from the current position, which then moves to `to`.
    virtual void lineTo(QPointF to, CanvasColour colour) = 0;
    // Rectangle outline between two opposite corners.
    virtual void rectangle(QPointF topLeft, QPointF bottomRight, CanvasColour colour) = 0;
    virtual void moveTo(QPointF position) = 0;
    virtual void text(const QString& text) = 0;

    virtual QPointF currentPosition() const = 0;
    // Height of one line of text in the current font, in twips.
    virtual double lineHeight() const = 0;
    // Width of the text in the current font, in twips: how far it reaches
    // to the right of its position.
    virtual double textWidth(const QString& text) const = 0;
};

// Twips kept clear between neighbouring texts so they read apart.
inline constexpr double kTextGap = 60;

// For texts about to be drawn in the current font (family, points, bold):
// when the widest is wider than `room` twips, sets the same font smaller until
// every one fits. Returns the size the font has now, `points` when they fit.
double shrinkFontToFit(Canvas& canvas, const QString& family, double points, bool bold,
                       const QStringList& texts, double room);

// Draws the text at `at` in the current font (family, points, bold), smaller
// where it would come nearer than kTextGap to `nextX`, the place of whatever
// stands to its right; the font is as before afterwards.
void drawFittingText(Canvas& canvas, const QString& family, double points, bool bold, QPointF at,
                     const QString& text, double nextX);

// One recorded drawing operation.
struct CanvasOperation {
    enum class Kind { Clear, Font, LineWidth, Line, LineTo, Rectangle, MoveTo, Text };

    Kind kind = Kind::Clear;
    QPointF from;        // Line, LineTo, Rectangle: first point; MoveTo, Text: the position
    QPointF to;          // Line, LineTo, Rectangle: second point
    CanvasColour colour; // Line, LineTo, Rectangle
    QString text;        // Text: the text; Font: the family
    double size = 0;     // Font: points; LineWidth: the width
    bool bold = false;   // Font

    bool operator==(const CanvasOperation&) const = default;
};

// Keeps the operations drawn on it. The screen's drawing areas keep their
// picture this way and replay it when they are painted; tests read it back.
// Clearing discards everything drawn before, keeping the font and line width.
class RecordingCanvas : public Canvas {
public:
    void clear() override;
    void setFont(const QString& family, double points, bool bold = false) override;
    void setLineWidth(double width) override;
    void line(QPointF from, QPointF to, CanvasColour colour) override;
    void lineTo(QPointF to, CanvasColour colour) override;
    void rectangle(QPointF topLeft, QPointF bottomRight, CanvasColour colour) override;
    void moveTo(QPointF position) override;
    void text(const QString& text) override;

    QPointF currentPosition() const override { return position_; }
    // A nominal line height: the font's size in twips (20 twips a point).
    double lineHeight() const override { return fontPoints_ * 20.0; }
    // Measured with the font's own metrics on a device whose dots are
    // twips, so the pictures recorded for the screen are laid out as the
    // printer lays out the same drawing.
    double textWidth(const QString& text) const override;

    const std::vector<CanvasOperation>& operations() const { return operations_; }
    // Everything recorded, drawn again on another canvas.
    void replay(Canvas& target) const;
    // Forgets everything, as a canvas that was never drawn on.
    void reset();

private:
    void recordFont();
    void recordLineWidth();
    void recordLine(CanvasOperation::Kind kind, QPointF from, QPointF to, CanvasColour colour);

    std::vector<CanvasOperation> operations_;
    QPointF position_;
    QString fontFamily_;
    double fontPoints_ = 0;
    bool fontBold_ = false;
    double lineWidth_ = 1;
    bool lineWidthSet_ = false;
};

// Draws with a QPainter on any paint device (widget, image, printer), scaling
// twips to device pixels by the device's logical resolution.
class PainterCanvas : public Canvas {
public:
    // windowText: the palette's window-text colour on screen, black on paper.
    // background: what clear() fills the device with.
    PainterCanvas(QPainter& painter, QColor windowText = Qt::black, QColor background = Qt::white);

    void clear() override;
    void setFont(const QString& family, double points, bool bold = false) override;
    void setLineWidth(double width) override;
    void line(QPointF from, QPointF to, CanvasColour colour) override;
    void lineTo(QPointF to, CanvasColour colour) override;
    void rectangle(QPointF topLeft, QPointF bottomRight, CanvasColour colour) override;
    void moveTo(QPointF position) override;
    void text(const QString& text) override;

    QPointF currentPosition() const override { return position_; }
    double lineHeight() const override;
    double textWidth(const QString& text) const override;

private:
    QPointF toDevice(QPointF twips) const;
    void usePen(CanvasColour colour);

    QPainter& painter_;
    QColor windowText_;
    QColor background_;
    double dpiX_;
    double dpiY_;
    double lineWidth_ = 1;
    QPointF position_;
};

} // namespace norvanta
