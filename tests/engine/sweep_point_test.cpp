// The sweep's point rule at any temperature, which the command-line summary
// bisects on: at the 25 K points it must give exactly the points of the sweep.
#include "engine_fixtures.h"

#include "engine/solver_library.h"
#include "engine/temperature_sweep.h"

#include "database/compound_index.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;

TEST(TemperatureSweepPointAt, GivesTheSweepsOwnPointsAndItsStraightLinesBetween)
{
    // CO2 + CH4 = 2 CO + 2 H2 style counts, with dG bending at every data
    // temperature so that a wrong segment shows.
    ReactionDefinition definition;
    definition.reactantNames = {u"A"_s, u"B"_s};
    definition.reactantCoefficients = {1, 1};
    definition.reactantRatios = {1, 1.5};
    definition.reactantCount = 2;
    definition.productNames = {u"C"_s, u"D"_s};
    definition.productCoefficients = {2, 2};
    definition.productCount = 2;
    definition.limitingCompound = 1;
    definition.totalPressure = 3;
    const CompoundIndex database = CompoundIndex::parse(
        databaseText({{u"A"_s, {1, 0, 2}, {-94, -94, -94, -94, -94, -94, -94, -94}},
                      {u"B"_s, {1, 4, 0}, {-12, -10, -8, -5, -3, 0, 2, 4}},
                      {u"C"_s, {1, 0, 1}, {-33, -35, -37, -40, -41, -44, -46, -48}},
                      {u"D"_s, {0, 2, 0}, {0, 0, 0, 0, 0, 0, 0, 0}}}));
    SolverLibrary solver(QString::fromUtf8(NORVANTA_SOLVER_PATH));
    TemperatureSweep sweep(definition, database, solver, 1000 / 1.987216, true, {});
    sweep.computeFirstRows();
    sweep.computeMiddleRows(500, 700);
    sweep.computeMiddleRows(800, 1000);
    sweep.computeLastRow();
    const ResultTable& table = sweep.table();

    for (int i = 0; i < ResultTable::kPoints; ++i) {
        const ResultPoint& expected = table.kelvin[size_t(i)];
        const ResultPoint point = sweep.kelvinPointAt(ResultTable::kelvinTemperature(i));
        EXPECT_EQ(point.dG, expected.dG) << "point " << i;
        EXPECT_EQ(point.kp, expected.kp) << "point " << i;
        EXPECT_EQ(point.conversion, expected.conversion) << "point " << i;
    }
    // Between two data temperatures, and beyond 1000 K on the extrapolated line.
    for (const double kelvin : {612.5, 1012.5}) {
        const int i = (int(kelvin) - 300) / 25;
        const double dG = table.kelvin[size_t(i)].dG +
                          (table.kelvin[size_t(i + 1)].dG - table.kelvin[size_t(i)].dG) / 2;
        EXPECT_NEAR(sweep.kelvinPointAt(kelvin).dG, dG, 1e-12) << kelvin;
    }
}
