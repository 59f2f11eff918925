#include "common/number_text.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace norvanta;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

QString text(const char16_t* utf16) { return QString::fromUtf16(utf16); }

} // namespace

TEST(LeadingValue, LongestNumericPrefixAfterLeadingBlanks)
{
    const struct {
        const char16_t* text;
        double value;
    } cases[] = {
        {u"2.50", 2.5},      {u"1-butene", 1},   {u"H2O", 0},        {u"", 0},
        {u" .5", 0.5},       {u"-.5e3", -500},   {u"1e", 1},         {u"1e+", 1},
        {u"+", 0},           {u"..5", 0},        {u"-", 0},          {u".", 0},
        {u"+4", 4},          {u"\t 7", 7},       {u"  -3 ", -3},     {u"1.2.3", 1.2},
        {u"12abc", 12},      {u"1E3", 1000},     {u"1e-2x", 0.01},   {u"2.5E+2", 250},
        {u"3.", 3},          {u"1 2", 1},        {u"0x1A", 0},       {u"e5", 0},
        {u".e5", 0},         {u"1e5.5", 1e5},    {u"007", 7},        {u"１２", 0},
        {u"0.1", 0.1},       {u"-0", 0},         {u"1e-400", 0},     {u"1e999", kInf},
        {u"-1e999", -kInf},  {u"0.0001e999", kInf}, {u"123456789012345678901234567890", 1.2345678901234568e29},
    };
    for (const auto& c : cases)
        EXPECT_EQ(leadingValue(text(c.text)), c.value) << QString::fromUtf16(c.text).toStdString();
}

// Switches LC_NUMERIC to a locale whose decimal point is a comma for its
// lifetime: an installed one, or one compiled into a temporary folder.
class CommaLocale {
public:
    CommaLocale() : previous_(std::setlocale(LC_NUMERIC, nullptr))
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_NUMERIC, name))
                return;
        }
        if (!folder_.isValid())
            return;
        const QString compiled = folder_.filePath(QStringLiteral("de_DE.UTF-8"));
        QProcess localedef;
        localedef.start(QStringLiteral("localedef"),
                        {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                         QStringLiteral("UTF-8"), compiled});
        if (!localedef.waitForFinished(60000) || localedef.exitCode() != 0)
            return;
        qputenv("LOCPATH", folder_.path().toLocal8Bit());
        locPathSet_ = true;
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }
    ~CommaLocale()
    {
        std::setlocale(LC_NUMERIC, previous_.c_str());
        if (locPathSet_)
            qunsetenv("LOCPATH");
    }

    bool active() const { return *std::localeconv()->decimal_point == ','; }

private:
    std::string previous_;
    QTemporaryDir folder_;
    bool locPathSet_ = false;
};

TEST(LeadingValue, ReadsThePointAsDecimalPointUnderACommaLocale)
{
    double halfway = 0;
    double exponent = 0;
    QString general;
    {
        const CommaLocale locale;
        if (!locale.active())
            GTEST_SKIP() << "no locale with a decimal comma is installed or can be compiled";
        halfway = leadingValue(u"2.5");
        exponent = leadingValue(u"-1.25e2");
        general = generalNumberText(2.5);
    }
    EXPECT_EQ(halfway, 2.5);
    EXPECT_EQ(exponent, -125);
    EXPECT_EQ(general, u"2.5");
}

TEST(GeneralNumberText, FifteenSignificantDigitsFixedOrExponentForm)
{
    const struct {
        double value;
        const char16_t* text;
    } cases[] = {
        {0.0, u"0"},
        {-0.0, u"0"},
        {100.0, u"100"},
        {-12.5, u"-12.5"},
        {0.0001, u"0.0001"},
        {1e-5, u"1E-05"},
        {-1e-5, u"-1E-05"},
        {0.00001234, u"1.234E-05"},
        {2.5e15, u"2.5E+15"},
        {1e15, u"1E+15"},
        {999999999999999.0, u"999999999999999"},
        {123456789012345.0, u"123456789012345"},
        {1234567890123456.0, u"1.23456789012346E+15"},
        {1.0 / 3.0, u"0.333333333333333"},
        {2.0 / 3.0, u"0.666666666666667"},
        {0.1 + 0.2, u"0.3"},
        {-0.00012, u"-0.00012"},
        {123.456, u"123.456"},
        {1.987216, u"1.987216"},
        {1e100, u"1E+100"},
        {1.5e-300, u"1.5E-300"},
        {99999.99999999999, u"100000"},
        {0.000099999999999999999, u"0.0001"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(generalNumberText(c.value), text(c.text)) << c.value;
}

TEST(GeneralNumberText, ReadsBackThroughTheLeadingValue)
{
    for (const double value : {0.1, -2.75, 1e-7, 6.02214076e23, 1234.5678, 4.184})
        EXPECT_EQ(leadingValue(generalNumberText(value)), value) << value;
}

TEST(SignedNumberTexts, BlankOrPlusWhereTheMinusWouldStand)
{
    const struct {
        double value;
        const char16_t* blankSigned;
        const char16_t* signedText;
    } cases[] = {
        {0, u" 0", u"+0"},         {1, u" 1", u"+1"},           {53, u" 53", u"+53"},
        {-12.5, u"-12.5", u"-12.5"}, {1e-5, u" 1E-05", u"+1E-05"}, {-3e20, u"-3E+20", u"-3E+20"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(blankSignedNumberText(c.value), text(c.blankSigned)) << c.value;
        EXPECT_EQ(signedNumberText(c.value), text(c.signedText)) << c.value;
    }
}
