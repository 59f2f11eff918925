#include "composition_graph.h"

#include "fonts.h"

#include "common/number_text.h"

#include <QPointF>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

constexpr double kGraphFontPoints = 9;
// The line labels: their height and the margin between the box and the text.
constexpr double kLabelHeight = 190;
constexpr double kLeaderLength = 100;
constexpr double kLabelGap = 20;
// The legend of the pressures: the length of its line samples.
constexpr double kLegendSample = 360;
// Half the size of the cross that marks a single point.
constexpr double kMarker = 60;
// At most this many temperature intervals between labels.
constexpr double kTemperatureIntervals = 8;

// Line colours, taken in turn by the drawn species; condensed phases are
// drawn in the window-text colour.
constexpr std::array<CanvasColour, 10> kLineColours = {
    CanvasColour::fixed(0, 0, 255),   CanvasColour::fixed(220, 0, 0),
    CanvasColour::fixed(0, 140, 0),   CanvasColour::fixed(200, 0, 200),
    CanvasColour::fixed(230, 120, 0), CanvasColour::fixed(0, 150, 150),
    CanvasColour::fixed(130, 70, 0),  CanvasColour::fixed(100, 0, 170),
    CanvasColour::fixed(130, 130, 0), CanvasColour::fixed(110, 110, 110),
};

// Dash patterns of the series after the first (drawn, gap, drawn, ... in
// twips): dashes, dots, dash-dot, long dashes, taken in turn.
constexpr std::array<double, 2> kDashes = {150, 70};
constexpr std::array<double, 2> kDots = {30, 60};
constexpr std::array<double, 4> kDashDot = {150, 60, 30, 60};
constexpr std::array<double, 2> kLongDashes = {300, 80};
const std::array<std::span<const double>, 4> kDashPatterns = {kDashes, kDots, kDashDot,
                                                              kLongDashes};

void drawText(Canvas& canvas, QPointF at, const QString& text)
{
    canvas.moveTo(at);
    canvas.text(text);
}

// Draws a polyline piece by piece: solid through the current position, or
// dashed as separate lines so that every device, the recording included,
// shows the same dashes.
class LinePen {
public:
    LinePen(Canvas& canvas, CanvasColour colour, size_t series)
        : canvas_(canvas), colour_(colour),
          pattern_(series == 0 ? std::span<const double>()
                               : kDashPatterns[(series - 1) % kDashPatterns.size()])
    {
        if (!pattern_.empty())
            left_ = pattern_[0];
    }

    void moveTo(QPointF p)
    {
        at_ = p;
        if (pattern_.empty())
            canvas_.moveTo(p);
    }

    void lineTo(QPointF p)
    {
        if (pattern_.empty()) {
            canvas_.lineTo(p, colour_);
        } else {
            dashTo(p);
        }
        at_ = p;
    }

private:
    void dashTo(QPointF to)
    {
        const QPointF d = to - at_;
        const double length = std::hypot(d.x(), d.y());
        double done = 0;
        while (length - done > 1e-9) {
            const double piece = std::min(left_, length - done);
            if (part_ % 2 == 0) {
                canvas_.line(at_ + d * (done / length), at_ + d * ((done + piece) / length),
                             colour_);
            }
            done += piece;
            left_ -= piece;
            if (left_ <= 1e-9) {
                part_ = (part_ + 1) % pattern_.size();
                left_ = pattern_[part_];
            }
        }
    }

    Canvas& canvas_;
    CanvasColour colour_;
    std::span<const double> pattern_;
    size_t part_ = 0;
    double left_ = 0;
    QPointF at_;
};

// How values map to the box: linear from 0 to `top`, or by decades from
// 1e-6 to `top`.
struct ValueScale {
    bool logarithmic = true;
    double top = 1;

    // Height above the bottom as a share of the box, or NaN when the value
    // lies below the axis (the line breaks there).
    double share(double value) const
    {
        if (!std::isfinite(value))
            return NAN;
        if (!logarithmic)
            return value / top;
        if (value < kLogAxisBottom)
            return NAN;
        return std::log10(value / kLogAxisBottom) / std::log10(top / kLogAxisBottom);
    }
};

// Fractions stay within 1; a condensed phase per mole of feed may go beyond it, and
// then the axis reaches the next whole number (the next decade when logarithmic).
ValueScale valueScale(const CompositionView& view, bool logarithmic)
{
    double most = 1;
    for (const ShownSeries& series : view.series) {
        for (const CompositionPoint& point : series.points) {
            for (const double moles : point.condensedMoles) {
                if (std::isfinite(moles))
                    most = std::max(most, moles);
            }
        }
    }
    const double top = logarithmic ? std::pow(10.0, std::ceil(std::log10(most))) : std::ceil(most);
    return {logarithmic, top};
}

QString valueLabel(double value, bool logarithmic)
{
    if (!logarithmic || value >= 1)
        return QString::number(value, 'g', 6);
    return u"1E"_s + QString::number(std::lround(std::log10(value)));
}

// The grid lines and labels of the value axis: fifths of a linear axis,
// every decade of a logarithmic one.
void drawValueAxis(Canvas& canvas, const GraphPlacement& placement, const ValueScale& scale)
{
    if (placement.setsLineWidths)
        canvas.setLineWidth(1);
    std::vector<double> ticks;
    if (scale.logarithmic) {
        const long first = std::lround(std::log10(kLogAxisBottom));
        const long last = std::lround(std::log10(scale.top));
        for (long decade = first; decade <= last; ++decade)
            ticks.push_back(std::pow(10.0, double(decade)));
    } else {
        for (int k = 0; k <= 5; ++k)
            ticks.push_back(scale.top * k / 5);
    }
    for (size_t k = 0; k < ticks.size(); ++k) {
        const double y = placement.y0 + placement.height * (1 - scale.share(ticks[k]));
        if (k > 0 && k + 1 < ticks.size())
            canvas.line({placement.x0, y}, {placement.x0 + placement.width, y}, kWindowText);
        drawText(canvas, {placement.valueLabelX, y + placement.valueLabelDy},
                 valueLabel(ticks[k], scale.logarithmic));
    }
}

// How temperatures map to the box: from the lowest to the highest shown
// point, labelled every `step` degrees.
struct TemperatureScale {
    double first = 0;
    double last = 1;
    double step = 100;

    double x(const GraphPlacement& placement, double temperature) const
    {
        return placement.x0 + (temperature - first) * placement.width / (last - first);
    }
};

// A step of 1, 2, 2.5 or 5 times a power of ten giving at most eight intervals.
double temperatureStep(double span)
{
    const double rough = span / kTemperatureIntervals;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0}) {
        if (factor * decade >= rough * (1 - 1e-9))
            return factor * decade;
    }
    return 10 * decade;
}

TemperatureScale temperatureScale(const CompositionView& view)
{
    double first = INFINITY;
    double last = -INFINITY;
    for (const ShownSeries& series : view.series) {
        for (const CompositionPoint& point : series.points) {
            first = std::min(first, shownTemperature(point, view.unit));
            last = std::max(last, shownTemperature(point, view.unit));
        }
    }
    if (!std::isfinite(first))
        return {};
    // A single temperature (an adiabatic point) stands in the middle.
    if (last - first < 1) {
        first -= 50;
        last += 50;
    }
    return {first, last, temperatureStep(last - first)};
}

// The vertical grid at the labelled temperatures, the frame, and the labels.
void drawTemperatureAxis(Canvas& canvas, const GraphPlacement& placement,
                         const TemperatureScale& scale)
{
    if (placement.setsLineWidths)
        canvas.setLineWidth(1);
    const double firstTick = std::ceil(scale.first / scale.step - 1e-9) * scale.step;
    for (double t = firstTick; t <= scale.last + 1e-9 * scale.step; t += scale.step) {
        const double x = scale.x(placement, t);
        canvas.line({x, placement.y0}, {x, placement.y0 + placement.height}, kWindowText);
        // Centred on its grid line, so that the first label keeps clear of
        // the lowest value label and the last of the line labels.
        const QString label = generalNumberText(t);
        drawText(canvas, {x - canvas.textWidth(label) / 2, placement.temperatureLabelY}, label);
    }
    if (placement.setsLineWidths)
        canvas.setLineWidth(2);
    canvas.rectangle({placement.x0, placement.y0},
                     {placement.x0 + placement.width, placement.y0 + placement.height},
                     kWindowText);
}

struct LineLabel {
    QString text;
    CanvasColour colour;
    QPointF end; // the line's last drawn point
    double y = 0;
};

// Where a drawn line ends.
struct LineEnd {
    QPointF point;
    bool atLastPoint = false; // reaches the last temperature
};

// Draws one line through the series' points, broken where a value lies
// below the axis; empty when nothing of it was drawn.
template <typename Value>
std::optional<LineEnd> drawLine(LinePen& pen, const GraphPlacement& placement,
                                const std::vector<CompositionPoint>& points, TemperatureUnit unit,
                                const TemperatureScale& temperatures, const ValueScale& scale,
                                Value value)
{
    bool penDown = false;
    std::optional<LineEnd> last;
    for (const CompositionPoint& point : points) {
        const double share = scale.share(value(point));
        if (std::isnan(share)) {
            penDown = false;
            if (last)
                last->atLastPoint = false;
            continue;
        }
        const QPointF p(temperatures.x(placement, shownTemperature(point, unit)),
                        placement.y0 + placement.height * (1 - share));
        if (!penDown)
            pen.moveTo(p);
        penDown = true;
        pen.lineTo(p);
        last = LineEnd{p, true};
    }
    // A line of one point (an adiabatic one) shows as a cross.
    if (last && points.size() == 1) {
        pen.moveTo(last->point - QPointF(kMarker, kMarker));
        pen.lineTo(last->point + QPointF(kMarker, kMarker));
        pen.moveTo(last->point + QPointF(-kMarker, kMarker));
        pen.lineTo(last->point + QPointF(kMarker, -kMarker));
    }
    return last;
}

// Labels of the lines that reach the last temperature go in the right
// margin, in the order of the lines' ends, pushed apart so that no two
// overprint, none goes below the box and none reaches down to the
// temperature labels; a line that ends earlier is labelled where it ends,
// inside the box.
void drawLabels(Canvas& canvas, const GraphPlacement& placement, std::vector<LineLabel> labels,
                const std::vector<LineLabel>& inside)
{
    for (const LineLabel& label : inside)
        drawText(canvas, {label.end.x() + kLabelGap, label.end.y() - kLabelHeight}, label.text);

    std::sort(labels.begin(), labels.end(),
              [](const LineLabel& a, const LineLabel& b) { return a.end.y() < b.end.y(); });
    double next = placement.y0 - kLabelHeight / 2;
    for (LineLabel& label : labels) {
        label.y = std::max(label.end.y() - kLabelHeight / 2, next);
        next = label.y + kLabelHeight;
    }
    // The last temperature label stands below the box's corner, reaching
    // into the labels' column: the lowest label ends above it.
    double lowest = std::min(placement.y0 + placement.height - kLabelHeight / 2,
                             placement.temperatureLabelY - kLabelHeight);
    for (auto it = labels.rbegin(); it != labels.rend(); ++it) {
        it->y = std::min(it->y, lowest);
        lowest = it->y - kLabelHeight;
    }
    const double right = placement.x0 + placement.width;
    for (const LineLabel& label : labels) {
        canvas.moveTo(label.end);
        canvas.lineTo({right + kLeaderLength, label.y + kLabelHeight / 2}, label.colour);
        drawText(canvas, {right + kLeaderLength + kLabelGap, label.y}, label.text);
    }
}

// Above the box's right end: a line sample and the pressure of each series.
void drawLegend(Canvas& canvas, const GraphPlacement& placement, const CompositionView& view)
{
    if (view.series.size() < 2)
        return;
    double x = placement.x0 + placement.width;
    const double y = placement.valueTitle.y();
    for (size_t k = view.series.size(); k-- > 0;) {
        const QString text = pressuresText({view.series[k].pressure});
        x -= canvas.textWidth(text);
        drawText(canvas, {x, y}, text);
        x -= kLabelGap + kLegendSample;
        LinePen pen(canvas, kWindowText, k);
        pen.moveTo({x, y + kLabelHeight / 2});
        pen.lineTo({x + kLegendSample, y + kLabelHeight / 2});
        x -= 3 * kTextGap;
    }
}

} // namespace

std::vector<int> drawnSpecies(const CompositionView& view)
{
    std::vector<int> drawn;
    for (const int s : listedSpecies(view, kDrawnFraction).shown)
        drawn.push_back(s);
    return drawn;
}

GraphPlacement compositionPlacement()
{
    GraphPlacement placement;
    placement.x0 = 650;
    placement.y0 = 300;
    placement.width = 8300;
    placement.height = 3400;
    placement.temperatureTitle = {4400, 3980};
    placement.valueTitle = {650, 50};
    placement.temperatureLabelY = 3760;
    placement.valueLabelX = 150;
    placement.valueLabelDy = -100;
    return placement;
}

void DrawCompositionGraph(Canvas& canvas, const CompositionGraphInputs& inputs,
                          const GraphPlacement& placement)
{
    const CompositionView& view = inputs.view;
    const bool kelvin = view.unit == TemperatureUnit::Kelvin;

    canvas.setFont(kGothicFont, kGraphFontPoints);
    if (placement.clearsArea)
        canvas.clear();
    drawText(canvas, placement.temperatureTitle,
             kelvin ? placement.kelvinTitle : placement.celsiusTitle);
    drawText(canvas, placement.valueTitle,
             view.condensed.isEmpty()
                 ? u"モル分率"_s
                 : u"モル分率 ("_s + view.condensed.join(u", "_s) + u": 原料1mol当たりのmol)"_s);

    const TemperatureScale temperatures = temperatureScale(view);
    drawTemperatureAxis(canvas, placement, temperatures);
    const ValueScale scale = valueScale(view, inputs.logarithmic);
    drawValueAxis(canvas, placement, scale);
    drawLegend(canvas, placement, view);

    if (placement.setsLineWidths)
        canvas.setLineWidth(2);
    std::vector<LineLabel> labels;
    std::vector<LineLabel> inside;
    const std::vector<int> drawn = drawnSpecies(view);
    for (size_t k = 0; k < view.series.size(); ++k) {
        const std::vector<CompositionPoint>& points = view.series[k].points;
        // The first series' lines carry the labels; the legend tells the others.
        const auto keepLabel = [&](const QString& text, CanvasColour colour,
                                   const std::optional<LineEnd>& end) {
            if (end && k == 0)
                (end->atLastPoint ? labels : inside).push_back({text, colour, end->point});
        };
        for (size_t rank = 0; rank < drawn.size(); ++rank) {
            const size_t s = size_t(drawn[rank]);
            const CanvasColour colour = kLineColours[rank % kLineColours.size()];
            LinePen pen(canvas, colour, k);
            const auto end =
                drawLine(pen, placement, points, view.unit, temperatures, scale,
                         [s](const CompositionPoint& p) {
                             return s < p.moleFractions.size() ? p.moleFractions[s] : NAN;
                         });
            keepLabel(view.species[int(s)], colour, end);
        }
        for (qsizetype c = 0; c < view.condensed.size(); ++c) {
            LinePen pen(canvas, kWindowText, k);
            const auto end = drawLine(pen, placement, points, view.unit, temperatures, scale,
                                      [c](const CompositionPoint& p) {
                                          return size_t(c) < p.condensedMoles.size()
                                                     ? p.condensedMoles[size_t(c)]
                                                     : NAN;
                                      });
            keepLabel(view.condensed[c], kWindowText, end);
        }
    }
    if (placement.setsLineWidths)
        canvas.setLineWidth(1);
    drawLabels(canvas, placement, std::move(labels), inside);
}

} // namespace norvanta
