// The shipped data answer to a compound's formula as to its common names,
// English and Japanese.
#include "calc_test_support.h"

namespace norvanta::testing {
namespace {

TEST(FormulaNames, AReactionTypedEitherWayComputesTheSameTable)
{
    const struct {
        const char* what;
        ReactionFields byFormula;
        ReactionFields byName;
    } cases[] = {
        {"ethanol dehydrogenation",
         reaction({{u"C2H5OH"_s, u"1"_s, u"1"_s}}, {{u"CH3CHO"_s, u"1"_s}, {u"H2"_s, u"1"_s}}, 0),
         reaction({{u"ethanol"_s, u"1"_s, u"1"_s}},
                  {{u"acetaldehyde"_s, u"1"_s}, {u"H2"_s, u"1"_s}}, 0)},
        {"acetylene hydrogenation",
         reaction({{u"C2H2"_s, u"1"_s, u"1"_s}, {u"H2"_s, u"1"_s, u"2"_s}}, {{u"C2H4"_s, u"1"_s}},
                  0),
         reaction({{u"acetylene"_s, u"1"_s, u"1"_s}, {u"H2"_s, u"1"_s, u"2"_s}},
                  {{u"C2H4"_s, u"1"_s}}, 0)},
        {"propylene hydrogenation",
         reaction({{u"C3H6"_s, u"1"_s, u"1"_s}, {u"H2"_s, u"1"_s, u"1"_s}}, {{u"C3H8"_s, u"1"_s}},
                  0),
         reaction({{u"propylene"_s, u"1"_s, u"1"_s}, {u"H2"_s, u"1"_s, u"1"_s}},
                  {{u"C3H8"_s, u"1"_s}}, 0)},
        {"methanol to dimethyl ether at 10 atm",
         reaction({{u"CH3OH"_s, u"2"_s, u"1"_s}}, {{u"CH3OCH3"_s, u"1"_s}, {u"H2O"_s, u"1"_s}}, 0,
                  u"10"_s),
         reaction({{u"CH3OH"_s, u"2"_s, u"1"_s}},
                  {{u"dimethyl ether"_s, u"1"_s}, {u"H2O"_s, u"1"_s}}, 0, u"10"_s)},
        {"acetone from 2-propanol",
         reaction({{u"(CH3)2CHOH"_s, u"1"_s, u"1"_s}}, {{u"CH3COCH3"_s, u"1"_s}, {u"H2"_s, u"1"_s}},
                  0),
         reaction({{u"2-propanol"_s, u"1"_s, u"1"_s}}, {{u"acetone"_s, u"1"_s}, {u"H2"_s, u"1"_s}},
                  0)},
        {"dry reforming in Japanese",
         reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"CO2"_s, u"1"_s, u"1"_s}},
                  {{u"CO"_s, u"2"_s}, {u"H2"_s, u"2"_s}}, 0),
         reaction({{u"メタン"_s, u"1"_s, u"1"_s}, {u"二酸化炭素"_s, u"1"_s, u"1"_s}},
                  {{u"一酸化炭素"_s, u"2"_s}, {u"水素"_s, u"2"_s}}, 0)},
        {"dry reforming in English",
         reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"CO2"_s, u"1"_s, u"1"_s}},
                  {{u"CO"_s, u"2"_s}, {u"H2"_s, u"2"_s}}, 0),
         reaction({{u"methane"_s, u"1"_s, u"1"_s}, {u"carbon dioxide"_s, u"1"_s, u"1"_s}},
                  {{u"carbon monoxide"_s, u"2"_s}, {u"hydrogen"_s, u"2"_s}}, 0)},
        {"ethanol dehydrogenation in Japanese",
         reaction({{u"C2H5OH"_s, u"1"_s, u"1"_s}}, {{u"CH3CHO"_s, u"1"_s}, {u"H2"_s, u"1"_s}}, 0),
         reaction({{u"エタノール"_s, u"1"_s, u"1"_s}},
                  {{u"アセトアルデヒド"_s, u"1"_s}, {u"水素"_s, u"1"_s}}, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const EngineResult byFormula = runEngine(c.byFormula, true);
        const EngineResult byName = runEngine(c.byName, true);
        ASSERT_EQ(byFormula.outcome, TickOutcome::Finished);
        ASSERT_EQ(byName.outcome, TickOutcome::Finished);
        for (int i = 0; i < ResultTable::kPoints; ++i) {
            for (const auto& [a, b] :
                 {std::pair{byFormula.table.kelvin[i], byName.table.kelvin[i]},
                  std::pair{byFormula.table.celsius[i], byName.table.celsius[i]}}) {
                ASSERT_TRUE(a.computed && b.computed) << i;
                EXPECT_EQ(a.dG, b.dG) << i;
                EXPECT_EQ(a.kp, b.kp) << i;
                EXPECT_EQ(a.conversion, b.conversion) << i;
            }
        }
    }
}

} // namespace
} // namespace norvanta::testing
