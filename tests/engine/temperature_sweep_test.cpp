// The temperature sweep on its own: where every point's dG comes from, when
// rows are drawn, and what CalCv is given.
#include "engine_fixtures.h"

#include "engine/temperature_sweep.h"

#include "database/compound_index.h"

#include "common/failure.h"

#include <gtest/gtest.h>

#include <set>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

constexpr double kKpFactor = 1000 / 1.987216;

// A = B, one mole each, 1 atm: the reaction's dG is B's Gibbs energy minus A's.
ReactionDefinition isomerisation()
{
    ReactionDefinition definition;
    definition.reactantNames[0] = u"A"_s;
    definition.reactantCoefficients[0] = 1;
    definition.reactantRatios[0] = 1;
    definition.reactantCount = 1;
    definition.productNames[0] = u"B"_s;
    definition.productCoefficients[0] = 1;
    definition.productCount = 1;
    definition.limitingCompound = 1;
    definition.totalPressure = 1;
    return definition;
}

CompoundIndex isomerDatabase(const std::array<double, 8>& gibbsOfB)
{
    return CompoundIndex::parse(databaseText(
        {{u"A"_s, {2, 6, 1}, {0, 0, 0, 0, 0, 0, 0, 0}}, {u"B"_s, {2, 6, 1}, gibbsOfB}}));
}

// dG of the reaction at a data temperature is T / 100 kcal, so that the
// interpolation arguments show which temperatures they came from.
const std::array<double, 8> kDgIsHundredthOfT{3, 4, 5, 6, 7, 8, 9, 10};

ResultTable sweepAll(TemperatureSweep& sweep)
{
    sweep.computeFirstRows();
    sweep.computeMiddleRows(500, 700);
    sweep.computeMiddleRows(800, 1000);
    sweep.computeLastRow();
    return sweep.table();
}

TEST(TemperatureSweep, EveryPointTakesItsDgFromItsSource)
{
    const CompoundIndex database = isomerDatabase(kDgIsHundredthOfT);
    const ReactionDefinition definition = isomerisation();
    for (const bool tetraPrecision : {true, false}) {
        SCOPED_TRACE(tetraPrecision ? "25 K" : "100 K");
        ScriptedSolver solver(/*tagging=*/true);
        TemperatureSweep sweep(definition, database, solver, kKpFactor, tetraPrecision, {});
        const ResultTable table = sweepAll(sweep);

        std::set<std::size_t> usedCalls;
        for (const bool kelvinSeries : {true, false}) {
            for (int i = 0; i < ResultTable::kPoints; ++i) {
                SCOPED_TRACE(::testing::Message() << (kelvinSeries ? "kelvin " : "celsius ") << i);
                const ResultPoint& point = kelvinSeries ? table.kelvin[i] : table.celsius[i];
                const bool inMode = tetraPrecision || i % 4 == 0;
                EXPECT_EQ(point.computed, inMode);
                if (!inMode)
                    continue;
                const DgSource source = expectedDgSource(kelvinSeries, i);
                if (source.database) {
                    EXPECT_EQ(point.dG, source.at / 100.0);
                    continue;
                }
                const std::size_t call = std::size_t(point.dG - 100.0);
                ASSERT_EQ(point.dG, 100.0 + double(call)) << "not a value from Interp";
                ASSERT_LT(call, solver.interpCalls.size());
                EXPECT_TRUE(usedCalls.insert(call).second) << "one Interp call per point";
                const auto& args = solver.interpCalls[call];
                EXPECT_EQ(args.t1, float(source.from));
                EXPECT_EQ(args.t2, float(source.to));
                EXPECT_EQ(args.t, float(source.at));
                EXPECT_EQ(args.g1, table.kelvin[(source.from - 300) / 25].dG);
                EXPECT_EQ(args.g2, table.kelvin[(source.to - 300) / 25].dG);
            }
        }
        EXPECT_EQ(usedCalls.size(), solver.interpCalls.size());
    }
}

TEST(TemperatureSweep, CalCvGetsZeroBeyondTheCountsAndTheFixedTolerance)
{
    const CompoundIndex database = isomerDatabase(kDgIsHundredthOfT);
    ReactionDefinition definition = isomerisation();
    definition.reactantCoefficients[2] = 7;
    definition.reactantRatios[3] = 8;
    definition.productCoefficients[1] = 9;
    ScriptedSolver solver;
    TemperatureSweep sweep(definition, database, solver, kKpFactor, false, {});
    sweep.computeFirstRows();
    EXPECT_EQ(solver.lastCounts, (std::array<int, 2>{1, 1}));
    EXPECT_EQ(solver.lastReactantCoef, (std::array<double, 4>{1, 0, 0, 0}));
    EXPECT_EQ(solver.lastProductCoef, (std::array<double, 4>{1, 0, 0, 0}));
    EXPECT_EQ(solver.lastTolerance, 0);
}

TEST(TemperatureSweep, RowsAreDrawnAsSoonAsTheirPointsAreComputed)
{
    const CompoundIndex database = isomerDatabase(kDgIsHundredthOfT);
    ScriptedSolver solver;
    std::vector<std::pair<int, std::size_t>> drawn; // row, CalCv calls made before it
    TemperatureSweep sweep(isomerisation(), database, solver, kKpFactor, true,
                           [&](int row, const ResultPoint& kelvin, const ResultPoint& celsius) {
                               EXPECT_TRUE(kelvin.computed);
                               EXPECT_TRUE(celsius.computed);
                               EXPECT_DOUBLE_EQ(kelvin.dG,
                                                ResultTable::kelvinTemperature(4 * row) / 100.0);
                               drawn.emplace_back(row, solver.kps.size());
                           });
    sweepAll(sweep);
    // 25 K mode: rows 0 and 1 after four points, then each row right after its two.
    const std::vector<std::pair<int, std::size_t>> expected{
        {0, 4}, {1, 4}, {2, 12}, {3, 20}, {4, 28}, {5, 36}, {6, 44}, {7, 52}, {8, 60}};
    EXPECT_EQ(drawn, expected);
}

TEST(TemperatureSweep, FailuresOfTheFirstAndLastStepsReachTheCaller)
{
    // -500 kcal at 300 K: exp(500 * 503.2 / 300) overflows.
    const CompoundIndex overflowing = isomerDatabase({-500, -400, -300, -200, -100, 0, 100, 200});
    ScriptedSolver solver;
    TemperatureSweep first(isomerisation(), overflowing, solver, kKpFactor, false, {});
    try {
        first.computeFirstRows();
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), 6);
    }

    // -1100 and -1400 kcal at 900 and 1000 K make -1700 at 1100 K: 1700 * 503.2 / 1100 > 709.
    const CompoundIndex lateOverflow = isomerDatabase({0, 0, 0, 0, 0, 0, -1100, -1400});
    TemperatureSweep last(isomerisation(), lateOverflow, solver, kKpFactor, false, {});
    last.computeFirstRows();
    last.computeMiddleRows(500, 700);
    last.computeMiddleRows(800, 1000);
    try {
        last.computeLastRow();
        ADD_FAILURE() << "no failure";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.code(), 6);
    }

    // 1e308 - (-1e308) is an infinite dG, whose Kp of 0 would still reach
    // CalCv: the point rule refuses it as the sweep does, at data
    // temperatures, between them and on the extrapolated line.
    const std::array<double, 8> huge{1e308, 1e308, 1e308, 1e308, 1e308, 1e308, 1e308, 1e308};
    const std::array<double, 8> minusHuge{-1e308, -1e308, -1e308, -1e308,
                                          -1e308, -1e308, -1e308, -1e308};
    const CompoundIndex infinite = CompoundIndex::parse(
        databaseText({{u"A"_s, {2, 6, 1}, minusHuge}, {u"B"_s, {2, 6, 1}, huge}}));
    TemperatureSweep points(isomerisation(), infinite, solver, kKpFactor, false, {});
    for (const double kelvin : {300.0, 650.0, 1050.0, 1100.0}) {
        try {
            points.kelvinPointAt(kelvin);
            ADD_FAILURE() << "no failure at " << kelvin;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.code(), 6);
        }
    }
}

} // namespace
