#include "results/report_text.h"

#include "../common/reaction_fields_fixture.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

// Kelvin points dG -12.5, Kp 3.2e-5, conversion 0.456; Celsius points dG 7.25,
// Kp 1e-5, conversion 1.
ResultReportInput sampleInput()
{
    ResultReportInput input;
    input.fields = norvanta::testing::reformingFields();
    input.limitPos = 0;
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        input.table.kelvin[size_t(i)] = {-12.5, 3.2e-5, 0.456, true};
        input.table.celsius[size_t(i)] = {7.25, 1e-5, 1.0, true};
    }
    input.timestamp = QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9));
    return input;
}

QStringList linesOf(const QString& text)
{
    QStringList lines = text.split(u"\r\n"_s);
    EXPECT_EQ(lines.takeLast(), QString()) << "the text ends with CR LF";
    return lines;
}

} // namespace

TEST(ReportText, ReactionLine)
{
    const struct {
        const char* name;
        std::array<QString, 4> reactNum, react, productNum, product;
        int limitPos;
        QString line;
    } cases[] = {
        {"overview example",
         {u"1"_s, u"1"_s},
         {u"CO2"_s, u"CH4"_s},
         {u"2"_s, u"2"_s},
         {u"CO"_s, u"H2"_s},
         0,
         u"ﾟCO2+CH4=2CO+2H2"_s},
        {"2.0 prints 2, empty and below 1 print nothing",
         {u"2.0"_s, QString(), u"0.5"_s},
         {u"A"_s, u"B"_s, u"C"_s},
         {u"0"_s},
         {u"D"_s},
         1,
         u"2A+ﾟB+C=D"_s},
        {"number-led name is bracketed after a coefficient",
         {u"2"_s, u"1"_s},
         {u"1-butene"_s, u"1-butene"_s},
         {u"3"_s},
         {u"2-butene"_s},
         1,
         u"2(1-butene)+ﾟ1-butene=3(2-butene)"_s},
        {"mark after the coefficient", {u"2"_s}, {u"H2"_s}, {}, {u"X"_s}, 0, u"2ﾟH2=X"_s},
        {"mark in the second slot",
         {u"1"_s, u"2"_s},
         {u"O2"_s, u"H2"_s},
         {},
         {u"X"_s},
         1,
         u"O2+2ﾟH2=X"_s},
        {"mark before the bracket",
         {u"2"_s},
         {u"1-butene"_s},
         {},
         {u"X"_s},
         0,
         u"2ﾟ(1-butene)=X"_s},
        {"gap in the slots",
         {QString(), u"1"_s},
         {QString(), u"CH4"_s},
         {QString(), u"1"_s},
         {QString(), u"C"_s},
         1,
         u"+ﾟCH4=+C"_s},
        {"a name of blanks is not empty",
         {u"1"_s, u"1"_s},
         {u"CO"_s, u" "_s},
         {},
         {u"X"_s},
         0,
         u"ﾟCO+ =X"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReactionFields fields;
        fields.reactNum = c.reactNum;
        fields.react = c.react;
        fields.productNum = c.productNum;
        fields.product = c.product;
        EXPECT_EQ(reactionLine(fields, c.limitPos), c.line);
    }
}

TEST(ReportText, RatioLine)
{
    const struct {
        std::array<QString, 4> react, molar;
        QString line;
    } cases[] = {
        {{u"CO2"_s, u"CH4"_s}, {u"1"_s, u"1"_s}, u"CO2:CH4=1:1"_s},
        {{QString(), u"CH4"_s}, {u"5"_s, u"1"_s}, u":CH4=:1"_s},
        {{u"A"_s, u"B"_s, QString(), u"D"_s},
         {u"2.50"_s, QString(), u"9"_s, u"1e-5"_s},
         u"A:B:D=2.5:0:1E-05"_s},
    };
    for (const auto& c : cases) {
        ReactionFields fields;
        fields.react = c.react;
        fields.molar = c.molar;
        EXPECT_EQ(ratioLine(fields), c.line);
    }
}

TEST(ReportText, HeaderLinesAndKelvinRows)
{
    ResultReportInput input = sampleInput();
    input.temperatureUnit = TemperatureUnit::Kelvin;
    input.fields.pressure = u"1.50 "_s; // edited after the run: printed as typed

    const QStringList lines = linesOf(MakeResultText(input));
    const QStringList header = {
        u"化学平衡計算の結果"_s,
        QString(),
        u"日時 03-05-2024 07:08:09"_s,
        QString(),
        u"*** 反 応 系 ***"_s,
        u"ﾟCO2+CH4=2CO+2H2"_s,
        u"(ﾟ:制限化合物)"_s,
        QString(),
        u"*** 反応分圧比 ***"_s,
        u"CO2:CH4=1:1"_s,
        QString(),
        u"*** 反応全圧 ***"_s,
        u"全圧:1.50  atm"_s,
        QString(),
        u"*** 平衡計算の結果 ***"_s,
        u"Temp./K\tdG/kcal\tKp\tConv./%"_s,
    };
    ASSERT_EQ(lines.size(), 16 + 9);
    EXPECT_EQ(lines.mid(0, 16), header);
    EXPECT_EQ(lines[16], u"+300\t-12.5\t+3.2E-05\t+45.6"_s);
    EXPECT_EQ(lines[17], u"+400\t-12.5\t+3.2E-05\t+45.6"_s);
    EXPECT_EQ(lines.last(), u"+1100\t-12.5\t+3.2E-05\t+45.6"_s);
}

TEST(ReportText, RowsPerUnitAndStepMode)
{
    const struct {
        const char* name;
        TemperatureUnit temperature;
        EnergyUnit energy;
        bool tetraPrecision;
        QString header, first, second, last;
        int rows;
    } cases[] = {
        {"Celsius 100 K", TemperatureUnit::Celsius, EnergyUnit::Kcal, false,
         u"Temp./ﾟC\tdG/kcal\tKp\tConv./%"_s, u"+0\t+7.25\t+1E-05\t+100"_s,
         u"+100\t+7.25\t+1E-05\t+100"_s, u"+800\t+7.25\t+1E-05\t+100"_s, 9},
        {"Celsius 25 K", TemperatureUnit::Celsius, EnergyUnit::Kcal, true,
         u"Temp./ﾟC\tdG/kcal\tKp\tConv./%"_s, u"+0\t+7.25\t+1E-05\t+100"_s,
         u"+25\t+7.25\t+1E-05\t+100"_s, u"+800\t+7.25\t+1E-05\t+100"_s, 33},
        {"Kelvin 25 K", TemperatureUnit::Kelvin, EnergyUnit::Kcal, true,
         u"Temp./K\tdG/kcal\tKp\tConv./%"_s, u"+300\t-12.5\t+3.2E-05\t+45.6"_s,
         u"+325\t-12.5\t+3.2E-05\t+45.6"_s, u"+1100\t-12.5\t+3.2E-05\t+45.6"_s, 33},
        {"Kelvin kJ", TemperatureUnit::Kelvin, EnergyUnit::KJ, false,
         u"Temp./K\tdG/kJ\tKp\tConv./%"_s, u"+300\t-52.3\t+3.2E-05\t+45.6"_s,
         u"+400\t-52.3\t+3.2E-05\t+45.6"_s, u"+1100\t-52.3\t+3.2E-05\t+45.6"_s, 9},
        {"Celsius kJ", TemperatureUnit::Celsius, EnergyUnit::KJ, true,
         u"Temp./ﾟC\tdG/kJ\tKp\tConv./%"_s, u"+0\t+30.334\t+1E-05\t+100"_s,
         u"+25\t+30.334\t+1E-05\t+100"_s, u"+800\t+30.334\t+1E-05\t+100"_s, 33},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResultReportInput input = sampleInput();
        input.temperatureUnit = c.temperature;
        input.energyUnit = c.energy;
        input.tetraPrecision = c.tetraPrecision;
        const QString text = MakeResultText(input);
        const QStringList lines = linesOf(text);
        ASSERT_EQ(lines.size(), 16 + c.rows);
        EXPECT_EQ(lines[15], c.header);
        EXPECT_EQ(lines[16], c.first);
        EXPECT_EQ(lines[17], c.second);
        EXPECT_EQ(lines.last(), c.last);
        // Nothing but the CR LF pairs that linesOf splits at breaks a line.
        EXPECT_EQ(text.count(u'\n'), 16 + c.rows);
        EXPECT_EQ(text.count(u'\r'), 16 + c.rows);
    }
}

TEST(ReportText, SignsOfTheValues)
{
    ResultReportInput input = sampleInput();
    input.temperatureUnit = TemperatureUnit::Kelvin;
    input.table.kelvin[0] = {0, 0, 0, true};
    input.table.kelvin[4] = {-0.001, 2.5e15, 0.5, true};
    input.table.kelvin[8].computed = false; // a failed point prints empty values
    const QStringList lines = linesOf(MakeResultText(input));
    EXPECT_EQ(lines[16], u"+300\t+0\t+0\t+0"_s);
    EXPECT_EQ(lines[17], u"+400\t-0.001\t+2.5E+15\t+50"_s);
    EXPECT_EQ(lines[18], u"+500\t\t\t"_s);
}
