#include "support/test_files.h"

#include "files/float_text.h"
#include "files/settings_file.h"

#include "common/text_file.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

const QString kStart = u"/home/user/norvanta"_s;

SettingsRead parseOverDefaults(const QString& text)
{
    return parseSettings(text, defaultSettings(kStart));
}

// The value written after KEY= in the settings file text.
QString writtenValue(const QString& fileText, const QString& key)
{
    for (const QString& line : fileText.split(u"\r\n"_s)) {
        if (line.startsWith(u'"' + key + u'='))
            return line.mid(key.size() + 2, line.size() - key.size() - 3);
    }
    return u"<missing>"_s;
}

} // namespace

TEST(FloatNumberText, ShortestFormOfTheFloat)
{
    const struct {
        float value;
        const char16_t* text;
    } cases[] = {
        {0.0f, u"0"},           {-0.0f, u"0"},          {1440.0f, u"1440"},
        {10.0f, u"10"},         {10.5f, u"10.5"},       {0.1f, u"0.1"},
        {-7.25f, u"-7.25"},     {1234.567f, u"1234.567"}, {1.0f / 3.0f, u"0.33333334"},
        {16777216.0f, u"16777216"}, {1e20f, u"1E+20"},  {0.00001f, u"1E-05"},
        {std::numeric_limits<float>::max(), u"3.4028235E+38"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(floatNumberText(c.value), QString::fromUtf16(c.text)) << c.value;
}

TEST(SettingsFileText, FirstStartFileByteForByte)
{
    const SettingsValues values = defaultSettings(kStart);
    ReactionFields fields;
    const WindowEdges edges{1500, 1200.5f, 0, 0};

    QByteArray expected;
    for (const char* line : {
             "LimitPos=-1",      "PlotMode=0",       "ReactantNum1=",   "ReactantNum2=",
             "ReactantNum3=",    "ReactantNum4=",    "Reactant1=",      "Reactant2=",
             "Reactant3=",       "Reactant4=",       "MolarRatio1=",    "MolarRatio2=",
             "MolarRatio3=",     "MolarRatio4=",     "ProductNum1=",    "ProductNum2=",
             "ProductNum3=",     "ProductNum4=",     "Product1=",       "Product2=",
             "Product3=",        "Product4=",        "Pressure=1",      "TetraPrecision=1",
             "DispHelp=-1",      "ColorPrintMode=-1", "MainLeft=1500",  "MainTop=1200.5",
             "ResultsLeft=0",    "ResultsTop=0",     "Search=",
             "UsualDirectory=/home/user/norvanta/",
             "PrintFontName=\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e",
             "PrintFontSize=10"})
        expected += QByteArray("\"") + line + "\"\r\n";

    EXPECT_EQ(encodeShiftJis(settingsFileText(values, fields, edges)), expected);

    QTemporaryDir folder;
    const QString path = folder.filePath(settingsFileName());
    ASSERT_TRUE(writeSettingsFile(path, values, fields, edges));
    EXPECT_EQ(readBytes(path), expected);
}

TEST(SettingsFileText, StartFolderEndsWithOneSeparator)
{
    EXPECT_EQ(defaultSettings(u"/home/a"_s).UsualDirectory, u"/home/a/"_s);
    EXPECT_EQ(defaultSettings(u"/"_s).UsualDirectory, u"/"_s);
}

TEST(SettingsFileText, WindowEdgesComeFromTheCaller)
{
    SettingsValues values = defaultSettings(kStart);
    values.MainLeft = 300;
    values.ResultsTop = 400;
    const QString remembered = settingsFileText(values, {}, rememberedEdges(values));
    EXPECT_EQ(writtenValue(remembered, u"MainLeft"_s), u"300"_s);
    EXPECT_EQ(writtenValue(remembered, u"ResultsTop"_s), u"400"_s);

    const QString current = settingsFileText(values, {}, WindowEdges{1, 2, 3, 4.25f});
    EXPECT_EQ(writtenValue(current, u"MainLeft"_s), u"1"_s);
    EXPECT_EQ(writtenValue(current, u"MainTop"_s), u"2"_s);
    EXPECT_EQ(writtenValue(current, u"ResultsLeft"_s), u"3"_s);
    EXPECT_EQ(writtenValue(current, u"ResultsTop"_s), u"4.25"_s);
}

// A value the file cannot hold exactly on its line is written with its
// first-start value; everything else is written as it is.
TEST(SettingsFileText, ValuesTheFileCannotHoldAreWrittenAsOnAFirstStart)
{
    SettingsValues values = defaultSettings(kStart);
    values.UsualDirectory = u"/home/josé/"_s;
    values.Search = u"line\nbreak"_s;
    values.PrintFontName = u"Font₂"_s;
    ReactionFields fields;
    values.LimitPos = 0;
    fields.reactNum = {u"1"_s, u"1"_s, u"1"_s, {}};
    fields.react = {u"CO₂"_s, u"H2"_s, u"CH4"_s, {}};
    fields.molar = {u"1"_s, u"1\r"_s, u"1"_s, {}};
    fields.productNum[0] = u"1"_s;
    fields.product[0] = u"一酸化炭素"_s;
    fields.productNum[1] = u"2"_s;
    fields.product[1] = u"H₂"_s;
    fields.pressure = u"2\""_s; // a quote would end the quoted entry early
    const SettingsValues before = values;

    const QString text = settingsFileText(values, fields, rememberedEdges(values), kStart);

    EXPECT_TRUE(canStoreInShiftJis(text));
    EXPECT_EQ(text.count(u"\r\n"_s), 34);
    const struct {
        const char16_t* key;
        const char16_t* value;
    } written[] = {
        {u"UsualDirectory", u"/home/user/norvanta/"}, {u"Search", u""},
        {u"PrintFontName", u"ＭＳ Ｐゴシック"}, {u"Pressure", u"1"},
        // A row with a text the file cannot hold goes empty as a whole.
        {u"LimitPos", u"-1"}, {u"ReactantNum1", u""}, {u"Reactant1", u""}, {u"MolarRatio1", u""},
        {u"ReactantNum2", u""}, {u"Reactant2", u""}, {u"MolarRatio2", u""},
        {u"ProductNum2", u""}, {u"Product2", u""},
        {u"ReactantNum3", u"1"}, {u"Reactant3", u"CH4"}, {u"MolarRatio3", u"1"},
        {u"ProductNum1", u"1"}, {u"Product1", u"一酸化炭素"},
    };
    for (const auto& w : written)
        EXPECT_EQ(writtenValue(text, QString::fromUtf16(w.key)), QString::fromUtf16(w.value))
            << QString::fromUtf16(w.key).toStdString();
    EXPECT_EQ(values, before) << "the values in memory stay as they are";
    // Only a start-up folder the file cannot hold either leaves it empty.
    EXPECT_EQ(writtenValue(settingsFileText(values, fields, {}, u"/home/josé"_s),
                           u"UsualDirectory"_s),
              u""_s);
}

TEST(SettingsParse, IntegerEntries)
{
    const struct {
        const char16_t* text;
        qint16 limitPos;
    } cases[] = {
        {u"LimitPos=2", 2},
        {u"limitpos = 2", 2},
        {u"\" limitpos = 2 \"", 2},
        {u"\tLIMITPOS\t=\t3", 3},
        {u"LimitPos=2.5", 2},
        {u"LimitPos=3.5", 4},
        {u"LimitPos=-2.5", -2},
        {u"LimitPos=0.5", 0},
        {u"LimitPos=2.51", 3},
        {u"LimitPos=1e1", 10},
        {u"LimitPos=2 options", 2},
        {u"LimitPos=none", 0},
        {u"LimitPos=", 0},
        {u"LimitPos=32767", 32767},
        {u"LimitPos=-32768", -32768},
        {u"LimitPos=-32768.5", -32768},
        {u"LimitPos=40000", -1},
        {u"LimitPos=32767.5", -1},
        {u"LimitPos=-32769", -1},
        {u"LimitPos=1e999", -1},
        {u"LimitPos", -1},
        {u"=2", -1},
        {u"Limit Pos=2", -1},
        {u"LimitPos=2\r\nLimitPos=40000", 2},
        {u"LimitPos=2\r\nLimitPos=1", 1},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(parseOverDefaults(text).values.LimitPos, c.limitPos) << text.toStdString();
    }
}

TEST(SettingsParse, EachKeyReachesItsValue)
{
    const SettingsRead read = parseOverDefaults(
        u"\"PlotMode=1\"\r\n\"TetraPrecision=0\"\r\n\"DispHelp=5\"\r\n\"ColorPrintMode=0\"\r\n"
        "\"MainLeft=1440.5\"\r\n\"MainTop=-20\"\r\n\"ResultsLeft=7e2\"\r\n\"ResultsTop=12abc\"\r\n"
        "\"Search=  メタン  \"\r\n\"UsualDirectory=/data/Reactions/\"\r\n"
        "\"PrintFontName= IPAGothic \"\r\n\"PrintFontSize=10.5\"\r\n"_s);
    SettingsValues expected = defaultSettings(kStart);
    expected.PlotMode = 1;
    expected.TetraPrecision = 0;
    expected.DispHelp = 5;
    expected.ColorPrintMode = 0;
    expected.MainLeft = 1440.5f;
    expected.MainTop = -20;
    expected.ResultsLeft = 700;
    expected.ResultsTop = 12;
    expected.Search = u"メタン"_s;
    expected.UsualDirectory = u"/data/Reactions/"_s;
    expected.PrintFontName = u"IPAGothic"_s;
    expected.PrintFontSize = 10.5f;
    EXPECT_EQ(read.values, expected);
    EXPECT_TRUE(read.assignments.empty());
}

TEST(SettingsParse, FloatEntries)
{
    const struct {
        const char16_t* text;
        float size;
    } cases[] = {
        {u"PrintFontSize=12", 12}, {u"PrintFontSize=abc", 0}, {u"PrintFontSize=", 0},
        {u"PrintFontSize=1e40", 10}, {u"PrintFontSize=-1e40", 10}, {u"PrintFontSize=.5", 0.5f},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(parseOverDefaults(text).values.PrintFontSize, c.size) << text.toStdString();
    }
}

TEST(SettingsParse, ReactionFieldsAreAssignedInFileOrder)
{
    const SettingsRead read = parseOverDefaults(
        u"\"Product4=H2\"\r\n\"reactant1 = CO2 \"\r\n\"ReactantNum3=2\"\r\n"
        "\"MolarRatio2=1\"\r\n\"ProductNum1=\"\r\n\"PRESSURE=3\"\r\n\"Reactant1=メタン\"\r\n"_s);
    const std::vector<FieldAssignment> expected{
        {ReactionField::Product, 3, u"H2"_s},     {ReactionField::React, 0, u"CO2"_s},
        {ReactionField::ReactNum, 2, u"2"_s},     {ReactionField::Molar, 1, u"1"_s},
        {ReactionField::ProductNum, 0, QString()}, {ReactionField::Pressure, 0, u"3"_s},
        {ReactionField::React, 0, u"メタン"_s},
    };
    EXPECT_EQ(read.assignments, expected);
    EXPECT_EQ(read.values, defaultSettings(kStart));

    ReactionFields fields;
    for (const FieldAssignment& assignment : read.assignments)
        applyAssignment(fields, assignment);
    ReactionFields applied;
    applied.product[3] = u"H2"_s;
    applied.react[0] = u"メタン"_s;
    applied.reactNum[2] = u"2"_s;
    applied.molar[1] = u"1"_s;
    applied.pressure = u"3"_s;
    EXPECT_EQ(fields, applied);
}

TEST(SettingsParse, PressureWithAComma)
{
    const SettingsRead unquoted = parseOverDefaults(u"Pressure=1,5\r\n"_s);
    ASSERT_EQ(unquoted.assignments.size(), 1u);
    EXPECT_EQ(unquoted.assignments[0].text, u"1"_s);

    const SettingsRead quoted = parseOverDefaults(u"\"Pressure=1,5\"\r\n"_s);
    ASSERT_EQ(quoted.assignments.size(), 1u);
    EXPECT_EQ(quoted.assignments[0].text, u"1,5"_s);
}

TEST(SettingsParse, IgnoredEntriesChangeNothing)
{
    const SettingsRead read = parseOverDefaults(
        u"\"Colour=3\"\r\njust text\r\n\"=5\"\r\n\"LimitPos\"\r\n\r\n; comment\r\n"
        "\"Reactant5=CO\"\r\n"_s);
    EXPECT_EQ(read.values, defaultSettings(kStart));
    EXPECT_TRUE(read.assignments.empty());
}

TEST(SettingsParse, ValueMayHoldEquals)
{
    const SettingsRead read = parseOverDefaults(u"\"Search= a=b = c \"\r\n\"Reactant2==x\"\r\n"_s);
    EXPECT_EQ(read.values.Search, u"a=b = c"_s);
    ASSERT_EQ(read.assignments.size(), 1u);
    EXPECT_EQ(read.assignments[0].text, u"=x"_s);
}

TEST(SettingsFile, WrittenValuesReadBackUnchanged)
{
    SettingsValues values = defaultSettings(kStart);
    values.LimitPos = 2;
    values.PlotMode = 1;
    values.TetraPrecision = 7;
    values.DispHelp = 5;
    values.ColorPrintMode = 0;
    values.MainLeft = 0.1f;
    values.MainTop = 1234.567f;
    values.ResultsLeft = -15.75f;
    values.ResultsTop = 1e-7f;
    values.Search = u"検索 , text"_s; // read back without surrounding blanks
    values.UsualDirectory = u"/データ/Reactions/"_s;
    values.PrintFontName = u"IPAPGothic"_s;
    values.PrintFontSize = 10.5f;
    ReactionFields fields;
    fields.reactNum = {u"1"_s, u"1"_s, {}, u"3"_s};
    fields.react = {u"CO2"_s, u"メタン"_s, {}, u"1-butene"_s};
    fields.molar = {u"1"_s, u"1,5"_s, {}, {}};
    fields.productNum = {u"2"_s, u"2"_s, {}, {}};
    fields.product = {u"CO"_s, u"H2"_s, {}, {}};
    fields.pressure = u"0.5"_s;

    QTemporaryDir folder;
    const QString path = folder.filePath(settingsFileName());
    ASSERT_TRUE(writeSettingsFile(path, values, fields, rememberedEdges(values)));
    const QString text = decodeShiftJis(readBytes(path));
    EXPECT_EQ(writtenValue(text, u"DispHelp"_s), u"5"_s);
    EXPECT_EQ(writtenValue(text, u"MainLeft"_s), u"0.1"_s);
    EXPECT_EQ(writtenValue(text, u"PrintFontSize"_s), u"10.5"_s);

    const SettingsRead read = readSettingsFile(path, defaultSettings(u"/elsewhere"_s));
    EXPECT_EQ(read.values, values);
    ReactionFields restored;
    for (const FieldAssignment& assignment : read.assignments)
        applyAssignment(restored, assignment);
    EXPECT_EQ(restored, fields);
    EXPECT_EQ(read.assignments.size(), 21u);
}

TEST(SettingsFile, SearchSurvivesRepeatedRuns)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(settingsFileName());
    writeBytes(path, "\"Search=\x83\x81\x83\x5e\x83\x93 ,x\"\r\n");
    for (int run = 0; run < 3; ++run) {
        const SettingsRead read = readSettingsFile(path, defaultSettings(kStart));
        EXPECT_EQ(read.values.Search, u"メタン ,x"_s) << run;
        ASSERT_TRUE(writeSettingsFile(path, read.values, {}, rememberedEdges(read.values)));
    }
}

TEST(SettingsFile, UnreadableFileChangesNothing)
{
    QTemporaryDir folder;
    SettingsValues values = defaultSettings(kStart);
    values.LimitPos = 3;
    const SettingsRead read = readSettingsFile(folder.filePath(u"missing.ini"_s), values);
    EXPECT_EQ(read.values, values);
    EXPECT_TRUE(read.assignments.empty());
}

TEST(SettingsFile, FailedWritesKeepThePreviousFile)
{
    QTemporaryDir folder;
    const SettingsValues values = defaultSettings(kStart);
    EXPECT_FALSE(writeSettingsFile(folder.filePath(u"missing/Norvane.ini"_s), values, {},
                                   rememberedEdges(values)));

    const QString path = folder.filePath(settingsFileName());
    const QByteArray previous("\"LimitPos=2\"\r\n");
    writeBytes(path, previous);
    bool written = true;
    {
        FileSizeLimit limit(64);
        ASSERT_TRUE(limit.active());
        written = writeSettingsFile(path, values, {}, rememberedEdges(values));
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(path), previous);
    EXPECT_EQ(entriesOf(folder.path()), QStringList{settingsFileName()});
}
