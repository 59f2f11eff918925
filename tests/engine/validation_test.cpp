// Validation of the reaction fields: the warnings in their order, with their
// focus and the step that stops, the close-up of empty rows, and the
// normalisation to one mole of limiting compound.
#include "engine_fixtures.h"

#include "engine/validation.h"

#include "database/compound_index.h"

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

const QString kRatioMissing = u"分圧(比)を入力してください"_s;
const QString kNoReaction = u"反応系を入力してください"_s;
const QString kUnbalanced = u"炭素,水素,酸素の化学量論が合っていません"_s;
const QString kBadLimiting = u"制限化合物の指定が正しくありません"_s;
const QString kNoLimiting = u"制限化合物を指定してください"_s;
const QString kBadRatio = u"分圧(比)かあるいは制限化合物の指定が正しくありません"_s;
const QString kBadPressure = u"全圧を正しく入力してください"_s;

const ReactantRow kCO2{u"CO2"_s, u"1"_s, u"1"_s};
const ReactantRow kCH4{u"CH4"_s, u"1"_s, u"1"_s};
const ProductRow k2CO{u"CO"_s, u"2"_s};
const ProductRow k2H2{u"H2"_s, u"2"_s};

struct MessageCase {
    const char* name;
    ReactionFields fields;
    int step;
    QString text;
    FocusTarget focus;
};

std::vector<MessageCase> messageCases()
{
    const ReactantRow co{u"CO"_s, u"1"_s, u"1"_s};
    const ReactantRow h2{u"H2"_s, u"1"_s, u"1"_s};
    const ProductRow methanol{u"CH3OH"_s, u"1"_s};
    const ReactantRow empty{};
    return {
        // The focus goes to the ratio field that is empty, never to a filled one.
        {"RatioMissingOnAnOtherwiseCorrectReaction",
         reactionFields({kCO2, {u"CH4"_s, u"1"_s, u""_s}}, {k2CO, k2H2}, 0),
         2,
         kRatioMissing,
         {FocusControl::Molar, 1}},
        {"RatioMissingComesBeforeMissingProducts",
         reactionFields({empty, {u"CH4"_s, u"1"_s, u""_s}}, {}, 1),
         2,
         kRatioMissing,
         {FocusControl::Molar, 1}},
        {"TheFirstEmptyRatioOfAFilledRowGetsTheFocus",
         reactionFields({empty, kCO2, {u"CH4"_s, u"1"_s, u""_s}, {u"H2O"_s, u"1"_s, u""_s}},
                        {k2CO, k2H2}, 1),
         2,
         kRatioMissing,
         {FocusControl::Molar, 2}},
        {"NoReactants",
         reactionFields({}, {k2CO, k2H2}, 0),
         2,
         kNoReaction,
         {FocusControl::React, 0}},
        {"BlankNamesAreEmptyRows",
         reactionFields({{u"   "_s, u"1"_s, u"1"_s}}, {k2CO}, 0),
         2,
         kNoReaction,
         {FocusControl::React, 0}},
        {"NoProducts",
         reactionFields({kCO2, kCH4}, {}, 0),
         2,
         kNoReaction,
         {FocusControl::Product, 0}},
        {"ReactantNotRegisteredCountsClosedUpSlots",
         reactionFields({kCO2, empty, {u"CH5"_s, u"1"_s, u"1"_s}}, {k2CO, k2H2}, 0),
         3,
         u"反応系(No.2)はファイルに登録されていません"_s,
         {FocusControl::React, 1}},
        {"NameInOtherLetterCaseIsNotRegistered",
         reactionFields({kCO2, kCH4}, {k2CO, {u"h2"_s, u"2"_s}}, 0),
         3,
         u"生成系(No.2)はファイルに登録されていません"_s,
         {FocusControl::Product, 1}},
        {"ReactantsAreLookedUpBeforeProducts",
         reactionFields({kCO2, {u"ch4"_s, u"1"_s, u"1"_s}}, {{u"XX"_s, u"2"_s}, k2H2}, 0),
         3,
         u"反応系(No.2)はファイルに登録されていません"_s,
         {FocusControl::React, 1}},
        {"NotRegisteredComesBeforeTheBalance",
         reactionFields({{u"CO"_s, u"2"_s, u"1"_s}, h2}, {methanol, {u"XX"_s, u"1"_s}}, 0),
         3,
         u"生成系(No.2)はファイルに登録されていません"_s,
         {FocusControl::Product, 1}},
        {"HydrogenDoesNotBalance", reactionFields({co, h2}, {methanol}, 0), 3, kUnbalanced, {}},
        {"InexactSumsFailTheExactComparison",
         reactionFields({{u"CO"_s, u"0.1"_s, u"1"_s}, {u"CO"_s, u"0.2"_s, u"1"_s}},
                        {{u"CO"_s, u"0.3"_s}}, 0),
         3,
         kUnbalanced,
         {}},
        {"LimitingCompoundOnAnEmptyRow",
         reactionFields({kCO2, kCH4}, {k2CO, k2H2}, 3),
         4,
         kBadLimiting,
         {FocusControl::Restrict, 3}},
        {"NoLimitingCompound",
         reactionFields({kCO2, kCH4}, {k2CO, k2H2}, -1),
         4,
         kNoLimiting,
         {FocusControl::Restrict, 0}},
        {"OtherReactantRunsOutFirst",
         reactionFields({{u"H2"_s, u"2"_s, u"2"_s}, {u"O2"_s, u"1"_s, u"0.4"_s}},
                        {{u"H2O"_s, u"2"_s}}, 0),
         4,
         kBadRatio,
         {}},
        {"RatioIsCheckedBeforePressure",
         reactionFields({kCO2, {u"CH4"_s, u"1"_s, u"0.5"_s}}, {k2CO, k2H2}, 0, u"0"_s),
         4,
         kBadRatio,
         {}},
        {"PressureZero",
         reactionFields({kCO2, kCH4}, {k2CO, k2H2}, 0, u"0"_s),
         4,
         kBadPressure,
         {FocusControl::Pressure, 0}},
        {"PressureEmpty",
         reactionFields({kCO2, kCH4}, {k2CO, k2H2}, 0, u""_s),
         4,
         kBadPressure,
         {FocusControl::Pressure, 0}},
        {"PressureNotANumber",
         reactionFields({kCO2, kCH4}, {k2CO, k2H2}, 0, u"atm"_s),
         4,
         kBadPressure,
         {FocusControl::Pressure, 0}},
        {"PressureNegative",
         reactionFields({kCO2, kCH4}, {k2CO, k2H2}, 0, u"-1"_s),
         4,
         kBadPressure,
         {FocusControl::Pressure, 0}},
        // A typed number too large for a double is its field's invalid number.
        {"PressureTooLarge",
         reactionFields({kCO2, kCH4}, {k2CO, k2H2}, 0, u"1e99999"_s),
         4,
         kBadPressure,
         {FocusControl::Pressure, 0}},
        {"RatioTooLarge",
         reactionFields({kCO2, {u"CH4"_s, u"1"_s, u"1e999"_s}}, {k2CO, k2H2}, 0),
         2,
         kRatioMissing,
         {FocusControl::Molar, 1}},
        {"ReactantCoefficientTooLarge",
         reactionFields({empty, {u"CH4"_s, u"-1e999"_s, u"1"_s}}, {k2CO, k2H2}, 1),
         2,
         kUnbalanced,
         {FocusControl::ReactNum, 1}},
        {"ProductCoefficientTooLarge",
         reactionFields({kCO2, kCH4}, {k2CO, {u"H2"_s, u"1e999"_s}}, 0),
         2,
         kUnbalanced,
         {FocusControl::ProductNum, 1}},
    };
}

TEST(ValidationMessages, EachCheckStopsTheRunWithItsWarningAndFocus)
{
    RunFolder folder;
    folder.writeDatabase(databaseText(gasCompounds()));
    ScriptedSolver solver;
    for (const MessageCase& c : messageCases()) {
        SCOPED_TRACE(c.name);
        RunBench bench(folder, c.fields, solver);
        const TickResult result = bench.runToEnd(false);
        EXPECT_EQ(result.outcome, TickOutcome::StoppedByValidation);
        EXPECT_EQ(result.step, c.step);
        ASSERT_TRUE(result.message);
        EXPECT_EQ(result.message->text, c.text);
        EXPECT_EQ(result.message->icon, MessageIcon::Exclamation);
        EXPECT_EQ(result.message->title, u"Norvanta"_s);
        EXPECT_EQ(result.focus, c.focus);
        EXPECT_EQ(bench.host.events.back(), u"stop"_s);
        EXPECT_EQ(bench.host.events.count(u"stop"_s), 1);
        EXPECT_FALSE(bench.host.events.contains(u"finish"_s));
        EXPECT_FALSE(bench.run.running());
        EXPECT_TRUE(solver.kps.empty());
    }
}

TEST(ValidationMessages, ReactionsThatPass)
{
    const CompoundIndex database = CompoundIndex::parse(databaseText(gasCompounds()));
    const struct {
        const char* name;
        ReactionFields fields;
    } cases[] = {
        {"MethanolSynthesis", reactionFields({{u"CO"_s, u"1"_s, u"1"_s}, {u"H2"_s, u"2"_s, u"2"_s}},
                                             {{u"CH3OH"_s, u"1"_s}}, 0)},
        {"HalvesBalanceExactly",
         reactionFields({{u"CO"_s, u"0.5"_s, u"1"_s}, {u"H2O"_s, u"1.5"_s, u"4"_s}},
                        {{u"CO2"_s, u"0.5"_s}, {u"H2"_s, u"0.5"_s}, {u"H2O"_s, u"1"_s}}, 0)},
        {"BlanksAroundNamesAreTrimmed",
         reactionFields({{u"  CO2 "_s, u"1"_s, u"1"_s}, {u" CH4"_s, u"1"_s, u"1"_s}},
                        {{u"CO  "_s, u"2"_s}, {u"H2"_s, u"2"_s}}, 0, u" 2.5atm"_s)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReactionFields fields = c.fields;
        ReactionDefinition definition;
        EXPECT_EQ(validateReaction(fields, definition, database), std::nullopt);
    }
}

TEST(CollectRows, EmptyCoefficientBecomesOneInTheFields)
{
    ReactionFields fields =
        reactionFields({{u"CO2"_s, u""_s, u"1"_s}, kCH4}, {{u"CO"_s, u""_s}, k2H2}, 0);
    ReactionDefinition definition;
    prepareReaction(fields, definition);
    EXPECT_EQ(collectRows(fields, definition), std::nullopt);
    EXPECT_EQ(fields.reactNum[0], u"1"_s);
    EXPECT_EQ(fields.productNum[0], u"1"_s);
    EXPECT_EQ(definition.reactantCoefficients[0], 1.0);
    EXPECT_EQ(definition.productCoefficients[0], 1.0);
}

TEST(CollectRows, RowsBeforeAMissingRatioKeepTheirDefaults)
{
    ReactionFields fields = reactionFields(
        {{u"CO2"_s, u""_s, u"1"_s}, {u"CH4"_s, u""_s, u""_s}, {u"H2O"_s, u""_s, u"1"_s}}, {k2CO},
        0);
    ReactionDefinition definition;
    prepareReaction(fields, definition);
    ASSERT_TRUE(collectRows(fields, definition));
    EXPECT_EQ(fields.reactNum[0], u"1"_s);
    EXPECT_EQ(fields.reactNum[1], u"1"_s);
    EXPECT_EQ(fields.reactNum[2], u""_s);
}

// Close-up of empty rows: filled rows keep their order, the Restrict option
// moves with its row, coefficients and ratios follow into the slots.
TEST(CollectRows, EmptyRowsCloseUp)
{
    const struct {
        const char* name;
        std::array<bool, 4> filled;
        int restrict;
        int restrictAfter;
    } cases[] = {
        {"Rows1And3", {true, false, true, false}, 2, 1},
        {"Rows2And4", {false, true, false, true}, 3, 1},
        // The last row alone lies beyond the rows count + 1 that the pass visits.
        {"Row4Only", {false, false, false, true}, 3, 0},
        {"Rows1And2And4", {true, true, false, true}, 3, 2},
        {"Rows3And4RestrictOnFirst", {false, false, true, true}, 2, 0},
        {"AllFilled", {true, true, true, true}, 1, 1},
        // An option on an empty row stays there and so goes to the row moving in.
        {"RestrictOnTheEmptyRow", {true, false, true, false}, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReactionFields fields;
        std::vector<int> filledRows;
        for (int row = 0; row < 4; ++row) {
            if (!c.filled[row])
                continue;
            filledRows.push_back(row);
            const QString n = QString::number(row + 1);
            fields.react[row] = u"R"_s + n;
            fields.reactNum[row] = n;
            fields.molar[row] = QString::number(10 * (row + 1));
            fields.product[row] = u"P"_s + n;
            fields.productNum[row] = QString::number(100 * (row + 1));
        }
        fields.restrict = c.restrict;
        ReactionDefinition definition;
        prepareReaction(fields, definition);
        ASSERT_EQ(collectRows(fields, definition), std::nullopt);

        const int count = int(filledRows.size());
        EXPECT_EQ(definition.reactantCount, count);
        EXPECT_EQ(definition.productCount, count);
        EXPECT_EQ(fields.restrict, c.restrictAfter);
        for (int slot = 0; slot < 4; ++slot) {
            SCOPED_TRACE(slot);
            if (slot < count) {
                const int from = filledRows[slot] + 1;
                const QString n = QString::number(from);
                EXPECT_EQ(fields.react[slot], u"R"_s + n);
                EXPECT_EQ(fields.reactNum[slot], n);
                EXPECT_EQ(fields.molar[slot], QString::number(10 * from));
                EXPECT_EQ(fields.product[slot], u"P"_s + n);
                EXPECT_EQ(definition.reactantNames[slot], u"R"_s + n);
                EXPECT_EQ(definition.reactantCoefficients[slot], from);
                EXPECT_EQ(definition.reactantRatios[slot], 10 * from);
                EXPECT_EQ(definition.productNames[slot], u"P"_s + n);
                EXPECT_EQ(definition.productCoefficients[slot], 100 * from);
            } else {
                EXPECT_TRUE(fields.react[slot].isEmpty());
                EXPECT_TRUE(fields.reactNum[slot].isEmpty());
                EXPECT_TRUE(fields.molar[slot].isEmpty());
                EXPECT_TRUE(fields.product[slot].isEmpty());
                EXPECT_TRUE(fields.productNum[slot].isEmpty());
                EXPECT_EQ(definition.reactantCoefficients[slot], 0.0);
                EXPECT_EQ(definition.reactantRatios[slot], 0.0);
                EXPECT_EQ(definition.productCoefficients[slot], 0.0);
            }
        }
    }
}

TEST(CollectRows, RunShowsTheClosedUpFields)
{
    RunFolder folder;
    folder.writeDatabase(databaseText(gasCompounds()));
    ScriptedSolver solver;
    RunBench bench(folder, reactionFields({{u" CO2 "_s, u""_s, u"1"_s}, {}, kCH4}, {k2CO, k2H2}, 2),
                   solver);
    bench.run.start(false);
    bench.run.tick();
    ASSERT_EQ(bench.host.shownFields.size(), 1u);
    EXPECT_EQ(bench.host.shownFields[0].react[0], u"CO2"_s);
    EXPECT_EQ(bench.host.shownFields[0].react[2], u"CH4"_s);

    bench.run.tick();
    ASSERT_EQ(bench.host.shownFields.size(), 2u);
    const ReactionFields& shown = bench.host.shownFields[1];
    EXPECT_EQ(shown, bench.fields);
    EXPECT_EQ(shown.react[1], u"CH4"_s);
    EXPECT_EQ(shown.reactNum[0], u"1"_s);
    EXPECT_TRUE(shown.react[2].isEmpty());
    EXPECT_EQ(shown.restrict, 1);
}

TEST(NormaliseReaction, LimitingCompoundGoesToSlotOneAndEverythingIsRelativeToIt)
{
    const CompoundIndex database = CompoundIndex::parse(databaseText(gasCompounds()));
    // 2 H2 + O2 = 2 H2O with H2 limiting in row 2.
    ReactionFields fields = reactionFields({{u"O2"_s, u"1"_s, u"1"_s}, {u"H2"_s, u"2"_s, u"2"_s}},
                                           {{u"H2O"_s, u"2"_s}}, 1, u"3"_s);
    ReactionDefinition definition;
    ASSERT_EQ(validateReaction(fields, definition, database), std::nullopt);
    EXPECT_EQ(definition.limitingCompound, 2);
    EXPECT_EQ(definition.reactantNames[0], u"H2"_s);
    EXPECT_EQ(definition.reactantNames[1], u"O2"_s);
    EXPECT_EQ(definition.reactantCoefficients[0], 1.0);
    EXPECT_EQ(definition.reactantRatios[0], 1.0);
    EXPECT_EQ(definition.reactantCoefficients[1], 0.5);
    EXPECT_EQ(definition.reactantRatios[1], 0.5);
    EXPECT_EQ(definition.productCoefficients[0], 1.0);
    EXPECT_EQ(definition.totalPressure, 3.0);
    // The window rows are not exchanged.
    EXPECT_EQ(fields.react[0], u"O2"_s);
    EXPECT_EQ(fields.restrict, 1);
}

TEST(NormaliseReaction, OtherReactantMustLastAsLongAsTheLimitingCompound)
{
    const CompoundIndex database = CompoundIndex::parse(databaseText(gasCompounds()));
    const struct {
        const char* oxygenRatio;
        bool accepted;
    } cases[] = {{"1", true}, {"0.99", false}, {"3", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oxygenRatio);
        ReactionFields fields = reactionFields(
            {{u"H2"_s, u"2"_s, u"2"_s}, {u"O2"_s, u"1"_s, QString::fromLatin1(c.oxygenRatio)}},
            {{u"H2O"_s, u"2"_s}}, 0);
        ReactionDefinition definition;
        const auto failure = validateReaction(fields, definition, database);
        EXPECT_EQ(!failure, c.accepted);
        if (failure) {
            EXPECT_EQ(failure->message.text, kBadRatio);
        }
    }
}

TEST(NormaliseReaction, SingleReactantTakesRatioOne)
{
    const CompoundIndex database = CompoundIndex::parse(databaseText(gasCompounds()));
    ReactionFields fields =
        reactionFields({{u"CH3OH"_s, u"2"_s, u"0"_s}}, {{u"CO"_s, u"2"_s}, {u"H2"_s, u"4"_s}}, 0);
    ReactionDefinition definition;
    ASSERT_EQ(validateReaction(fields, definition, database), std::nullopt);
    EXPECT_EQ(definition.reactantRatios[0], 1.0);
    EXPECT_EQ(definition.productCoefficients[0], 1.0);
    EXPECT_EQ(definition.productCoefficients[1], 2.0);
}

} // namespace
