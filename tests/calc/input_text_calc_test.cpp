// norvanta-calc reads reaction files by the rule of the input boxes
// (Shift_JIS holds the full-width forms, not the subscript digits).
#include "calc_test_support.h"

namespace norvanta::testing {
namespace {

TEST(CalcInputText, AReactionTypedInFullWidthComputesAsItsAsciiSpelling)
{
    const CalcFolder folder;
    const auto table = [&](const ReactionFields& fields) {
        return folder.run({u"--table"_s, folder.writeReaction(u"r.txt"_s, fields)});
    };
    const CalcRun ascii = table(reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"3"_s}},
                                         {{u"CO"_s, u"1"_s}, {u"H2"_s, u"3"_s}}, 0, u"1.5"_s));
    const CalcRun typed =
        table(reaction({{u"ＣＨ４"_s, u"１"_s, u"１"_s}, {u"水"_s, u""_s, u"３"_s}},
                       {{u"ＣＯ"_s, u""_s}, {u"Ｈ２"_s, u"３"_s}}, 0, u"　１．５"_s));
    ASSERT_EQ(ascii.status, calc::ExitStatus::Success) << ascii.err.toStdString();
    EXPECT_EQ(typed.status, calc::ExitStatus::Success) << typed.err.toStdString();
    EXPECT_EQ(typed.out, ascii.out);
}

} // namespace
} // namespace norvanta::testing
