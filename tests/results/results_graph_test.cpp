#include "canvas_queries.h"

#include "results/results_graph.h"

#include <QRectF>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace norvanta;
using namespace norvanta::test;
using namespace Qt::StringLiterals;

namespace {

// Both series computed, point i from the given function.
ResultTable tableOf(const std::function<ResultPoint(int)>& point)
{
    ResultTable table;
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        table.kelvin[size_t(i)] = point(i);
        table.kelvin[size_t(i)].computed = true;
        table.celsius[size_t(i)] = point(i);
        table.celsius[size_t(i)].computed = true;
    }
    return table;
}

ResultTable dGTable(const std::function<double(int)>& dG)
{
    return tableOf([&](int i) { return ResultPoint{dG(i), 1.0, 0.5, true}; });
}

RecordingCanvas draw(const GraphInputs& inputs,
                     const GraphPlacement& placement = GraphPlacement::screen())
{
    RecordingCanvas canvas;
    DrawResultGraph(canvas, inputs, placement);
    return canvas;
}

// The curve's points, in the order drawn.
std::vector<QPointF> curveOf(const RecordingCanvas& canvas)
{
    std::vector<QPointF> points;
    for (const CanvasOperation& op : operationsOf(canvas, Kind::LineTo))
        points.push_back(op.to);
    return points;
}

// Horizontal lines across the box at screen placement: the value grid.
std::vector<CanvasOperation> valueGridOf(const RecordingCanvas& canvas)
{
    std::vector<CanvasOperation> lines;
    for (const CanvasOperation& op : operationsOf(canvas, Kind::Line)) {
        if (op.from.y() == op.to.y())
            lines.push_back(op);
    }
    return lines;
}

// Tick labels: the value labels other than the ymax and ymin labels.
QStringList tickLabelsOf(const RecordingCanvas& canvas)
{
    QStringList ticks;
    for (const CanvasOperation& op : operationsOf(canvas, Kind::Text)) {
        if (op.from.x() == 200 && op.from.y() != 150 && op.from.y() != 2650)
            ticks << op.text.trimmed();
    }
    return ticks;
}

} // namespace

TEST(ResultGraph, LabelsNeverOverprintEachOther)
{
    // kJ from..to: the ends go out to whole 20 kJ steps (-80 and 160, -120
    // and 140), so every grid line carries its label.
    const std::tuple<TemperatureUnit, double, double, int, size_t> cases[] = {
        {TemperatureUnit::Kelvin, -55, 141, 11, 11}, {TemperatureUnit::Celsius, -98, 138, 12, 12}};
    for (const auto& [unit, from, to, ticks, gridLines] : cases) {
        const ResultTable table =
            dGTable([&](int i) { return (from + (to - from) * i / 32) / 4.184; });
        const RecordingCanvas canvas = draw({table, 0, unit, EnergyUnit::KJ, true, 4.184});
        const auto range = graphRange({table, 0, unit, EnergyUnit::KJ, true, 4.184});
        ASSERT_TRUE(range);
        const double step = tickStep(range->ymax - range->ymin);
        EXPECT_EQ(std::fmod(range->ymin, step), 0);
        EXPECT_EQ(std::fmod(range->ymax, step), 0);
        EXPECT_EQ(tickLabelsOf(canvas).size(), ticks);
        EXPECT_EQ(valueGridOf(canvas).size(), gridLines) << "every grid line stays";
        // What each text covers in the font it was drawn in (trailing blanks leave no ink).
        RecordingCanvas measure;
        std::vector<QRectF> boxes;
        for (const CanvasOperation& op : canvas.operations()) {
            if (op.kind == Kind::Font)
                measure.setFont(op.text, op.size, op.bold);
            if (op.kind == Kind::Text)
                boxes.emplace_back(
                    op.from, QSizeF(measure.textWidth(op.text.trimmed()), measure.lineHeight()));
        }
        // Labels of one axis share their top (a row) or their left edge (a column).
        for (size_t a = 0; a < boxes.size(); ++a) {
            for (size_t b = a + 1; b < boxes.size(); ++b) {
                const bool sameAxis =
                    boxes[a].top() == boxes[b].top() || boxes[a].left() == boxes[b].left();
                EXPECT_FALSE(sameAxis && boxes[a].intersects(boxes[b])) << a << " and " << b;
            }
        }
    }
}

TEST(ResultGraph, RangesTicksAndZeroLine)
{
    const struct {
        const char* name;
        int plotMode;
        std::function<ResultPoint(int)> point;
        double ymin, ymax;
        QStringList ticks; // lowest first
        bool zeroLine;
    } cases[] = {
        {"flat dG at 5",
         0,
         [](int) {
             return ResultPoint{5, 1, 0.5, true};
         },
         -10,
         10,
         {u"-8"_s, u"-6"_s, u"-4"_s, u"-2"_s, u"0"_s, u"2"_s, u"4"_s, u"6"_s, u"8"_s},
         true},
        {"dG -23..37",
         0,
         [](int i) {
             return ResultPoint{-23 + 60.0 * i / 32, 1, 0.5, true};
         },
         -40,
         40,
         {u"-30"_s, u"-20"_s, u"-10"_s, u"0"_s, u"10"_s, u"20"_s, u"30"_s},
         true},
        {"dG 50..80",
         0,
         [](int i) {
             return ResultPoint{50 + 30.0 * i / 32, 1, 0.5, true};
         },
         40,
         90,
         {u"45"_s, u"50"_s, u"55"_s, u"60"_s, u"65"_s, u"70"_s, u"75"_s, u"80"_s, u"85"_s},
         false},
        {"conversion",
         2,
         [](int i) {
             return ResultPoint{0, 1, i / 32.0, true};
         },
         0,
         100,
         {u"10"_s, u"20"_s, u"30"_s, u"40"_s, u"50"_s, u"60"_s, u"70"_s, u"80"_s, u"90"_s},
         false},
        {"log Kp -3..2",
         1,
         [](int i) {
             return ResultPoint{0, std::pow(10.0, -3 + 5.0 * i / 32), 0.5, true};
         },
         -20,
         10,
         {u"-15"_s, u"-10"_s, u"-5"_s, u"0"_s, u"5"_s},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ResultTable table = tableOf(c.point);
        const RecordingCanvas canvas =
            draw({table, c.plotMode, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});

        const auto range =
            graphRange({table, c.plotMode, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});
        ASSERT_TRUE(range);
        EXPECT_EQ(range->ymin, c.ymin);
        EXPECT_EQ(range->ymax, c.ymax);
        EXPECT_EQ(tickLabelsOf(canvas), c.ticks);
        EXPECT_EQ(textAt(canvas, {200, 150}).trimmed(), QString::number(c.ymax));
        EXPECT_EQ(textAt(canvas, {200, 2650}).trimmed(), QString::number(c.ymin));

        // One grid line per tick, each 100 below its label, across the box.
        const auto grid = valueGridOf(canvas);
        ASSERT_EQ(grid.size(), size_t(c.ticks.size()));
        int red = 0;
        for (size_t k = 0; k < grid.size(); ++k) {
            const double v = c.ticks[qsizetype(k)].toDouble();
            const double y = 250 + 2500 * (c.ymax - v) / (c.ymax - c.ymin);
            EXPECT_DOUBLE_EQ(grid[k].from.y(), y) << v;
            EXPECT_EQ(grid[k].from.x(), 650);
            EXPECT_EQ(grid[k].to.x(), 4150);
            EXPECT_EQ(textAt(canvas, {200, y - 100}).trimmed(), c.ticks[qsizetype(k)]);
            EXPECT_EQ(grid[k].colour, v == 0 ? kRed : kWindowText) << v;
            red += grid[k].colour == kRed;
        }
        EXPECT_EQ(red, c.zeroLine ? 1 : 0);
    }
}

TEST(ResultGraph, TickStepTable)
{
    const struct {
        double range;
        double step;
    } cases[] = {
        {5, 1},
        {10, 1},
        {11, 2},
        {20, 2},
        {50, 5},
        {80, 10},
        {100, 10},
        {250, 20},
        {500, 50},
        {1000, 100},
        {2500, 200},
        {5000, 500},
        {10000, 1000},
        {25000, 2000},
        {50000, 5000},
        {109999, 10000},
        {110000, 100000},
        {200000, 100000},
        {1e7, 1e6},
        {1.2e7, 1e7},
        {std::numeric_limits<double>::infinity(), 0},
        {std::nan(""), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tickStep(c.range), c.step) << c.range;
}

TEST(ResultGraph, FrameGridAndCurveGeometry)
{
    const ResultTable table = dGTable([](int) { return 5.0; });
    const RecordingCanvas canvas =
        draw({table, 0, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});

    std::vector<double> gridX;
    for (const CanvasOperation& op : operationsOf(canvas, Kind::Line)) {
        if (op.from.x() == op.to.x()) {
            EXPECT_EQ(op.from.y(), 250);
            EXPECT_EQ(op.to.y(), 2750);
            EXPECT_EQ(op.colour, kWindowText);
            gridX.push_back(op.from.x() - 650);
        }
    }
    EXPECT_EQ(gridX, (std::vector<double>{0, 438, 876, 1314, 1752, 2190, 2628, 3066}));

    const auto frames = operationsOf(canvas, Kind::Rectangle);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].from, QPointF(650, 250));
    EXPECT_EQ(frames[0].to, QPointF(4150, 2750));

    // Widths: 1 for the vertical grid, 2 for frame and curve, 1 for the value grid.
    std::vector<double> widths;
    for (const CanvasOperation& op : operationsOf(canvas, Kind::LineWidth))
        widths.push_back(op.size);
    EXPECT_EQ(widths, (std::vector<double>{1, 2, 1}));

    // Flat at 5 on -10..10: y = 2750 - 15 × 125; the first segment has zero length.
    const auto segments = operationsOf(canvas, Kind::LineTo);
    ASSERT_EQ(segments.size(), 33u);
    EXPECT_EQ(segments[0].from, QPointF(650, 875));
    EXPECT_EQ(segments[0].to, QPointF(650, 875));
    EXPECT_EQ(segments[32].to, QPointF(4150, 875));
    for (const CanvasOperation& op : segments)
        EXPECT_EQ(op.colour, kBlue);
}

TEST(ResultGraph, HundredKelvinStepsUseNinePointsOverTheSameWidth)
{
    // A spike at a point only the 25 K steps sample.
    const ResultTable table = dGTable([](int i) { return i == 1 ? 500.0 : 5.0; });

    const RecordingCanvas fine =
        draw({table, 0, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});
    const RecordingCanvas coarse =
        draw({table, 0, TemperatureUnit::Kelvin, EnergyUnit::Kcal, false, 4.184});

    const auto finePoints = curveOf(fine);
    const auto coarsePoints = curveOf(coarse);
    ASSERT_EQ(finePoints.size(), 33u);
    ASSERT_EQ(coarsePoints.size(), 9u);
    for (size_t k = 0; k < coarsePoints.size(); ++k)
        EXPECT_DOUBLE_EQ(coarsePoints[k].x(), 650 + 4 * k * 109.375);
    EXPECT_EQ(finePoints.back().x(), coarsePoints.back().x());

    EXPECT_EQ(textAt(coarse, {200, 150}).trimmed(), u"10"_s);
    EXPECT_EQ(textAt(fine, {200, 150}).trimmed(), u"510"_s);
}

TEST(ResultGraph, KilojouleCurveIsRescaledAndRanged)
{
    const ResultTable table = dGTable([](int) { return 10.0; });
    const RecordingCanvas kcal =
        draw({table, 0, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});
    const RecordingCanvas kj =
        draw({table, 0, TemperatureUnit::Kelvin, EnergyUnit::KJ, true, 4.184});

    EXPECT_EQ(textAt(kcal, {650, 50}), u"dG / kcal (制限化合物1mol当たり)"_s);
    EXPECT_EQ(textAt(kj, {650, 50}), u"dG / kJ (制限化合物1mol当たり)"_s);

    // kcal: 10 on 0..20. kJ: 41.84 on 30..50.
    EXPECT_EQ(textAt(kcal, {200, 2650}).trimmed(), u"0"_s);
    EXPECT_EQ(textAt(kcal, {200, 150}).trimmed(), u"20"_s);
    EXPECT_EQ(textAt(kj, {200, 2650}).trimmed(), u"30"_s);
    EXPECT_EQ(textAt(kj, {200, 150}).trimmed(), u"50"_s);
    EXPECT_DOUBLE_EQ(curveOf(kcal).front().y(), 2750 - 10 * 125.0);
    EXPECT_DOUBLE_EQ(curveOf(kj).front().y(), 2750 - (41.84 - 30) * 125.0);
}

TEST(ResultGraph, TemperatureTitleAndLabelsFollowTheUnit)
{
    // The Celsius series differs, so the curve shows which series is drawn.
    ResultTable table = dGTable([](int) { return 5.0; });
    for (auto& point : table.celsius)
        point.dG = -50;

    const RecordingCanvas kelvin =
        draw({table, 0, TemperatureUnit::Kelvin, EnergyUnit::Kcal, false, 4.184});
    const RecordingCanvas celsius =
        draw({table, 0, TemperatureUnit::Celsius, EnergyUnit::Kcal, false, 4.184});

    EXPECT_EQ(textAt(kelvin, {2050, 3000}), u"Temp./ K"_s);
    EXPECT_EQ(textAt(celsius, {2050, 3000}), u"Temp./ ﾟC"_s);
    EXPECT_EQ(textsAtY(kelvin, 2800), (QStringList{u"300"_s, u"400"_s, u"500"_s, u"600"_s, u"700"_s,
                                                   u"800"_s, u"900"_s, u"1000"_s, u"1100"_s}));
    EXPECT_EQ(textsAtY(celsius, 2800),
              (QStringList{u"0  "_s, u"100"_s, u"200"_s, u"300"_s, u"400"_s, u"500"_s, u"600"_s,
                           u"700"_s, u"800"_s}));
    EXPECT_EQ(textAt(kelvin, {650 - 125, 2800}), u"300"_s);
    EXPECT_EQ(textAt(celsius, {650 + 4 * 109.375 - 125, 2800}), u"100"_s);
    EXPECT_EQ(textAt(celsius, {200, 2650}).trimmed(), u"-60"_s);
}

TEST(ResultGraph, UnusablePointsBreakTheCurveAndLeaveTheRange)
{
    // Kp of 0 at i = 8 (log10 is -infinity) and a point not computed at i = 20.
    ResultTable table = tableOf([](int) { return ResultPoint{0, 100.0, 0.5, true}; });
    table.kelvin[8].kp = 0;
    table.kelvin[20].computed = false;
    table.kelvin[20].kp = 1e-90;

    const RecordingCanvas canvas =
        draw({table, 1, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});

    EXPECT_EQ(curveOf(canvas).size(), 31u);
    // Three pieces, each starting at the next usable point.
    std::vector<double> starts;
    const auto& ops = canvas.operations();
    for (size_t k = 0; k + 1 < ops.size(); ++k) {
        if (ops[k].kind == Kind::MoveTo && ops[k + 1].kind == Kind::LineTo)
            starts.push_back(ops[k].from.x());
    }
    EXPECT_EQ(starts, (std::vector<double>{650, 650 + 9 * 109.375, 650 + 21 * 109.375}));
    // log10 100 = 2 at every usable point: the flat-curve range -10..10, not down to -90.
    EXPECT_EQ(textAt(canvas, {200, 2650}).trimmed(), u"-10"_s);
    EXPECT_EQ(textAt(canvas, {200, 150}).trimmed(), u"10"_s);
}

TEST(ResultGraph, NothingUsableDrawsFrameGridAndTitlesOnly)
{
    const ResultTable notComputed;
    const ResultTable zeroKp = tableOf([](int) { return ResultPoint{0, 0.0, 0.5, true}; });
    for (const ResultTable* table : {&notComputed, &zeroKp}) {
        const RecordingCanvas canvas =
            draw({*table, 1, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});
        EXPECT_TRUE(curveOf(canvas).empty());
        EXPECT_EQ(operationsOf(canvas, Kind::Rectangle).size(), 1u);
        EXPECT_TRUE(valueGridOf(canvas).empty());
        EXPECT_TRUE(textsAtX(canvas, 200).isEmpty());
        EXPECT_EQ(textAt(canvas, {650, 50}), u"log(Kp)"_s);
        EXPECT_EQ(textAt(canvas, {2050, 3000}), u"Temp./ K"_s);
    }
}

TEST(ResultGraph, HugeRangesNeitherLoopNorFail)
{
    const struct {
        const char* name;
        double low, high;
        QStringList ticks;
    } cases[] = {
        {"200000: 0 and 200000 would print over -10 and 200010", 0, 200000, {u"100000"_s}},
        {"far from zero", 1e15, 1e15 + 50, {}},
        {"1e300", -1e300, 1e300, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ResultTable table = dGTable([&](int i) { return c.low + (c.high - c.low) * i / 32; });
        const RecordingCanvas canvas =
            draw({table, 0, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});
        EXPECT_EQ(curveOf(canvas).size(), 33u);
        const QStringList ticks = tickLabelsOf(canvas);
        EXPECT_LE(ticks.size(), 12);
        if (!c.ticks.isEmpty()) {
            EXPECT_EQ(ticks, c.ticks);
        }
    }

    // Beyond the double range the axis has no scale: the curve and axis are left out.
    const ResultTable extreme = dGTable([](int i) { return i % 2 ? 1.7e308 : -1.7e308; });
    const RecordingCanvas canvas =
        draw({extreme, 0, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184});
    EXPECT_TRUE(curveOf(canvas).empty());
    EXPECT_EQ(operationsOf(canvas, Kind::Rectangle).size(), 1u);
}

TEST(ResultGraph, UnknownPlotModeDrawsOnlyTheTemperatureTitle)
{
    const ResultTable table = dGTable([](int) { return 5.0; });
    const RecordingCanvas canvas =
        draw({table, 3, TemperatureUnit::Celsius, EnergyUnit::Kcal, true, 4.184});
    const auto texts = operationsOf(canvas, Kind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, u"Temp./ ﾟC"_s);
    EXPECT_TRUE(operationsOf(canvas, Kind::Line).empty());
    EXPECT_TRUE(operationsOf(canvas, Kind::Rectangle).empty());
}

TEST(ResultGraph, PlacementMovesLabelsAndChangesColours)
{
    // A box placed on a page, as the printed result uses it.
    GraphPlacement page;
    page.x0 = 6000;
    page.y0 = 3000;
    page.temperatureTitle = {7450, 5740};
    page.kelvinTitle = u"Temp. / K"_s;
    page.valueTitle = {6000, 2800};
    page.temperatureLabelY = 5550;
    page.valueLabelX = 5500;
    page.curveColour = kWindowText;
    page.zeroLineColour = kWindowText;
    page.setsLineWidths = false;
    page.clearsArea = false;

    const ResultTable table = dGTable([](int i) { return -23 + 60.0 * i / 32; });
    const RecordingCanvas canvas =
        draw({table, 0, TemperatureUnit::Kelvin, EnergyUnit::Kcal, true, 4.184}, page);

    EXPECT_TRUE(operationsOf(canvas, Kind::Clear).empty());
    EXPECT_TRUE(operationsOf(canvas, Kind::LineWidth).empty());
    EXPECT_EQ(textAt(canvas, {7450, 5740}), u"Temp. / K"_s);
    EXPECT_EQ(textAt(canvas, {6000, 2800}), u"dG / kcal (制限化合物1mol当たり)"_s);
    EXPECT_EQ(textAt(canvas, {6000 - 125, 5550}), u"300"_s);
    EXPECT_EQ(textAt(canvas, {5500, 2900}).trimmed(), u"40"_s);  // ymax, Y0 - 100
    EXPECT_EQ(textAt(canvas, {5500, 5400}).trimmed(), u"-40"_s); // ymin, Y0 + H - 100
    EXPECT_EQ(textAt(canvas, {5500, 4150}).trimmed(), u"0"_s);   // zero tick, mid-box
    EXPECT_EQ(operationsOf(canvas, Kind::Rectangle)[0].from, QPointF(6000, 3000));
    for (const CanvasOperation& op : canvas.operations())
        EXPECT_NE(op.colour, kRed);
    EXPECT_EQ(operationsOf(canvas, Kind::LineTo)[0].colour, kWindowText);
}
