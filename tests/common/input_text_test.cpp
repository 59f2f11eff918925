#include "common/input_text.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace norvanta;

TEST(InputText, FullWidthAndSmallDigitsBecomeWhatTheCalculationReads)
{
    const struct {
        QString typed;
        QString read;
    } cases[] = {
        {u"ＣＨ４"_s, u"CH4"_s},
        {u"ＣＯ　+　３Ｈ２"_s, u"CO + 3H2"_s},
        {u"１．５ｅ－３"_s, u"1.5e-3"_s},
        {u"！～"_s, u"!~"_s}, // the ends of the full-width block
        {u"CO₂ H₀₁₂₃₄₅₆₇₈₉"_s, u"CO2 H0123456789"_s},
        {u"x⁰¹²³⁴⁵⁶⁷⁸⁹"_s, u"x0123456789"_s},
        // Japanese text, half-width katakana and the neighbours of the
        // mapped blocks stay as they are.
        {u"メタン 二酸化炭素 ｴﾀﾉｰﾙ ﾟ"_s, u"メタン 二酸化炭素 ｴﾀﾉｰﾙ ﾟ"_s},
        {u"＀｟￥⁺₊"_s, u"＀｟￥⁺₊"_s},
        {u""_s, u""_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(inputText(c.typed).toStdString(), c.read.toStdString());
}
