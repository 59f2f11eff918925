// Reaction files read by norvanta-calc go through the rule of the input boxes
// (Shift_JIS holds the full-width forms, not the subscript digits).
#include "calc_test_support.h"

namespace norvanta::testing {
namespace {

TEST(CalcInputText, AReactionTypedInFullWidthComputesAsItsAsciiSpelling)
{
    const CalcFolder folder;
    const struct {
        const char* what;
        ReactionFields ascii;
        ReactionFields typed;
    } cases[] = {
        {"steam reforming in full width",
         reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"3"_s}},
                  {{u"CO"_s, u"1"_s}, {u"H2"_s, u"3"_s}}, 0, u"1"_s),
         reaction({{u"ＣＨ４"_s, u"１"_s, u"１"_s}, {u"Ｈ２Ｏ"_s, u"１"_s, u"３"_s}},
                  {{u"ＣＯ"_s, u""_s}, {u"Ｈ２"_s, u"３"_s}}, 0, u"　１"_s)},
        {"a Japanese name beside full-width ones",
         reaction({{u"CO2"_s, u"1"_s, u"1"_s}, {u"CH4"_s, u"1"_s, u"1"_s}},
                  {{u"CO"_s, u"2"_s}, {u"H2"_s, u"2"_s}}, 0, u"2.5"_s),
         reaction({{u"ＣＯ２"_s, u"1"_s, u"1"_s}, {u"メタン"_s, u"1"_s, u"1"_s}},
                  {{u"CO"_s, u"２"_s}, {u"Ｈ2"_s, u"2"_s}}, 0, u"２．５"_s)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CalcRun ascii = folder.run({u"--table"_s, folder.writeReaction(u"a.txt"_s, c.ascii)});
        const CalcRun typed = folder.run({u"--table"_s, folder.writeReaction(u"t.txt"_s, c.typed)});
        ASSERT_EQ(ascii.status, calc::ExitStatus::Success) << ascii.err.toStdString();
        EXPECT_EQ(typed.status, calc::ExitStatus::Success) << typed.err.toStdString();
        EXPECT_EQ(typed.out, ascii.out);
    }
}

} // namespace
} // namespace norvanta::testing
