#include "common/number_format.h"

#include <gtest/gtest.h>

using namespace norvanta;

TEST(FormatFixed, EveryPatternOfTheTableAndThePrintedPage)
{
    const struct {
        double value;
        const char16_t* pattern;
        const char* text;
    } cases[] = {
        // Rounding half away from zero on the 15-digit decimal form, not on the binary value.
        {2.0005, u"###0.000", "2.001"},
        {1.0005, u"0.000", "1.001"},
        {-2.0005, u"###0.000", "-2.001"},
        {0.0000325, u"0.00E+00", "3.25E-05"},
        {1.005, u"0.00E+00", "1.01E+00"},
        {9.995, u"0.00E+00", "1.00E+01"},
        {0.9995, u"0.00E+00", "1.00E+00"},
        {45.678, u"00.00", "45.68"},
        {5.5, u"00.00", "05.50"},
        {123.456, u"00.00", "123.46"},
        {0.004, u"00.00", "00.00"},
        {0.005, u"00.00", "00.01"},
        {99.995, u"00.00", "100.00"},
        // Leading zeros of "#000" and none of "###0" / "####0".
        {300, u"#000", "300"},
        {5, u"#000", "005"},
        {1234, u"#000", "1234"},
        {12.5, u"#000", "013"},
        {-5, u"#000", "-005"},
        {0, u"###0", "0"},
        {0.4, u"###0", "0"},
        {0.5, u"###0", "1"},
        {2.5, u"###0", "3"},
        {-2.5, u"###0", "-3"},
        {1100, u"###0", "1100"},
        {12345.5, u"####0", "12346"},
        {800, u"####0", "800"},
        // Decimals always shown, integer part at least "0".
        {0.1234, u"###0.000", "0.123"},
        {-1.5, u"###0.000", "-1.500"},
        {0, u"###0.000", "0.000"},
        {-61.2345, u"###0.000", "-61.235"},
        {1.23456, u"0.000", "1.235"},
        {0.0005, u"0.000", "0.001"},
        {0.00049, u"0.000", "0.000"},
        {1e20, u"###0", "100000000000000000000"},
        // Exponent form.
        {0, u"0.00E+00", "0.00E+00"},
        {1, u"0.00E+00", "1.00E+00"},
        {12345, u"0.00E+00", "1.23E+04"},
        {-0.5, u"0.00E+00", "-5.00E-01"},
        {-0.0000325, u"0.00E+00", "-3.25E-05"},
        {6.02214076e23, u"0.00E+00", "6.02E+23"},
        {1e100, u"0.00E+00", "1.00E+100"},
        {1.5e-300, u"0.00E+00", "1.50E-300"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFixed(c.value, QStringView(c.pattern)), QString::fromLatin1(c.text))
            << c.value << " with " << QString::fromUtf16(c.pattern).toStdString();
}

TEST(FormatFixed, NegativeValueRoundingToZeroKeepsItsSign)
{
    EXPECT_EQ(formatFixed(-0.0004, u"###0.000"), u"-0.000");
    EXPECT_EQ(formatFixed(-0.004, u"00.00"), u"-00.00");
    EXPECT_EQ(formatFixed(-0.3, u"###0"), u"-0");
    // A zero itself has no sign, whichever zero it is.
    EXPECT_EQ(formatFixed(-0.0, u"###0.000"), u"0.000");
    EXPECT_EQ(formatFixed(-0.0, u"0.00E+00"), u"0.00E+00");
}
