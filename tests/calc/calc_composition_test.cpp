// norvanta-calc --composition: what it takes from the reaction file and the
// options, and what it writes.
#include "calc_test_support.h"

#include "engine/constants.h"
#include "composition/gibbs_equilibrium.h"

#include "database/compound_index.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

// CH4 + H2O = CO + 3 H2 fed at 1:3.
ReactionFields steamReforming(const QString& pressure)
{
    return reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u" H2O "_s, u"1"_s, u"3"_s}},
                    {{u"CO"_s, u"1"_s}, {u"H2"_s, u"3"_s}}, 0, pressure);
}

TEST(CalcComposition, WritesTheEnginesTableOfTheFilesFeed)
{
    struct Case {
        const char* label;
        QStringList options;
        QString pressure;
        CompositionRequest request; // what the file and options ask of the engine
        QString header;             // empty: not checked
        size_t rows;
    };
    const auto request = [](double pressure, bool graphite, bool tetra, QStringList species) {
        CompositionRequest r;
        r.feedNames = {u"CH4"_s, u"H2O"_s};
        r.feedMoles = {1, 3};
        r.totalPressure = pressure;
        r.graphite = graphite;
        r.species = species;
        r.tetraPrecision = tetra;
        return r;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"every species, 25 K steps by default", {}, u"1"_s, request(1, false, true, {}), {}, 66},
        {"graphite and a species list at 20 atm",
         {u"--graphite"_s, u"--species"_s, u"CO, CO2,H2"_s, u"--step"_s, u"100"_s}, u"20"_s,
         request(20, true, false, {u"CO"_s, u"CO2"_s, u"H2"_s}), u"系列\t温度(K)\tH2\tH2O\tCO\tCO2\tCH4\tC(gr)"_s, 18},
    };
    // clang-format on
    const CompoundIndex database = CompoundIndex::load(shippedDatabasePath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CalcFolder folder;
        const QString file = folder.writeReaction(u"steam.txt"_s, steamReforming(c.pressure));
        const CalcRun run =
            folder.run(QStringList{u"--composition"_s} + c.options + QStringList{file});
        EXPECT_EQ(run.status, calc::ExitStatus::Success);
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
        const QString expected = compositionText(
            compositionTable(compositionSystem(c.request, database), PhysicalConstants{}), u"\n"_s);
        EXPECT_EQ(QString::fromUtf8(run.out), expected);

        const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
        ASSERT_EQ(size_t(lines.size()), c.rows + 3); // header, rows, empty line, end
        if (!c.header.isEmpty()) {
            EXPECT_EQ(lines[0], c.header);
        }
        EXPECT_TRUE(lines[1].startsWith(u"K\t300\t"_s));
        EXPECT_TRUE(lines[c.rows / 2 + 1].startsWith(u"C\t273.15\t"_s));
        EXPECT_EQ(lines[c.rows + 1], QString());
    }
}

// The options' blocks are the default tables of the same feed: one per
// pressure in the order given, the range's rows the kelvin series' rows.
TEST(CalcComposition, PressuresAndRangeAreTheDefaultTablesRearranged)
{
    CalcFolder folder;
    const auto blockOf = [&](const QString& pressure, const QStringList& options) {
        const QString file = folder.writeReaction(u"p"_s + pressure + u".txt"_s,
                                                  steamReforming(pressure));
        return QString::fromUtf8(
            folder.run(QStringList{u"--composition"_s, u"--step"_s, u"100"_s} + options +
                       QStringList{file})
                .out);
    };
    const QString at1 = blockOf(u"1"_s, {});
    const QString at25 = blockOf(u"25"_s, {});
    EXPECT_EQ(blockOf(u"3"_s, {u"--pressures=25,1"_s}),
              u"# 全圧 25 atm\n"_s + at25 + u"# 全圧 1 atm\n"_s + at1);
    // With a range the species come from the polynomial file: one series "K"
    // at the range's temperatures.
    const QStringList rangeRows = blockOf(u"1"_s, {u"--range=300:1100:100"_s}).split(u'\n');
    ASSERT_EQ(rangeRows.size(), 12);
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(rangeRows[i + 1].startsWith(u"K\t"_s + QString::number(300 + 100 * i) + u"\t"_s));
    // Beyond Norvane.dat's 1000 K the polynomials serve: nothing is extended.
    const QString file = folder.writeReaction(u"steam.txt"_s, steamReforming(u"1"_s));
    const CalcRun beyond = folder.run({u"--composition"_s, u"--range=900:1100:100"_s, file});
    EXPECT_EQ(beyond.status, calc::ExitStatus::Success);
    EXPECT_EQ(QString::fromUtf8(beyond.err), QString());
}

// --adiabatic writes per pressure one row "H" at the temperature found;
// --condensed a column per condensed species that appears, by its data name.
TEST(CalcComposition, AdiabaticRowsAndCondensedColumns)
{
    CalcFolder folder;
    const QString flame = folder.writeReaction(
        u"flame.txt"_s,
        reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"O2"_s, u"2"_s, u"2"_s}, {u"N2"_s, u"1"_s, u"7.52"_s}},
                 {{u"CO2"_s, u"1"_s}, {u"H2O"_s, u"2"_s}}, 0));
    const CalcRun adiabatic =
        folder.run({u"--composition"_s, u"--adiabatic=298.15"_s, u"--pressures=1,10"_s, flame});
    EXPECT_EQ(adiabatic.status, calc::ExitStatus::Success);
    const QStringList lines = QString::fromUtf8(adiabatic.out).split(u'\n');
    ASSERT_EQ(lines.size(), 9); // per pressure: its line, header, row, empty line; the end
    EXPECT_EQ(lines[0], u"# 全圧 1 atm"_s);
    EXPECT_EQ(lines[4], u"# 全圧 10 atm"_s);
    EXPECT_NEAR(lines[2].section(u'\t', 1, 1).toDouble(), 2224, 0.5);
    EXPECT_TRUE(lines[2].startsWith(u"H\t"_s));
    EXPECT_NEAR(lines[6].section(u'\t', 1, 1).toDouble(), 2267, 0.5);

    const QString water = folder.writeReaction(
        u"water.txt"_s,
        reaction({{u"H2"_s, u"2"_s, u"2"_s}, {u"O2"_s, u"1"_s, u"1"_s}, {u"N2"_s, u"1"_s, u"4"_s}},
                 {{u"H2O"_s, u"2"_s}}, 0));
    const CalcRun condensed =
        folder.run({u"--composition"_s, u"--condensed"_s, u"--range=300:400:50"_s, water});
    EXPECT_EQ(condensed.status, calc::ExitStatus::Success);
    const QStringList rows = QString::fromUtf8(condensed.out).split(u'\n');
    ASSERT_GE(rows.size(), 4);
    EXPECT_TRUE(rows[0].endsWith(u"\tH2O(L)"_s)) << rows[0].toStdString();
    EXPECT_GT(rows[1].section(u'\t', -1).toDouble(), 0);  // 300 K: liquid water
    EXPECT_EQ(rows[3].section(u'\t', -1), u"0"_s);        // 400 K: none
}

// Dry fractions leave water out and sum to 1; conversions of steam reforming
// lie within 0 and 1 and methane's grows with the temperature; H2/CO is the
// ratio of the wet fractions.
TEST(CalcComposition, DryBasisAndDerivedFigures)
{
    CalcFolder folder;
    const QString file = folder.writeReaction(u"steam.txt"_s, steamReforming(u"1"_s));
    const auto rows = [&](const QString& option) {
        QStringList lines = QString::fromUtf8(folder.run({u"--composition"_s, u"--step=100"_s,
                                                          u"--range=500:1100:100"_s, option, file})
                                                  .out)
                                .split(u'\n');
        std::vector<QStringList> fields;
        for (const QString& line : lines.mid(0, 8))
            fields.push_back(line.split(u'\t'));
        return fields;
    };
    const std::vector<QStringList> dry = rows(u"--dry"_s), derived = rows(u"--derived"_s);
    const QStringList& header = derived[0];
    ASSERT_EQ(header.mid(header.size() - 3),
              (QStringList{u"転化率:CH4"_s, u"転化率:H2O"_s, u"H2/CO"_s}));
    const qsizetype water = header.indexOf(u"H2O"_s), h2 = header.indexOf(u"H2"_s),
                    co = header.indexOf(u"CO"_s), species = header.size() - 3;
    double lastConversion = -1;
    for (size_t r = 1; r < dry.size(); ++r) {
        SCOPED_TRACE(dry[r][1].toStdString());
        EXPECT_EQ(dry[r][water], u"0"_s);
        double sum = 0;
        for (qsizetype k = 2; k < species; ++k)
            sum += dry[r][k].toDouble();
        EXPECT_NEAR(sum, 1, 1e-12);
        const double methane = derived[r][species].toDouble();
        EXPECT_GT(methane, lastConversion);
        lastConversion = methane;
        EXPECT_GE(derived[r][species + 1].toDouble(), 0);
        EXPECT_LE(methane, 1);
        EXPECT_NEAR(derived[r][species + 2].toDouble(),
                    derived[r][h2].toDouble() / derived[r][co].toDouble(),
                    1e-12 * derived[r][species + 2].toDouble());
    }
}

TEST(CalcComposition, RefusalsAndFailures)
{
    CalcFolder folder;
    const QString steam = folder.writeReaction(u"steam.txt"_s, steamReforming(u"1"_s));
    const QString unknown = folder.writeReaction(
        u"unknown.txt"_s, reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"XeF6"_s, u"1"_s, u"1"_s}},
                                   {{u"CO"_s, u"1"_s}}, 0));
    const QString water = folder.writeReaction(
        u"water.txt"_s,
        reaction({{u"H2"_s, u"2"_s, u"2"_s}, {u"O2"_s, u"1"_s, u"1"_s}}, {{u"H2O"_s, u"2"_s}}, 0));
    const QString noRatio = folder.writeReaction(
        u"noratio.txt"_s, reaction({{u"CH4"_s, u"1"_s, u""_s}}, {{u"CO"_s, u"1"_s}}, 0));
    // A reaction the composition refuses: exit 1, its message, its empty line.
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{u"--species"_s, u"H2O,CH4"_s, water},
         water + u": CH4は反応系にない元素を含んでいます\n"_s},
        {{unknown}, unknown + u": 反応系(No.2)はファイルに登録されていません\n"_s},
        {{noRatio}, noRatio + u": 分圧(比)を入力してください\n"_s},
    };
    for (const auto& [arguments, err] : cases) {
        const CalcRun run = folder.run(QStringList{u"--composition"_s} + arguments);
        EXPECT_EQ(run.status, calc::ExitStatus::InvalidReaction);
        EXPECT_EQ(QString::fromUtf8(run.err), err);
        EXPECT_EQ(run.out, "\n");
    }
    // A failed file leaves its empty line between the others' blocks.
    const CalcRun both = folder.run({u"--composition"_s, u"--step"_s, u"100"_s, unknown, steam});
    EXPECT_EQ(both.status, calc::ExitStatus::InvalidReaction);
    EXPECT_TRUE(both.out.startsWith("\n\xe7\xb3\xbb\xe5\x88\x97\t")); // "\n系列\t"
    EXPECT_EQ(both.out.count('\n'), 1 + 20);
}

} // namespace
