#include "common/number_text.h"

#include <gtest/gtest.h>

using namespace norvanta;

TEST(GeneralNumberText, FormsOfTheNumber)
{
    const struct {
        double value;
        const char16_t* text;
    } cases[] = {
        {0.0, u"0"},         {100.0, u"100"},       {-12.5, u"-12.5"},   {0.0001, u"0.0001"},
        {1e-5, u"1E-05"},    {2.5e15, u"2.5E+15"},  {1.0 / 3.0, u"0.333333333333333"},
        {123456789012345.0, u"123456789012345"},    {-0.00012, u"-0.00012"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(generalNumberText(c.value), QString::fromUtf16(c.text)) << c.value;
}
