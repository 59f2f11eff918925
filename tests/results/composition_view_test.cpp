// What the composition window reads from its boxes and how it writes CSV.
#include "results/composition_view.h"

#include <gtest/gtest.h>

namespace norvanta {
namespace {

using namespace Qt::StringLiterals;

TEST(CompositionView, ReadsPressuresAsTypedOrRefusesThem)
{
    struct Case {
        QString text;
        std::optional<std::vector<double>> pressures;
    };
    const Case cases[] = {
        {u""_s, std::vector<double>{}},
        {u"  "_s, std::vector<double>{}},
        {u"1, 10, 30"_s, std::vector<double>{1, 10, 30}},
        {u"2、0.5 1e1"_s, std::vector<double>{2, 0.5, 10}},
        {u"1,,3"_s, std::vector<double>{1, 3}},
        {u"1, x"_s, std::nullopt},
        {u"0"_s, std::nullopt},
        {u"-1"_s, std::nullopt},
        {u"1e999"_s, std::nullopt},
        {u"1,5atm"_s, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readPressures(c.text), c.pressures) << c.text.toStdString();
}

TEST(CompositionView, CsvQuotesOnlyWhatWouldSplitAField)
{
    const QString text = u"系列\t温度(K)\t1,3-C4H6\tA\"B\r\nK\t300\t1E-05\t0.5\r\n\r\n"_s;
    EXPECT_EQ(csvFromTabText(text, u"\r\n"_s),
              u"系列,温度(K),\"1,3-C4H6\",\"A\"\"B\"\r\nK,300,1E-05,0.5\r\n\r\n"_s);
}

} // namespace
} // namespace norvanta
