#include "results_graph.h"

#include "fonts.h"

#include "common/number_text.h"

#include <QStringList>

#include <cmath>

namespace norvanta {

namespace {

constexpr int kLastPoint = ResultTable::kPoints - 1; // the axis spans points 0..32
constexpr double kGraphFontPoints = 9;

// Enough for every tick of a range with at most 11 steps plus the two ends;
// only reached when the range is too large for its digits to be exact.
constexpr int kMaxTicks = 64;

const ResultPoint& pointOf(const GraphInputs& inputs, int i)
{
    const auto& series = inputs.temperatureUnit == TemperatureUnit::Kelvin ? inputs.table.kelvin
                                                                           : inputs.table.celsius;
    return series[size_t(i)];
}

int temperatureOf(TemperatureUnit unit, int i)
{
    return unit == TemperatureUnit::Kelvin ? ResultTable::kelvinTemperature(i)
                                           : ResultTable::celsiusTemperatureC(i);
}

QString padded(const QString& text, int width)
{
    return text.leftJustified(width, u' ');
}

void drawText(Canvas& canvas, QPointF at, const QString& text)
{
    canvas.moveTo(at);
    canvas.text(text);
}

} // namespace

QString valueAxisTitle(int plotMode, EnergyUnit energyUnit)
{
    switch (plotMode) {
    case 0:
        return energyUnit == EnergyUnit::KJ ? QStringLiteral("dG / kJ (制限化合物1mol当たり)")
                                            : QStringLiteral("dG / kcal (制限化合物1mol当たり)");
    case 1:
        return QStringLiteral("log(Kp)");
    case 2:
        return QStringLiteral("制限化合物の転化率(%)");
    default:
        return {};
    }
}

double plottedValue(const GraphInputs& inputs, int i)
{
    const ResultPoint& point = pointOf(inputs, i);
    if (!point.computed)
        return NAN;
    switch (inputs.plotMode) {
    case 0:
        return inputs.energyUnit == EnergyUnit::KJ ? point.dG * inputs.caltoj : point.dG;
    case 1:
        return point.kp > 0 ? std::log10(point.kp) : NAN;
    case 2:
        return 100.0 * point.conversion;
    default:
        return NAN;
    }
}

std::optional<ValueRange> graphRange(const GraphInputs& inputs)
{
    if (inputs.plotMode < 0 || inputs.plotMode > 2)
        return std::nullopt;

    double max = -9e99;
    double min = 9e99;
    bool any = false;
    for (int i = 0; i <= kLastPoint; i += sampleStride(inputs.tetraPrecision)) {
        const double v = plottedValue(inputs, i);
        if (!std::isfinite(v))
            continue;
        any = true;
        if (v < min)
            min = v;
        if (v > max)
            max = v;
    }
    if (!any)
        return std::nullopt;
    if (inputs.plotMode == 2)
        return ValueRange{0, 100};

    if (max - min < 1)
        max = min + 1;
    ValueRange range{10 * std::floor((min - 10) / 10), 10 * std::floor((max + 10) / 10)};
    if (range.ymax - range.ymin < 10)
        range.ymax = range.ymin + 10;
    // Values near the end of the double range leave no scale to draw with.
    if (!std::isfinite(range.ymax - range.ymin))
        return std::nullopt;
    // kJ values span about four times the kcal ones, where the tick step is
    // 20 or 50 rather than the 10 the ends are rounded to: the ends go out to
    // whole steps, so that they fall on the grid as the kcal axis's do.
    if (inputs.plotMode == 0 && inputs.energyUnit == EnergyUnit::KJ) {
        for (int widening = 0; widening < 8; ++widening) {
            const double step = tickStep(range.ymax - range.ymin);
            const ValueRange whole{step * std::floor(range.ymin / step),
                                   step * std::ceil(range.ymax / step)};
            if (!(step > 0) || !std::isfinite(whole.ymax - whole.ymin) ||
                (whole.ymin == range.ymin && whole.ymax == range.ymax))
                break;
            range = whole;
        }
    }
    return range;
}

double tickStep(double r)
{
    if (!std::isfinite(r))
        return 0;
    struct Row {
        double divisor;
        double below;
        double step;
    };
    static constexpr Row rows[] = {
        {10000, 11, 10000}, {10000, 6, 5000}, {10000, 3, 2000}, {1000, 11, 1000}, {1000, 6, 500},
        {1000, 3, 200},     {100, 11, 100},   {100, 6, 50},     {100, 3, 20},     {10, 11, 10},
        {10, 6, 5},         {10, 3, 2},       {1, 11, 1},
    };
    double step = 0;
    for (const Row& row : rows) {
        if (r / row.divisor < row.below)
            step = row.step;
    }
    if (step == 0) {
        // 110000 and more: 10000 times the power of ten that keeps r / step below 11.
        step = 10000;
        for (int guard = 0; r / step >= 11 && guard < 400; ++guard)
            step *= 10;
    }
    return step;
}

void DrawValueAxis(Canvas& canvas, const GraphPlacement& placement, double x0, double y0,
                   double width, double height, double ymin, double ymax)
{
    if (placement.setsLineWidths)
        canvas.setLineWidth(1);
    const double r = ymax - ymin;
    const double step = tickStep(r);
    const double labelHeight = canvas.lineHeight();

    // The ticks are the multiples of the step strictly inside the range,
    // counted from 0 so that the zero line is exactly 0.
    if (step > 0 && r > 0) {
        const double first = std::floor(ymin / step);
        const double count = std::ceil(ymax / step) - first;
        for (int k = 0; k <= count && k < kMaxTicks; ++k) {
            const double v = (first + k) * step;
            const double yrel = height - (v - ymin) * height / r;
            if (!(yrel > 0 && yrel < height))
                continue;
            const QPointF left(x0, y0 + yrel);
            canvas.line(left, {x0 + width, y0 + yrel},
                        v == 0 ? placement.zeroLineColour : kWindowText);
            // The ymax and ymin labels stand at the box's edges; a tick label
            // closer to one than a line of text would print over it.
            if (yrel < labelHeight || height - yrel < labelHeight)
                continue;
            drawText(canvas, {placement.valueLabelX, y0 + yrel + placement.valueLabelDy},
                     padded(generalNumberText(std::floor(v)), 5));
        }
    }

    drawText(canvas, {placement.valueLabelX, y0 + placement.valueLabelDy},
             padded(generalNumberText(ymax), 5));
    drawText(canvas, {placement.valueLabelX, y0 + height + placement.valueLabelDy},
             padded(generalNumberText(ymin), 5));
}

void DrawPlotFrame(Canvas& canvas, const GraphPlacement& placement)
{
    const double x0 = placement.x0;
    const double y0 = placement.y0;
    const double w = placement.width;
    const double h = placement.height;

    // Vertical grid every eighth of the width, rounded to whole twips.
    if (placement.setsLineWidths)
        canvas.setLineWidth(1);
    const double d = std::nearbyint(w / 8);
    if (d > 0) {
        for (double m = 0; m <= w; m += d)
            canvas.line({x0 + m, y0}, {x0 + m, y0 + h}, kWindowText);
    }

    if (placement.setsLineWidths)
        canvas.setLineWidth(2);
    canvas.rectangle({x0, y0}, {x0 + w, y0 + h}, kWindowText);
}

void DrawResultGraph(Canvas& canvas, const GraphInputs& inputs, const GraphPlacement& placement)
{
    const double x0 = placement.x0;
    const double y0 = placement.y0;
    const double w = placement.width;
    const double h = placement.height;

    canvas.setFont(kGothicFont, kGraphFontPoints);
    if (placement.clearsArea)
        canvas.clear();

    drawText(canvas, placement.temperatureTitle,
             inputs.temperatureUnit == TemperatureUnit::Kelvin ? placement.kelvinTitle
                                                               : placement.celsiusTitle);
    if (inputs.plotMode < 0 || inputs.plotMode > 2)
        return;

    const std::optional<ValueRange> range = graphRange(inputs);
    drawText(canvas, placement.valueTitle, valueAxisTitle(inputs.plotMode, inputs.energyUnit));

    DrawPlotFrame(canvas, placement);

    const double xscale = w / kLastPoint;
    if (range) {
        const double yscale = h / (range->ymax - range->ymin);
        // A point with nothing to plot breaks the polyline; the next usable
        // point starts a new piece with a zero-length segment, as the first does.
        bool penDown = false;
        for (int i = 0; i <= kLastPoint; i += sampleStride(inputs.tetraPrecision)) {
            const double v = plottedValue(inputs, i);
            if (!std::isfinite(v)) {
                penDown = false;
                continue;
            }
            const QPointF p(x0 + i * xscale, y0 + h - (v - range->ymin) * yscale);
            if (!penDown)
                canvas.moveTo(p);
            penDown = true;
            canvas.lineTo(p, placement.curveColour);
        }
    }

    // Four-digit temperatures are wider than the labels' spacing at the
    // graph's font: the whole row is drawn smaller, so they stay apart and
    // alike while keeping their places.
    QStringList temperatureLabels;
    for (int i = 0; i <= kLastPoint; i += 4)
        temperatureLabels << padded(QString::number(temperatureOf(inputs.temperatureUnit, i)), 3);
    const double labelPoints = shrinkFontToFit(canvas, kGothicFont, kGraphFontPoints, false,
                                               temperatureLabels, 4 * xscale - kTextGap);
    for (int i = 0; i <= kLastPoint; i += 4) {
        drawText(canvas,
                 {x0 + i * xscale + placement.temperatureLabelDx, placement.temperatureLabelY},
                 temperatureLabels[i / 4]);
    }
    if (labelPoints != kGraphFontPoints)
        canvas.setFont(kGothicFont, kGraphFontPoints);

    if (range)
        DrawValueAxis(canvas, placement, x0, y0, w, h, range->ymin, range->ymax);
}

} // namespace norvanta
