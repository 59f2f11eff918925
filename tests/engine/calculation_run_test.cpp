// Whole runs: the order of the nine steps and what the window is asked to
// do, results of two reactions through Norvane.dll against an independent
// solution, the error handler's messages, and points that fail in steps 6
// and 7 without stopping the run.
#include "engine_fixtures.h"
#include "../solver/equilibrium_reference.h"

#include "engine/calculation_run.h"
#include "engine/solver_library.h"

#include "database/record_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

constexpr double kKpFactor = 1000 / 1.987216;

QString solverPath()
{
    return QStringLiteral(NORVANTA_SOLVER_PATH);
}

TEST(CalculationRun, NineStepsWithTheirProgressAndWindowWork)
{
    RunFolder folder;
    folder.writeDatabase(databaseText(gasCompounds()));
    SolverLibrary solver(solverPath());
    for (const bool tetraPrecision : {true, false}) {
        SCOPED_TRACE(tetraPrecision);
        RunBench bench(folder, reformingFields(), solver);
        bench.run.start(tetraPrecision);
        std::vector<TickResult> ticks;
        do
            ticks.push_back(bench.run.tick());
        while (ticks.back().outcome == TickOutcome::Continue);

        ASSERT_EQ(ticks.size(), 9u);
        const int progress[] = {11, 22, 33, 44, 55, 66, 77, 88, 100};
        for (int step = 1; step <= 9; ++step) {
            EXPECT_EQ(ticks[step - 1].step, step);
            EXPECT_EQ(ticks[step - 1].progress, progress[step - 1]);
            EXPECT_EQ(CalculationRun::progressValue(step), progress[step - 1]);
            EXPECT_FALSE(ticks[step - 1].message);
        }
        EXPECT_EQ(ticks.back().outcome, TickOutcome::Finished);
        EXPECT_FALSE(bench.run.running());
        EXPECT_EQ(bench.run.tick().outcome, TickOutcome::Idle);

        const QString caption =
            tetraPrecision ? u"caption 計算結果 - 25Kモード"_s : u"caption 計算結果 - 100Kモード"_s;
        const QStringList expected{
            u"progress 11"_s, u"prepare"_s,      u"fields"_s,      u"progress 22"_s,
            u"fields"_s,      u"progress 33"_s,  u"progress 44"_s, u"progress 55"_s,
            u"row 0"_s,       u"row 1"_s,        u"progress 66"_s, u"row 2"_s,
            u"row 3"_s,       u"row 4"_s,        u"progress 77"_s, u"row 5"_s,
            u"row 6"_s,       u"row 7"_s,        u"progress 88"_s, u"row 8"_s,
            caption,          u"progress 100"_s, u"finish"_s};
        EXPECT_EQ(bench.host.events, expected);

        for (const auto& drawn : bench.host.rows) {
            SCOPED_TRACE(drawn.row);
            EXPECT_TRUE(drawn.kelvin.computed);
            EXPECT_EQ(drawn.kelvin.conversion, bench.results.kelvin[4 * drawn.row].conversion);
            EXPECT_EQ(drawn.celsius.kp, bench.results.celsius[4 * drawn.row].kp);
        }
    }
}

// The reaction's dG at a point from the fixture's Gibbs energies: the sum at
// data temperatures, a straight line through the point's segment elsewhere.
double expectedDg(bool kelvinSeries, int i, const std::function<double(int)>& dataDg)
{
    const DgSource source = expectedDgSource(kelvinSeries, i);
    if (source.database)
        return dataDg(source.at);
    const auto atKelvin = [&](int t) {
        return t == 1100 ? expectedDg(true, 32, dataDg) : dataDg(t);
    };
    const double g1 = atKelvin(source.from);
    const double g2 = atKelvin(source.to);
    return g1 + (g2 - g1) * (source.at - source.from) / double(source.to - source.from);
}

TEST(CalculationRun, EquilibriaAgreeWithAnIndependentSolution)
{
    std::map<QString, std::array<double, 8>> gibbs;
    for (const Compound& c : gasCompounds())
        gibbs[c.name] = c.gibbs;
    const auto g = [&](const QString& name, int kelvin) { return gibbs[name][kelvin / 100 - 3]; };

    const struct {
        const char* name;
        ReactionFields fields;
        std::function<double(int)> dataDg;
        test::SolverReaction normalised;
        double pressure;
    } cases[] = {
        {"CO2 + CH4 = 2 CO + 2 H2",
         reformingFields(),
         [&](int t) {
             return -g(u"CO2"_s, t) - g(u"CH4"_s, t) + 2 * g(u"CO"_s, t) + 2 * g(u"H2"_s, t);
         },
         {2, 2, {1, 1}, {1, 1}, {2, 2}},
         1},
        // CO limiting with twice its amount of steam, at 5 atm.
        {"CO + H2O = CO2 + H2",
         reactionFields({{u"H2O"_s, u"1"_s, u"2"_s}, {u"CO"_s, u"1"_s, u"1"_s}},
                        {{u"CO2"_s, u"1"_s}, {u"H2"_s, u"1"_s}}, 1, u"5"_s),
         [&](int t) { return -g(u"CO"_s, t) - g(u"H2O"_s, t) + g(u"CO2"_s, t) + g(u"H2"_s, t); },
         {2, 2, {1, 1}, {1, 2}, {1, 1}},
         5},
    };

    RunFolder folder;
    folder.writeDatabase(databaseText(gasCompounds()));
    SolverLibrary solver(solverPath());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunBench bench(folder, c.fields, solver, kKpFactor);
        ASSERT_EQ(bench.runToEnd(true).outcome, TickOutcome::Finished);
        for (const bool kelvinSeries : {true, false}) {
            for (int i = 0; i < ResultTable::kPoints; ++i) {
                SCOPED_TRACE(::testing::Message() << (kelvinSeries ? "kelvin " : "celsius ") << i);
                const ResultPoint& point =
                    kelvinSeries ? bench.results.kelvin[i] : bench.results.celsius[i];
                const double kelvin = kelvinSeries ? ResultTable::kelvinTemperature(i)
                                                   : ResultTable::celsiusTemperatureK(i);
                const double dG = expectedDg(kelvinSeries, i, c.dataDg);
                const double kp = std::exp(-dG * kKpFactor / kelvin);
                const double x = test::referenceConversion(c.normalised, kp, c.pressure);
                EXPECT_TRUE(point.computed);
                EXPECT_NEAR(point.dG, dG, 1e-9);
                EXPECT_NEAR(point.kp, kp, 1e-8 * kp);
                EXPECT_NEAR(point.conversion, x, 1e-7 * x);
            }
        }
    }
}

// A run that stops leaves the previous results as they were.
void expectSameResults(const ResultTable& actual, const ResultTable& expected)
{
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        for (const auto& [a, e] : {std::pair{actual.kelvin[i], expected.kelvin[i]},
                                   std::pair{actual.celsius[i], expected.celsius[i]}}) {
            EXPECT_EQ(a.computed, e.computed) << i;
            EXPECT_EQ(a.dG, e.dG) << i;
            EXPECT_EQ(a.kp, e.kp) << i;
            EXPECT_EQ(a.conversion, e.conversion) << i;
        }
    }
}

TEST(CalculationRunErrors, TheHandlerShowsOneMessageAndStops)
{
    const ReactionFields isomerisation =
        reactionFields({{u"A"_s, u"1"_s, u"1"_s}}, {{u"B"_s, u"1"_s}}, 0);
    const Compound a{u"A"_s, {2, 6, 1}, {0, 0, 0, 0, 0, 0, 0, 0}};
    const Compound b{u"B"_s, {2, 6, 1}, {-500, -400, -300, -200, -100, 0, 100, 200}};
    const QString gases = databaseText(gasCompounds());
    const auto internal = [](int code) {
        return u"内部エラー(No: "_s + QString::number(code) + u")が発生しました"_s;
    };

    const struct {
        const char* name;
        QString database; // empty: no Norvane.dat
        bool textAsLibrary;
        bool libraryInFolder;
        ReactionFields fields;
        int step;
        QString text;
        MessageIcon icon;
    } cases[] = {
        {"LibraryMissing", gases, false, true, reformingFields(), 5,
         u"Norvane.dllファイルがないため計算できません"_s, MessageIcon::Exclamation},
        {"LibraryDamaged", gases, true, true, reformingFields(), 5,
         u"Norvane.dllファイルが異常なため計算できません"_s, MessageIcon::Exclamation},
        {"DatabaseMissing", QString(), false, false, reformingFields(), 3, internal(53),
         MessageIcon::Error},
        {"RecordCutShort", databaseText(gasCompounds(), {u"\"XX\", 0, 2"_s}), false, false,
         reactionFields({{u"H2"_s, u"1"_s, u"1"_s}}, {{u"XX"_s, u"1"_s}}, 0), 3,
         u"化合物データファイル(Norvane.dat)が異常です"_s, MessageIcon::Exclamation},
        {"ExpOverflow", databaseText({a, b}), false, false, isomerisation, 5, internal(6),
         MessageIcon::Error},
        // A number too large for a double in Norvane.dat is the overflow
        // failure (a typed one is refused as its field's invalid number).
        {"AtomCountOverflows", databaseText({a}, {u"\"B\", 2, 1e999, 1, 0, 0, 0, 0, 0, 0, 0, 0"_s}),
         false, false, isomerisation, 3, internal(6), MessageIcon::Error},
        {"DgOverflowsAt700K",
         databaseText({a}, {u"\"B\", 2, 6, 1, 0, 0, 0, 0, -1e309, 0, 0, 0"_s}), false, false,
         isomerisation, 5, internal(6), MessageIcon::Error},
        {"LimitingCoefficientZero", gases, false, false,
         reactionFields({{u"CO"_s, u"0"_s, u"1"_s}, {u"H2"_s, u"1"_s, u"1"_s}}, {{u"H2"_s, u"1"_s}},
                        0),
         4, internal(11), MessageIcon::Error},
        {"LimitingRatioZero", gases, false, false,
         reactionFields({{u"CO2"_s, u"1"_s, u"0"_s}, {u"CH4"_s, u"1"_s, u"1"_s}},
                        {{u"CO"_s, u"2"_s}, {u"H2"_s, u"2"_s}}, 0),
         4, internal(11), MessageIcon::Error},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunFolder folder;
        if (!c.database.isEmpty())
            folder.writeDatabase(c.database);
        if (c.textAsLibrary)
            folder.writeTextAsLibrary();
        SolverLibrary solver(c.libraryInFolder ? folder.libraryPath() : solverPath());
        RunBench bench(folder, c.fields, solver);
        const ResultTable before = bench.results;

        const TickResult result = bench.runToEnd(false);
        EXPECT_EQ(result.outcome, TickOutcome::StoppedByError);
        EXPECT_EQ(result.step, c.step);
        ASSERT_TRUE(result.message);
        EXPECT_EQ(result.message->text, c.text);
        EXPECT_EQ(result.message->icon, c.icon);
        EXPECT_EQ(result.message->title, u"Norvanta"_s);
        EXPECT_EQ(result.focus, FocusTarget{});
        EXPECT_EQ(bench.host.events.back(), u"stop"_s);
        EXPECT_EQ(bench.host.events.count(u"stop"_s), 1);
        EXPECT_FALSE(bench.host.events.contains(u"finish"_s));
        EXPECT_FALSE(bench.run.running());
        expectSameResults(bench.results, before);
    }
}

// Norvane.dat is read where the lookups begin: without it, the checks of
// step 2 still come first with their own messages.
TEST(CalculationRunErrors, StepTwoChecksComeBeforeAMissingDatabase)
{
    const ReactantRow noRatio{u"CH4"_s, u"1"_s, u""_s};
    const struct {
        const char* name;
        ReactionFields fields;
        QString text;
    } cases[] = {
        {"no reactants", reactionFields({}, {{u"CO"_s, u"2"_s}}, 0), u"反応系を入力してください"_s},
        {"no ratio", reactionFields({{u"CO2"_s, u"1"_s, u"1"_s}, noRatio}, {{u"CO"_s, u"2"_s}}, 0),
         u"分圧(比)を入力してください"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunFolder folder;
        SolverLibrary solver(solverPath());
        RunBench bench(folder, c.fields, solver);
        const TickResult result = bench.runToEnd(false);
        EXPECT_EQ(result.outcome, TickOutcome::StoppedByValidation);
        EXPECT_EQ(result.step, 2);
        ASSERT_TRUE(result.message);
        EXPECT_EQ(result.message->text, c.text);
    }
}

TEST(CalculationRun, StoppedRunKeepsThePreviousResults)
{
    RunFolder folder;
    folder.writeDatabase(databaseText(gasCompounds()));
    SolverLibrary solver(solverPath());
    RunBench bench(folder, reformingFields(), solver);
    ASSERT_EQ(bench.runToEnd(true).outcome, TickOutcome::Finished);
    const ResultTable finished = bench.results;

    bench.fields.pressure = u"0"_s;
    EXPECT_EQ(bench.runToEnd(true).outcome, TickOutcome::StoppedByValidation);
    expectSameResults(bench.results, finished);
}

TEST(CalculationRun, RecordRegisteredBetweenRunsIsSeen)
{
    RunFolder folder;
    std::vector<Compound> compounds = gasCompounds();
    const auto methane = std::find_if(compounds.begin(), compounds.end(),
                                      [](const Compound& c) { return c.name == u"CH4"_s; });
    const Compound registered = *methane;
    compounds.erase(methane);
    folder.writeDatabase(databaseText(compounds));
    SolverLibrary solver(solverPath());
    RunBench bench(folder, reformingFields(), solver);

    const TickResult missing = bench.runToEnd(false);
    ASSERT_TRUE(missing.message);
    EXPECT_EQ(missing.message->text, u"反応系(No.2)はファイルに登録されていません"_s);

    appendCompoundRecord(folder.databasePath(),
                         compoundRecordLine(registered.name, registered.atoms, registered.gibbs));
    EXPECT_EQ(bench.runToEnd(false).outcome, TickOutcome::Finished);
}

// Points that fail inside steps 6 and 7 are not computed; the run goes on.
TEST(CalculationRunMend, FailedPointsAreNotComputedAndTheRunFinishes)
{
    const ReactionFields isomerisation =
        reactionFields({{u"A"_s, u"1"_s, u"1"_s}}, {{u"B"_s, u"1"_s}}, 0);
    const Compound a{u"A"_s, {2, 6, 1}, {0, 0, 0, 0, 0, 0, 0, 0}};
    // -1000 kcal at 700 K overflows Kp there (1000 * 503.2 / 700 > 709) and at
    // 698 K (-1020 kcal on the 700-800 K segment), nowhere else.
    const Compound overflowAt700{u"B"_s, {2, 6, 1}, {0, 0, 0, 0, -1000, 0, 0, 0}};
    // The file ends after B's Gibbs energy at 800 K: 900 and 1000 K cannot be
    // read, nor can any point interpolated from them.
    const QString cutAfter800 = databaseText({a}, {u"\"B\", 2, 6, 1, -1, -2, -3, -4, -5, -6"_s});

    const struct {
        const char* name;
        QString database;
        bool tetraPrecision;
        std::function<bool(bool kelvinSeries, int i)> computed;
    } cases[] = {
        {"Overflow25K", databaseText({a, overflowAt700}), true,
         [](bool k, int i) { return !(k && i == 16) && !(!k && i == 17); }},
        {"Overflow100K", databaseText({a, overflowAt700}), false,
         [](bool k, int i) { return i % 4 == 0 && !(k && i == 16); }},
        {"CutShort25K", cutAfter800, true, [](bool, int i) { return i <= 20; }},
        {"CutShort100K", cutAfter800, false, [](bool, int i) { return i <= 20 && i % 4 == 0; }},
    };
    SolverLibrary solver(solverPath());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunFolder folder;
        folder.writeDatabase(c.database);
        RunBench bench(folder, isomerisation, solver);
        ASSERT_EQ(bench.runToEnd(c.tetraPrecision).outcome, TickOutcome::Finished);
        for (const bool kelvinSeries : {true, false}) {
            for (int i = 0; i < ResultTable::kPoints; ++i) {
                const ResultPoint& point =
                    kelvinSeries ? bench.results.kelvin[i] : bench.results.celsius[i];
                EXPECT_EQ(point.computed, c.computed(kelvinSeries, i))
                    << (kelvinSeries ? "kelvin " : "celsius ") << i;
            }
        }
        ASSERT_EQ(bench.host.rows.size(), 9u);
        for (const auto& drawn : bench.host.rows) {
            EXPECT_EQ(drawn.kelvin.computed, c.computed(true, 4 * drawn.row)) << drawn.row;
            EXPECT_EQ(drawn.celsius.computed, c.computed(false, 4 * drawn.row)) << drawn.row;
        }
    }
}

TEST(CalculationRunMend, HundredKelvinRunAfterA25KRunLeavesNoPointsBetween)
{
    RunFolder folder;
    folder.writeDatabase(databaseText(gasCompounds()));
    SolverLibrary solver(solverPath());
    RunBench bench(folder, reformingFields(), solver);
    ASSERT_EQ(bench.runToEnd(true).outcome, TickOutcome::Finished);
    ASSERT_EQ(bench.runToEnd(false).outcome, TickOutcome::Finished);
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        EXPECT_EQ(bench.results.kelvin[i].computed, i % 4 == 0) << i;
        EXPECT_EQ(bench.results.celsius[i].computed, i % 4 == 0) << i;
    }
}

TEST(CalculationRun, CountingSolverSees18Or66Calls)
{
    RunFolder folder;
    folder.writeDatabase(databaseText(gasCompounds()));
    for (const auto& [tetraPrecision, calls] : {std::pair{false, 18u}, std::pair{true, 66u}}) {
        ScriptedSolver solver;
        RunBench bench(folder, reformingFields(), solver);
        ASSERT_EQ(bench.runToEnd(tetraPrecision).outcome, TickOutcome::Finished);
        EXPECT_EQ(solver.kps.size(), calls);
    }
}

} // namespace

// A = 2 B with dG 500 kcal: exp underflows Kp to 0. At 1 atm the exact
// conversion is below 1e-150, so the bisection towards 0 is exact to 1e-12;
// at 1e-300 atm the lost digits of Kp would decide it: the pressure is refused.
TEST(CalculationRunMend, PressureThatKpsLostDigitsWouldDecideIsRefused)
{
    RunFolder folder;
    folder.writeDatabase(
        databaseText({{u"A"_s, {2, 4, 2}, {0, 0, 0, 0, 0, 0, 0, 0}},
                      {u"B"_s, {1, 2, 1}, {250, 250, 250, 250, 250, 250, 250, 250}}}));
    SolverLibrary solver(solverPath());
    for (const QString& pressure : {u"1"_s, u"1e-300"_s}) {
        RunBench bench(folder,
                       reactionFields({{u"A"_s, u"1"_s, u"1"_s}}, {{u"B"_s, u"2"_s}}, 0, pressure),
                       solver);
        const TickResult result = bench.runToEnd(false);
        if (pressure == u"1"_s) {
            EXPECT_EQ(result.outcome, TickOutcome::Finished);
            EXPECT_LE(bench.results.kelvin[0].conversion, 1e-12);
        } else {
            EXPECT_EQ(result.outcome, TickOutcome::StoppedByValidation);
            EXPECT_EQ(result.message->text, u"全圧を正しく入力してください"_s);
            EXPECT_EQ(result.focus, (FocusTarget{FocusControl::Pressure, 0}));
        }
    }
}
