#include "tools/norvanta_calc/calc_options.h"

#include <gtest/gtest.h>

#include <functional>

using namespace norvanta;
using namespace norvanta::calc;
using namespace Qt::StringLiterals;

namespace {

ParsedArguments parse(const QStringList& arguments)
{
    return parseCalcArguments(arguments, u"/work/folder"_s);
}

} // namespace

TEST(CalcOptions, DefaultsAreTheWindowsAndTheWorkingFolders)
{
    const ParsedArguments parsed = parse({u"r1.txt"_s});
    ASSERT_EQ(parsed.error, QString());
    const CalcOptions& options = parsed.options;
    EXPECT_TRUE(options.tetraPrecision);
    EXPECT_EQ(options.temperatureUnit, TemperatureUnit::Celsius);
    EXPECT_EQ(options.energyUnit, EnergyUnit::Kcal);
    EXPECT_EQ(options.databasePath, u"/work/folder/Norvane.dat"_s);
    EXPECT_EQ(options.libraryPath, u"/work/folder/Norvane.dll"_s);
    EXPECT_EQ(options.constantsPath, u"/work/folder/constants.txt"_s);
    EXPECT_FALSE(options.timestamp.has_value());
    EXPECT_EQ(options.encoding, OutputEncoding::Utf8);
    EXPECT_FALSE(options.table);
    EXPECT_FALSE(parsed.help);
    EXPECT_EQ(options.reactionFiles, QStringList{u"r1.txt"_s});
}

TEST(CalcOptions, AcceptedCommandLines)
{
    const struct {
        const char* name;
        QStringList arguments;
        std::function<bool(const CalcOptions&)> holds;
    } cases[] = {
        {"100 K steps", {u"--step"_s, u"100"_s, u"a"_s}, [](auto& o) { return !o.tetraPrecision; }},
        {"25 K steps after 100",
         {u"--step=100"_s, u"--step"_s, u"25"_s, u"a"_s},
         [](auto& o) { return o.tetraPrecision; }},
        {"kelvin",
         {u"--temperature"_s, u"K"_s, u"a"_s},
         [](auto& o) { return o.temperatureUnit == TemperatureUnit::Kelvin; }},
        {"units in any case",
         {u"--temperature=k"_s, u"--energy=KJ"_s, u"a"_s},
         [](auto& o) {
             return o.temperatureUnit == TemperatureUnit::Kelvin && o.energyUnit == EnergyUnit::KJ;
         }},
        {"files by path",
         {u"--data"_s, u"d/N.dat"_s, u"--library=l.so"_s, u"--constants"_s, u"c"_s, u"a"_s},
         [](auto& o) {
             return o.databasePath == u"d/N.dat" && o.libraryPath == u"l.so" &&
                    o.constantsPath == u"c";
         }},
        {"timestamp",
         {u"--timestamp"_s, u"12-06-2026 20:45:36"_s, u"a"_s},
         [](auto& o) { return o.timestamp == QDateTime(QDate(2026, 12, 6), QTime(20, 45, 36)); }},
        {"Shift_JIS",
         {u"--encoding"_s, u"shift_jis"_s, u"a"_s},
         [](auto& o) { return o.encoding == OutputEncoding::ShiftJis; }},
        {"table", {u"a"_s, u"--table"_s}, [](auto& o) { return o.table; }},
        {"composition's range, pressures and switches",
         {u"--composition"_s, u"--condensed"_s, u"--range=300:3000:27"_s, u"--pressures"_s,
          u"1, 10,2.5e1"_s, u"--dry"_s, u"--derived"_s, u"a"_s},
         [](auto& o) {
             return o.condensed && o.dry && o.derived && o.range &&
                    o.range->to == 3000 && o.range->step == 27 &&
                    o.pressures == std::vector<double>{1, 10, 25} && !o.adiabaticFeedKelvin;
         }},
        {"adiabatic", {u"--composition"_s, u"--adiabatic=298.15"_s, u"a"_s},
         [](auto& o) { return o.adiabaticFeedKelvin == 298.15; }},
        {"range of 10000 points",
         {u"--range=300:10299:1"_s, u"--table"_s, u"a"_s},
         [](auto& o) { return o.range && o.range->from == 300 && o.range->to == 10299; }},
        {"files in order, \"--\" ends the options",
         {u"b.txt"_s, u"--step=100"_s, u"a.txt"_s, u"--"_s, u"--table"_s, u"-x"_s},
         [](auto& o) {
             return !o.table &&
                    o.reactionFiles == QStringList{u"b.txt"_s, u"a.txt"_s, u"--table"_s, u"-x"_s};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ParsedArguments parsed = parse(c.arguments);
        EXPECT_EQ(parsed.error, QString());
        EXPECT_TRUE(c.holds(parsed.options));
    }
}

TEST(CalcOptions, RefusedCommandLines)
{
    const QString badRange =
        u"--range には 開始:終了:刻み を K で指定してください(0 < 開始 < 終了、"
        u"刻み > 0、10000点まで)"_s;
    const QString kPressures = u"--pressures には正の全圧(atm)をコンマで区切って指定してください"_s;
    const struct {
        QStringList arguments;
        QString error;
    } cases[] = {
        {{}, u"反応系ファイルを指定してください"_s},
        {{u"--table"_s}, u"反応系ファイルを指定してください"_s},
        {{u"--step"_s, u"50"_s, u"a"_s}, u"--step には 100 か 25 を指定してください"_s},
        {{u"--step"_s}, u"--step には値が必要です"_s},
        {{u"--temperature=F"_s, u"a"_s}, u"--temperature には K か C を指定してください"_s},
        {{u"--energy=cal"_s, u"a"_s}, u"--energy には kcal か kJ を指定してください"_s},
        {{u"--encoding=latin1"_s, u"a"_s},
         u"--encoding には utf-8 か shift_jis を指定してください"_s},
        {{u"--data="_s, u"a"_s}, u"--data にはファイルのパスを指定してください"_s},
        {{u"--verbose"_s, u"a"_s}, u"不明なオプションです: --verbose"_s},
        {{u"--composition"_s, u"--summary"_s, u"a"_s},
         u"--composition は --table、--summary と同時に指定できません"_s},
        {{u"--species=CO"_s, u"a"_s},
         u"--graphite と --species は --composition と一緒に指定してください"_s},
        {{u"--composition"_s, u"--species"_s, u"CO,,H2"_s, u"a"_s},
         u"--species には化合物名をコンマで区切って指定してください"_s},
        {{u"--dry"_s, u"a"_s},
         u"--condensed、--pressures、--adiabatic、--dry、--derived は --composition と一緒に指定してください"_s},
        {{u"--composition"_s, u"--graphite"_s, u"--condensed"_s, u"a"_s},
         u"--graphite と --condensed は同時に指定できません"_s},
        {{u"--composition"_s, u"--range=300:900:100"_s, u"--adiabatic=298.15"_s, u"a"_s},
         u"--range と --adiabatic は同時に指定できません"_s},
        {{u"--composition"_s, u"--pressures=1,,10"_s, u"a"_s}, kPressures},
        {{u"--composition"_s, u"--pressures=1,-2"_s, u"a"_s}, kPressures},
        {{u"--composition"_s, u"--pressures=1,nan"_s, u"a"_s}, kPressures},
        {{u"--composition"_s, u"--adiabatic=0"_s, u"a"_s},
         u"--adiabatic には原料の温度(K、正の数)を指定してください"_s},
        {{u"-s"_s, u"a"_s}, u"不明なオプションです: -s"_s},
        {{u"--range=300:3000:50"_s, u"--summary"_s, u"a"_s},
         u"--range は --summary と同時に指定できません"_s},
        {{u"--range=300:300:10"_s, u"a"_s}, badRange},
        {{u"--range=300:3000:0"_s, u"a"_s}, badRange},
        {{u"--range=0:100:1"_s, u"a"_s}, badRange},
        {{u"--range=300:10300:1"_s, u"a"_s}, badRange},
        {{u"--range=300:3000"_s, u"a"_s}, badRange},
        {{u"--range=300:3e999:1"_s, u"a"_s}, badRange},
        {{u"--range=300:1,000:1"_s, u"a"_s}, badRange},
        {{u"--table=1"_s, u"a"_s}, u"不明なオプションです: --table=1"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        EXPECT_EQ(parse(c.arguments).error, c.error);
    }
}

TEST(CalcOptions, TimestampOnlyInItsExactForm)
{
    const QString refusal =
        u"--timestamp には \"MM-DD-YYYY HH:MM:SS\" の形で日時を指定してください"_s;
    for (const QString& text :
         {u"3-5-2024 07:08:09"_s, u"13-05-2024 07:08:09"_s, u"03-05-2024 24:00:00"_s,
          u"2024-03-05 07:08:09"_s, u"03-05-2024"_s, u"03-05-2024 07:08:09 "_s}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(parse({u"--timestamp"_s, text, u"a"_s}).error, refusal);
    }
    EXPECT_EQ(parse({u"--timestamp=02-29-2024 00:00:00"_s, u"a"_s}).error, QString());
}

TEST(CalcOptions, HelpNeedsNoFileAndDescribesEveryOption)
{
    const ParsedArguments parsed = parse({u"-h"_s});
    EXPECT_TRUE(parsed.help);
    EXPECT_EQ(parsed.error, QString());
    EXPECT_TRUE(parse({u"--help"_s}).help);
    for (const QString& option :
         {u"--step 100|25"_s, u"--temperature K|C"_s, u"--energy kcal|kJ"_s, u"--data PATH"_s,
          u"--library PATH"_s, u"--constants PATH"_s, u"--timestamp \"MM-DD-YYYY HH:MM:SS\""_s,
          u"--encoding utf-8|shift_jis"_s, u"--table"_s, u"--composition"_s, u"--graphite"_s,
          u"--species A,B,..."_s, u"--condensed"_s, u"--range FROM:TO:STEP"_s,
          u"--pressures P1,P2,..."_s, u"--adiabatic T0"_s, u"--dry"_s, u"--derived"_s, u"64"_s})
        EXPECT_TRUE(helpText({}, ProgramLayout::Installed).contains(option))
            << option.toStdString();
}
