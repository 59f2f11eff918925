// The balance of every element where the polynomial file holds every
// compound, over the shipped files.
#include "engine_fixtures.h"

#include "composition/gibbs_equilibrium.h"
#include "engine/validation.h"
#include "thermo/thermo_data.h"

#include "database/compound_index.h"
#include "database/polynomial_file.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

TEST(ElementBalance, EveryElementBalancesWhereThePolynomialsHoldEveryCompound)
{
    const QString data = QStringLiteral(NORVANTA_SOURCE_DIR "/data/");
    // A registered compound, unknown to the polynomial file, without C, H or O.
    const CompoundIndex database = CompoundIndex::parse(
        readShiftJisFile(data + u"Norvane.dat"_s) +
        compoundRecordLine(u"Registered"_s, {0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}));
    const auto polynomials = PolynomialFile::load(data + u"NorvaneThermo.dat"_s).file;
    ASSERT_TRUE(polynomials);
    const QString unbalanced = u"炭素,水素,酸素の化学量論が合っていません"_s;
    const struct {
        const char* name;
        ReactionFields fields;
        bool withPolynomials;
        QString message; // empty: the reaction passes
    } cases[] = {
        {"ammonia synthesis",
         reactionFields({{u"N2"_s, u"1"_s, u"1"_s}, {u"H2"_s, u"3"_s, u"3"_s}},
                        {{u"NH3"_s, u"2"_s}}, 0),
         true,
         {}},
        {"ammonia to hydrogen",
         reactionFields({{u"NH3"_s, u"2"_s, u"1"_s}}, {{u"H2"_s, u"3"_s}}, 0), true,
         u"窒素の化学量論が合っていません"_s},
        {"the same without the polynomial file",
         reactionFields({{u"NH3"_s, u"2"_s, u"1"_s}}, {{u"H2"_s, u"3"_s}}, 0),
         false,
         {}},
        {"nitrogen fed to steam reforming",
         reactionFields(
             {{u"CH4"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"1"_s}, {u"N2"_s, u"1"_s, u"1"_s}},
             {{u"CO"_s, u"1"_s}, {u"H2"_s, u"3"_s}}, 0),
         true, u"窒素の化学量論が合っていません"_s},
        {"Claus reaction by Japanese names",
         reactionFields({{u"硫化水素"_s, u"2"_s, u"2"_s}, {u"二酸化硫黄"_s, u"1"_s, u"1"_s}},
                        {{u"S2"_s, u"1.5"_s}, {u"水"_s, u"2"_s}}, 1),
         true,
         {}},
        {"sulfur lost",
         reactionFields({{u"H2S"_s, u"1"_s, u"1"_s}}, {{u"H2"_s, u"1"_s}, {u"S2"_s, u"1"_s}}, 0),
         true, u"硫黄の化学量論が合っていません"_s},
        {"inert gases exchanged",
         reactionFields({{u"Ar"_s, u"1"_s, u"1"_s}}, {{u"He"_s, u"1"_s}}, 0), true,
         u"アルゴンの化学量論が合っていません"_s},
        {"hydrogen imbalance keeps its message",
         reactionFields({{u"NH3"_s, u"1"_s, u"1"_s}}, {{u"N2"_s, u"0.5"_s}, {u"H2"_s, u"1"_s}}, 0),
         true, unbalanced},
        {"a registered compound counts C, H and O only",
         reactionFields({{u"NH3"_s, u"2"_s, u"1"_s}},
                        {{u"H2"_s, u"3"_s}, {u"Registered"_s, u"1"_s}}, 0),
         true,
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReactionFields fields = c.fields;
        ReactionDefinition definition;
        const auto failure = validateReaction(fields, definition, database,
                                              c.withPolynomials ? polynomials.get() : nullptr);
        EXPECT_EQ(failure ? failure->message.text : QString(), c.message);
        if (failure) {
            EXPECT_EQ(failure->focus, FocusTarget{});
        }
    }
}

// A run reads the polynomial file beside Norvane.dat; without it, C, H and O only.
TEST(ElementBalance, RunChecksWithThePolynomialFileBesideTheDatabase)
{
    const QString data = QStringLiteral(NORVANTA_SOURCE_DIR "/data/");
    RunFolder folder;
    QFile::copy(data + u"Norvane.dat"_s, folder.databasePath());
    const QString polynomials = folder.path() + u"/NorvaneThermo.dat"_s;
    QFile::copy(data + u"NorvaneThermo.dat"_s, polynomials);
    ScriptedSolver solver;
    const ReactionFields synthesis = reactionFields(
        {{u"N2"_s, u"1"_s, u"1"_s}, {u"H2"_s, u"3"_s, u"3"_s}}, {{u"NH3"_s, u"2"_s}}, 0, u"200"_s);
    const ReactionFields lost =
        reactionFields({{u"NH3"_s, u"2"_s, u"1"_s}}, {{u"H2"_s, u"3"_s}}, 0);
    EXPECT_EQ(RunBench(folder, synthesis, solver).runToEnd(false).outcome, TickOutcome::Finished);
    const TickResult stopped = RunBench(folder, lost, solver).runToEnd(false);
    ASSERT_TRUE(stopped.message);
    EXPECT_EQ(stopped.message->text, u"窒素の化学量論が合っていません"_s);
    ASSERT_TRUE(QFile::remove(polynomials));
    EXPECT_EQ(RunBench(folder, lost, solver).runToEnd(false).outcome, TickOutcome::Finished);
}

// The composition balances C, H and O only: with or without the polynomial
// file, no nitrogen or sulfur compound stands in for a hydrogen species.
TEST(ElementBalance, CompositionTakesNoSpeciesOfOtherElements)
{
    const QString data = QStringLiteral(NORVANTA_SOURCE_DIR "/data/");
    const ThermoData thermo =
        ThermoData::load(data + u"NorvaneThermo.dat"_s, data + u"Norvane.dat"_s);
    ASSERT_TRUE(thermo.hasPolynomials());
    CompositionRequest request;
    request.feedNames = {u"CH4"_s, u"H2O"_s, u"N2"_s};
    request.feedMoles = {1, 3, 1};
    QStringList names[2];
    for (const bool withPolynomials : {true, false}) {
        const CompositionSystem system = withPolynomials
                                             ? compositionSystem(request, thermo)
                                             : compositionSystem(request, *thermo.database());
        for (const GibbsSpecies& s : system.species)
            names[withPolynomials].append(s.name);
    }
    EXPECT_EQ(names[0], names[1]);
    EXPECT_TRUE(names[1].contains(u"N2"_s) && names[1].contains(u"CO"_s));
    EXPECT_FALSE(names[1].contains(u"NH3"_s) || names[1].contains(u"H2S"_s) ||
                 names[1].contains(u"HCN"_s));

    request.feedNames = {u"H2"_s, u"アンモニア"_s};
    request.feedMoles = {1, 1};
    for (const bool withPolynomials : {true, false}) {
        try {
            withPolynomials ? compositionSystem(request, thermo)
                            : compositionSystem(request, *thermo.database());
            ADD_FAILURE() << "ammonia fed";
        } catch (const CompositionError& error) {
            EXPECT_EQ(error.message.text,
                      u"反応系(No.2)は炭素、水素、酸素以外の元素を含んでいます"_s);
        }
    }
}

} // namespace
