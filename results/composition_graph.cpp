#include "composition_graph.h"

#include "fonts.h"

#include <QPointF>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

constexpr double kGraphFontPoints = 9;
constexpr double kSpan = 800; // degrees from the first to the last point
constexpr double kCelsiusOffset = 273.15;
// The line labels: their height and the margin between the box and the text.
constexpr double kLabelHeight = 190;
constexpr double kLeaderLength = 100;
constexpr double kLabelGap = 20;

// Line colours, taken in turn by the drawn species; graphite is drawn in the
// window-text colour.
constexpr std::array<CanvasColour, 10> kLineColours = {
    CanvasColour::fixed(0, 0, 255),   CanvasColour::fixed(220, 0, 0),
    CanvasColour::fixed(0, 140, 0),   CanvasColour::fixed(200, 0, 200),
    CanvasColour::fixed(230, 120, 0), CanvasColour::fixed(0, 150, 150),
    CanvasColour::fixed(130, 70, 0),  CanvasColour::fixed(100, 0, 170),
    CanvasColour::fixed(130, 130, 0), CanvasColour::fixed(110, 110, 110),
};

void drawText(Canvas& canvas, QPointF at, const QString& text)
{
    canvas.moveTo(at);
    canvas.text(text);
}

// How values map to the box: linear from 0 to `top`, or by decades from
// 1e-6 to `top`.
struct ValueScale {
    bool logarithmic = true;
    double top = 1;

    double bottom() const { return logarithmic ? kLogAxisBottom : 0; }
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

// Fractions stay within 1; graphite per mole of feed may go beyond it, and
// then the axis reaches the next whole number (the next decade when logarithmic).
ValueScale valueScale(const std::vector<CompositionPoint>& series, bool graphite, bool logarithmic)
{
    double most = 1;
    if (graphite) {
        for (const CompositionPoint& point : series) {
            if (std::isfinite(point.graphite))
                most = std::max(most, point.graphite);
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
std::optional<LineEnd> drawLine(Canvas& canvas, const GraphPlacement& placement,
                                const std::vector<CompositionPoint>& series, TemperatureUnit unit,
                                const ValueScale& scale, CanvasColour colour, Value value)
{
    if (series.empty())
        return std::nullopt;
    const double first = shownTemperature(series.front(), unit);
    bool penDown = false;
    std::optional<LineEnd> last;
    for (const CompositionPoint& point : series) {
        const double share = scale.share(value(point));
        if (std::isnan(share)) {
            penDown = false;
            if (last)
                last->atLastPoint = false;
            continue;
        }
        const QPointF p(placement.x0 +
                            (shownTemperature(point, unit) - first) * placement.width / kSpan,
                        placement.y0 + placement.height * (1 - share));
        if (!penDown)
            canvas.moveTo(p);
        penDown = true;
        canvas.lineTo(p, colour);
        last = LineEnd{p, true};
    }
    return last;
}

// Labels of the lines that reach the last temperature go in the right
// margin, in the order of the lines' ends, pushed apart so that no two
// overprint and none goes below the box; a line that ends earlier is
// labelled where it ends, inside the box.
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
    // Kept clear of the last temperature label below the box's corner.
    double lowest = placement.y0 + placement.height - kLabelHeight / 2;
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

} // namespace

const std::vector<CompositionPoint>& compositionSeries(const CompositionTable& table,
                                                       TemperatureUnit unit)
{
    return unit == TemperatureUnit::Kelvin ? table.kelvin : table.celsius;
}

double shownTemperature(const CompositionPoint& point, TemperatureUnit unit)
{
    return unit == TemperatureUnit::Kelvin ? point.kelvin : point.kelvin - kCelsiusOffset;
}

std::vector<int> drawnSpecies(const CompositionTable& table, TemperatureUnit unit)
{
    std::vector<int> drawn;
    const auto& series = compositionSeries(table, unit);
    for (int s = 0; s < table.species.size(); ++s) {
        const bool reaches = std::any_of(series.begin(), series.end(), [s](const auto& point) {
            return size_t(s) < point.moleFractions.size() &&
                   point.moleFractions[size_t(s)] >= kDrawnFraction;
        });
        if (reaches)
            drawn.push_back(s);
    }
    return drawn;
}

GraphPlacement compositionPlacement()
{
    GraphPlacement placement;
    placement.x0 = 650;
    placement.y0 = 300;
    placement.width = 6800;
    placement.height = 3400;
    placement.temperatureTitle = {3650, 3980};
    placement.valueTitle = {650, 50};
    placement.temperatureLabelY = 3760;
    placement.temperatureLabelDx = -125;
    placement.valueLabelX = 150;
    placement.valueLabelDy = -100;
    return placement;
}

void DrawCompositionGraph(Canvas& canvas, const CompositionGraphInputs& inputs,
                          const GraphPlacement& placement)
{
    const auto& series = compositionSeries(inputs.table, inputs.temperatureUnit);
    const bool kelvin = inputs.temperatureUnit == TemperatureUnit::Kelvin;

    canvas.setFont(kGothicFont, kGraphFontPoints);
    if (placement.clearsArea)
        canvas.clear();
    drawText(canvas, placement.temperatureTitle,
             kelvin ? placement.kelvinTitle : placement.celsiusTitle);
    drawText(canvas, placement.valueTitle,
             inputs.table.graphite ? u"モル分率 (C(gr): 原料1mol当たりのmol)"_s : u"モル分率"_s);
    DrawPlotFrame(canvas, placement);

    const ValueScale scale = valueScale(series, inputs.table.graphite, inputs.logarithmic);
    drawValueAxis(canvas, placement, scale);

    for (int k = 0; k <= 8; ++k) {
        const int temperature = (kelvin ? 300 : 0) + 100 * k;
        drawText(canvas,
                 {placement.x0 + k * placement.width / 8 + placement.temperatureLabelDx,
                  placement.temperatureLabelY},
                 QString::number(temperature).leftJustified(3, u' '));
    }

    if (placement.setsLineWidths)
        canvas.setLineWidth(2);
    std::vector<LineLabel> labels;
    std::vector<LineLabel> inside;
    const auto keepLabel = [&](const QString& text, CanvasColour colour,
                               const std::optional<LineEnd>& end) {
        if (end)
            (end->atLastPoint ? labels : inside).push_back({text, colour, end->point});
    };
    const std::vector<int> drawn = drawnSpecies(inputs.table, inputs.temperatureUnit);
    for (size_t k = 0; k < drawn.size(); ++k) {
        const size_t s = size_t(drawn[k]);
        const CanvasColour colour = kLineColours[k % kLineColours.size()];
        const auto end = drawLine(canvas, placement, series, inputs.temperatureUnit, scale, colour,
                                  [s](const CompositionPoint& p) { return p.moleFractions[s]; });
        keepLabel(inputs.table.species[int(s)], colour, end);
    }
    if (inputs.table.graphite) {
        const auto end =
            drawLine(canvas, placement, series, inputs.temperatureUnit, scale, kWindowText,
                     [](const CompositionPoint& p) { return p.graphite; });
        keepLabel(u"C(gr)"_s, kWindowText, end);
    }
    if (placement.setsLineWidths)
        canvas.setLineWidth(1);
    drawLabels(canvas, placement, std::move(labels), inside);
}

} // namespace norvanta
