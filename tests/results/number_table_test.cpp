#include "canvas_queries.h"

#include "results/number_table.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::test;
using namespace Qt::StringLiterals;

namespace {

// Kelvin points dG -12.5, Kp 3.25e-5, conversion 45.6 %; Celsius points
// dG 7, Kp 2, conversion 5 %; row values grow by 1 kcal per row.
ResultTable sampleTable()
{
    ResultTable table;
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        table.kelvin[size_t(i)] = {-12.5 + i / 4, 3.25e-5, 0.456, true};
        table.celsius[size_t(i)] = {7.0 + i / 4, 2.0, 0.05, true};
    }
    return table;
}

RecordingCanvas drawTable(const NumberTableUnits& units, const ResultTable& table)
{
    RecordingCanvas canvas;
    DrawNumberTable(canvas, units, table);
    return canvas;
}

} // namespace

TEST(NumberTable, ConversionText)
{
    const struct {
        double percent;
        const char16_t* text;
    } cases[] = {
        {9.9994, u"9.999"}, {45.678, u"45.68"}, {10, u"10.00"}, {100, u"100.0"},
        {5, u"5.000"},      {45.6, u"45.60"},   {0, u"0.000"},  {150, u"100.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConversionText(c.percent), QString::fromUtf16(c.text)) << c.percent;
}

TEST(NumberTable, HeadingsAndRowsPerUnits)
{
    const ResultTable table = sampleTable();
    const struct {
        const char* name;
        NumberTableUnits units;
        QString temperatureHeading, dGHeading;
        QStringList firstRow, lastRow;
    } cases[] = {
        {"Celsius kcal",
         {TemperatureUnit::Celsius, EnergyUnit::Kcal, 4.184},
         u"Temp. / ﾟC"_s,
         u"dG / kcal"_s,
         {u"0"_s, u"7.000"_s, u"2.00E+00"_s, u"5.000"_s},
         {u"800"_s, u"15.000"_s, u"2.00E+00"_s, u"5.000"_s}},
        {"Kelvin kcal",
         {TemperatureUnit::Kelvin, EnergyUnit::Kcal, 4.184},
         u"Temp. / K"_s,
         u"dG / kcal"_s,
         {u"300"_s, u"-12.500"_s, u"3.25E-05"_s, u"45.60"_s},
         {u"1100"_s, u"-4.500"_s, u"3.25E-05"_s, u"45.60"_s}},
        {"Kelvin kJ",
         {TemperatureUnit::Kelvin, EnergyUnit::KJ, 4.184},
         u"Temp. / K"_s,
         u"dG / kJ"_s,
         {u"300"_s, u"-52.300"_s, u"3.25E-05"_s, u"45.60"_s},
         {u"1100"_s, u"-18.828"_s, u"3.25E-05"_s, u"45.60"_s}},
        {"Celsius kJ, CALTOJ from constants.txt",
         {TemperatureUnit::Celsius, EnergyUnit::KJ, 4.2},
         u"Temp. / ﾟC"_s,
         u"dG / kJ"_s,
         {u"0"_s, u"29.400"_s, u"2.00E+00"_s, u"5.000"_s},
         {u"800"_s, u"63.000"_s, u"2.00E+00"_s, u"5.000"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordingCanvas canvas = drawTable(c.units, table);
        EXPECT_EQ(operationsOf(canvas, Kind::Clear).size(), 1u);
        EXPECT_EQ(textAt(canvas, {100, 50}), c.temperatureHeading);
        EXPECT_EQ(textAt(canvas, {1150, 50}), c.dGHeading);
        EXPECT_EQ(textAt(canvas, {2550, 50}), u"Kp"_s);
        EXPECT_EQ(textAt(canvas, {3350, 50}), u"転化率 / %"_s);
        EXPECT_EQ(textsAtY(canvas, 235), c.firstRow);
        EXPECT_EQ(textsAtY(canvas, 1715), c.lastRow);
        EXPECT_EQ(textAt(canvas, {250, 235}), c.firstRow[0]);
        EXPECT_EQ(textAt(canvas, {1250, 235}), c.firstRow[1]);
        EXPECT_EQ(textAt(canvas, {2350, 235}), c.firstRow[2]);
        EXPECT_EQ(textAt(canvas, {3550, 235}), c.firstRow[3]);
    }
}

TEST(NumberTable, NineRowsFromEveryFourthPointWithTheRule)
{
    ResultTable table = sampleTable();
    table.kelvin[1].dG = 99; // between rows: never shown
    const RecordingCanvas canvas =
        drawTable({TemperatureUnit::Kelvin, EnergyUnit::Kcal, 4.184}, table);

    EXPECT_EQ(textsAtX(canvas, 250), (QStringList{u"300"_s, u"400"_s, u"500"_s, u"600"_s, u"700"_s,
                                                  u"800"_s, u"900"_s, u"1000"_s, u"1100"_s}));
    EXPECT_EQ(textAt(canvas, {1250, 420}), u"-11.500"_s); // row 1 = point 4
    EXPECT_FALSE(textsAtX(canvas, 1250).contains(u"99.000"_s));

    const auto lines = operationsOf(canvas, Kind::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].from, QPointF(60, 240));
    EXPECT_EQ(lines[0].to, QPointF(4380, 240));
    EXPECT_EQ(lines[0].colour, kWindowText);
    const auto fonts = operationsOf(canvas, Kind::Font);
    ASSERT_FALSE(fonts.empty());
    EXPECT_EQ(fonts.back().size, 10);
}

TEST(NumberTable, PointNotComputedLeavesItsValuesBlank)
{
    ResultTable table = sampleTable();
    table.celsius[8].computed = false; // row 2, 200 °C
    const RecordingCanvas canvas =
        drawTable({TemperatureUnit::Celsius, EnergyUnit::Kcal, 4.184}, table);
    EXPECT_EQ(textsAtY(canvas, 50 + 185 * 3), QStringList{u"200"_s});
    EXPECT_EQ(textsAtY(canvas, 50 + 185 * 2).size(), 4);
}

TEST(NumberTable, RowsAfterTheFirstDrawNoHeadings)
{
    RecordingCanvas canvas;
    const ResultPoint kelvin{-1, 1, 0.1, true};
    const ResultPoint celsius{1, 1, 0.1, true};
    DrawNumberRow(canvas, {TemperatureUnit::Kelvin, EnergyUnit::Kcal, 4.184}, 3, kelvin, celsius);
    EXPECT_TRUE(textsAtY(canvas, 50).isEmpty());
    EXPECT_TRUE(operationsOf(canvas, Kind::Line).empty());
    EXPECT_EQ(textsAtY(canvas, 790),
              (QStringList{u"600"_s, u"-1.000"_s, u"1.00E+00"_s, u"10.00"_s}));
}
