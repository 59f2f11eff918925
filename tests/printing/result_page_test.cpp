// The printed result page on the recording canvas, whose line height is the
// font's size in twips (10 points: 200, the 12-point title: 240).
#include "page_fixture.h"
#include "results/canvas_queries.h"

#include "results/fonts.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace norvanta::testing {
namespace {

using namespace Qt::Literals::StringLiterals;

using test::Kind;
using test::operationsOf;
using test::textAt;
using test::textsAtX;

using PlacedText = std::tuple<double, double, QString>;

RecordingCanvas drawn(const ResultPageInput& input, std::vector<int>* progress = nullptr)
{
    RecordingCanvas canvas;
    DrawResultPage(canvas, input, [progress](int value) {
        if (progress)
            progress->push_back(value);
    });
    return canvas;
}

// The text block: everything left of the graphs' value labels, in drawing order.
std::vector<PlacedText> textBlock(const RecordingCanvas& canvas)
{
    std::vector<PlacedText> texts;
    for (const CanvasOperation& op : operationsOf(canvas, Kind::Text)) {
        if (op.from.x() < 5500)
            texts.emplace_back(op.from.x(), op.from.y(), op.text);
    }
    return texts;
}

// The font a text was drawn in: family, points, bold.
std::tuple<QString, double, bool> fontOf(const RecordingCanvas& canvas, const QString& text)
{
    std::tuple<QString, double, bool> font;
    for (const CanvasOperation& op : canvas.operations()) {
        if (op.kind == Kind::Font)
            font = {op.text, op.size, op.bold};
        if (op.kind == Kind::Text && op.text == text)
            return font;
    }
    ADD_FAILURE() << "not drawn: " << text.toStdString();
    return font;
}

TEST(ResultPage, TextBlockStandsAtItsTwipsLineByLine)
{
    const RecordingCanvas canvas = drawn(printedPage());
    const std::vector<PlacedText> expected = {
        {600, 500, u"化学平衡計算の結果"_s},
        {600, 940, u"日時 12-06-2026 20:45:36"_s},
        {600, 1340, u"*** 反 応 系 ***"_s},
        {600, 1540, u"ﾟCO2+CH4=2CO+2H2"_s},
        {600, 1740, u"    (ﾟ:制限化合物)"_s},
        {600, 2140, u"*** 反応分圧比 ***"_s},
        {600, 2340, u"CO2:CH4=1:1"_s},
        {600, 2740, u"*** 反応全圧 ***"_s},
        {600, 2940, u"全圧:1 atm"_s},
        {600, 3340, u"*** 平衡計算の結果 ***"_s},
        {600, 3540, u"Temp./ﾟC"_s},
        {1500, 3540, u"dG/kcal"_s},
        {2700, 3540, u"Kp"_s},
        {3400, 3540, u"転化率./%"_s},
        {800, 3740, u"0"_s},
        {1550, 3740, u"-12.500"_s},
        {2400, 3740, u"3.25E-05"_s},
        {3600, 3740, u"45.60"_s},
        {800, 3940, u"100"_s},
        {1550, 3940, u"6.000"_s},
        {2400, 3940, u"2.00E+00"_s},
        {3600, 3940, u"5.000"_s},
        {800, 4140, u"200"_s},
        {1550, 4140, u"2.000"_s},
        {2400, 4140, u"2.00E+00"_s},
        {3600, 4140, u"100.0"_s},
    };
    const std::vector<PlacedText> block = textBlock(canvas);
    ASSERT_GE(block.size(), expected.size());
    EXPECT_EQ(std::vector<PlacedText>(block.begin(), block.begin() + long(expected.size())),
              expected);
}

TEST(ResultPage, TitleIsLargerAndBoldHeadingsBoldBodyRegularGraphsInGothic)
{
    const RecordingCanvas canvas = drawn(printedPage());
    using Font = std::tuple<QString, double, bool>;
    EXPECT_EQ(fontOf(canvas, u"化学平衡計算の結果"_s), Font(u"Page Font"_s, 12, true));
    EXPECT_EQ(fontOf(canvas, u"*** 反応全圧 ***"_s), Font(u"Page Font"_s, 10, true));
    EXPECT_EQ(fontOf(canvas, u"全圧:1 atm"_s), Font(u"Page Font"_s, 10, false));
    EXPECT_EQ(fontOf(canvas, u"45.60"_s), Font(u"Page Font"_s, 10, false));
    EXPECT_EQ(fontOf(canvas, u"log(Kp)"_s), Font(kGothicFont, 9, false));
}

TEST(ResultPage, TableHeadersFitTheirColumns)
{
    const RecordingCanvas canvas = drawn(printedPage(kGothicFont)); // the default print font
    const std::pair<QString, double> columns[] = {{u"Temp./ﾟC"_s, 900}, {u"dG/kcal"_s, 1200}};
    for (const auto& [header, column] : columns) {
        RecordingCanvas measure;
        std::apply([&](auto... font) { measure.setFont(font...); }, fontOf(canvas, header));
        EXPECT_LE(measure.textWidth(header) + kTextGap, column) << header.toStdString();
    }
}

TEST(ResultPage, RowsHeaderAndValuesFollowStepModeAndUnits)
{
    struct Case {
        bool tetraPrecision;
        TemperatureUnit temperature;
        EnergyUnit energy;
        qsizetype rows;
        QString first, last, temperatureHeader, energyHeader, firstDG;
    };
    const Case cases[] = {
        {false, TemperatureUnit::Celsius, EnergyUnit::Kcal, 9, u"0"_s, u"800"_s, u"Temp./ﾟC"_s,
         u"dG/kcal"_s, u"-12.500"_s},
        {true, TemperatureUnit::Celsius, EnergyUnit::Kcal, 33, u"0"_s, u"800"_s, u"Temp./ﾟC"_s,
         u"dG/kcal"_s, u"-12.500"_s},
        {true, TemperatureUnit::Kelvin, EnergyUnit::Kcal, 33, u"300"_s, u"1100"_s, u"Temp./K"_s,
         u"dG/kcal"_s, u"10.000"_s},
        {false, TemperatureUnit::Kelvin, EnergyUnit::KJ, 9, u"300"_s, u"1100"_s, u"Temp./K"_s,
         u"dG/kJ"_s, u"41.840"_s},
        {false, TemperatureUnit::Celsius, EnergyUnit::KJ, 9, u"0"_s, u"800"_s, u"Temp./ﾟC"_s,
         u"dG/kJ"_s, u"-52.300"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        SCOPED_TRACE(c.firstDG.toStdString());
        ResultPageInput input = printedPage();
        input.report.tetraPrecision = c.tetraPrecision;
        input.report.temperatureUnit = c.temperature;
        input.report.energyUnit = c.energy;
        const RecordingCanvas canvas = drawn(input);

        const QStringList temperatures = textsAtX(canvas, 800);
        ASSERT_EQ(temperatures.size(), c.rows);
        EXPECT_EQ(temperatures.first(), c.first);
        EXPECT_EQ(temperatures.last(), c.last);
        EXPECT_EQ(textsAtX(canvas, 3600).size(), c.rows);
        EXPECT_EQ(textAt(canvas, {600, 3540}), c.temperatureHeader);
        EXPECT_EQ(textAt(canvas, {1500, 3540}), c.energyHeader);
        EXPECT_EQ(textAt(canvas, {1550, 3740}), c.firstDG);
        // The last row is one body line above where its successor would stand.
        EXPECT_EQ(textAt(canvas, {800, 3740 + 200 * double(c.rows - 1)}), c.last);
    }
}

TEST(ResultPage, ThreeGraphsStackedOnTheRightInColourOrMonochrome)
{
    for (const bool colour : {true, false}) {
        SCOPED_TRACE(colour ? "colour" : "monochrome");
        ResultPageInput input = printedPage();
        input.colour = colour;
        const RecordingCanvas canvas = drawn(input);

        const double tops[] = {3000, 6200, 9400};
        const QString titles[] = {u"dG / kcal (制限化合物1mol当たり)"_s, u"log(Kp)"_s,
                                  u"制限化合物の転化率(%)"_s};
        const std::vector<CanvasOperation> frames = operationsOf(canvas, Kind::Rectangle);
        ASSERT_EQ(frames.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            const double y0 = tops[k];
            EXPECT_EQ(frames[size_t(k)].from, QPointF(6000, y0));
            EXPECT_EQ(frames[size_t(k)].to, QPointF(9500, y0 + 2500));
            EXPECT_EQ(textAt(canvas, {6000, y0 - 200}), titles[k]);
            EXPECT_EQ(textAt(canvas, {7450, y0 + 2740}), u"Temp. / ﾟC"_s);
            EXPECT_EQ(textAt(canvas, {6000 - 125, y0 + 2550}), u"0  "_s);
            EXPECT_EQ(textAt(canvas, {9500 - 125, y0 + 2550}), u"800"_s);
        }
        // Conversion axis 0..100: the ymax and ymin labels 100 above the box edges.
        EXPECT_EQ(textAt(canvas, {5500, 9300}), u"100  "_s);
        EXPECT_EQ(textAt(canvas, {5500, 11800}), u"0    "_s);
        EXPECT_TRUE(textsAtX(canvas, 200).isEmpty());

        // Nine points per curve in 100 K steps; the printer's own pen throughout.
        const std::vector<CanvasOperation> curve = operationsOf(canvas, Kind::LineTo);
        EXPECT_EQ(curve.size(), 27u);
        EXPECT_TRUE(operationsOf(canvas, Kind::LineWidth).empty());
        int blue = 0;
        int red = 0;
        for (const CanvasOperation& op : test::visibleOperations(canvas)) {
            blue += op.colour == kBlue;
            red += op.colour == kRed;
        }
        // dG and log Kp cross zero: a red zero line in each, in colour only.
        EXPECT_EQ(blue, colour ? 27 : 0);
        EXPECT_EQ(red, colour ? 2 : 0);
    }
}

TEST(ResultPage, ReportsProgressStageByStage)
{
    std::vector<int> progress;
    drawn(printedPage(), &progress);
    EXPECT_EQ(progress, (std::vector<int>{20, 30, 40, 50, 60, 70, 80, 90}));
}

} // namespace
} // namespace norvanta::testing
