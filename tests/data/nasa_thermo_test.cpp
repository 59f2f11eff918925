// Reading the NASA Glenn 9-coefficient format and evaluating its polynomials.
#include "tools/gen_database/nasa_thermo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

namespace norvanta::testing {
namespace {

using gen::NasaFormatError;
using gen::NasaInterval;
using gen::NasaSpecies;
using gen::readNasaThermo;

std::string printed(const char* format, double a, double b) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

// A Fortran D-exponent number of 16 columns.
std::string coefficient(double value) {
    std::string text = printed("%16.9E", value, 0);
    text[text.find('E')] = 'D';
    return text;
}

// The formula line: interval count, date code, up to five elements, phase.
std::string formulaLine(int intervals, const std::vector<std::pair<const char*, double>>& formula,
                        int phase) {
    std::string line = printed("%2.0f g 1/24 ", intervals, 0);
    for (size_t k = 0; k < 5; ++k) {
        const char* symbol = k < formula.size() ? formula[k].first : "";
        const double count = k < formula.size() ? formula[k].second : 0.0;
        char field[16];
        std::snprintf(field, sizeof field, "%-2s%6.2f", symbol, count);
        line += field;
    }
    return line + printed("%2.0f%13.7f", phase, 16.0) + "          0.000\n";
}

// The three lines of one interval with Cp/R = a3 and integration constants b1, b2.
std::string intervalLines(double low, double high, double a3, double b1, double b2) {
    return printed("%11.3f%11.3f", low, high) +
           "7 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0            0.000\n" + coefficient(0) +
           coefficient(0) + coefficient(a3) + coefficient(0) + coefficient(0) + "\n" +
           coefficient(0) + coefficient(0) + std::string(16, ' ') + coefficient(b1) +
           coefficient(b2) + "\n";
}

// Gas X (two intervals), END PRODUCTS, a condensed reactant Y with no
// polynomials, a reactant gas Z.
std::string sampleThermo() {
    return "! heading comment\n"
           "thermo\n"
           "    200.00   1000.00   6000.00  20000.     1/02/03\n"
           "X                 Test gas.\n" +
           formulaLine(2, {{"C", 1}, {"H", 2}}, 0) + intervalLines(200, 1000, 3.5, -1000, 2) +
           intervalLines(1000, 6000, 4.0, -1500, 1) +
           "!\n"
           "END PRODUCTS\n"
           "Y(L)              Assigned enthalpy only.\n" +
           formulaLine(0, {{"C", 2}, {"O", 1}}, 1) +
           "    298.150      0.0000  0.0  0.0  0.0  0.0  0.0  0.0  0.0  0.0            0.000\n"
           "Z                 Fuel.\n" +
           formulaLine(1, {{"C", 10}, {"H", 16}}, 0) + intervalLines(273.15, 1000, 5, 0, 0) +
           "END REACTANTS\n";
}

gen::NasaDatabase read(const std::string& text) {
    std::istringstream in(text);
    return readNasaThermo(in);
}

// G/(RT) for Cp/R = a3 constant: a3 (1 - ln T) + b1/T - b2.
double constantCpGibbs(double a3, double b1, double b2, double t) {
    return a3 * (1 - std::log(t)) + b1 / t - b2;
}

TEST(NasaThermo, ReadsEntriesFormulasAndSections) {
    const auto data = read(sampleThermo());
    EXPECT_EQ(data.date, "1/02/03");
    ASSERT_EQ(data.species.size(), 3u);

    const NasaSpecies& x = data.species[0];
    EXPECT_EQ(x.name, "X");
    EXPECT_EQ(x.phase, 0);
    EXPECT_FALSE(x.reactantOnly);
    EXPECT_EQ(x.atoms("C"), 1);
    EXPECT_EQ(x.atoms("H"), 2);
    EXPECT_EQ(x.atoms("O"), 0);
    ASSERT_EQ(x.intervals.size(), 2u);
    EXPECT_EQ(x.intervals[1].low, 1000);
    EXPECT_EQ(x.intervals[1].high, 6000);
    EXPECT_EQ(x.intervals[1].a[2], 4.0);
    EXPECT_EQ(x.intervals[1].b[0], -1500);

    const NasaSpecies& y = data.species[1];
    EXPECT_EQ(y.name, "Y(L)");
    EXPECT_EQ(y.phase, 1);
    EXPECT_TRUE(y.reactantOnly);
    EXPECT_TRUE(y.intervals.empty());
    EXPECT_EQ(y.atoms("O"), 1);

    const NasaSpecies& z = data.species[2];
    EXPECT_TRUE(z.reactantOnly);
    EXPECT_EQ(z.atoms("C"), 10);
    ASSERT_EQ(z.intervals.size(), 1u);
    EXPECT_EQ(z.intervals[0].low, 273.15);
}

TEST(NasaThermo, GibbsEnergyComesFromTheIntervalHoldingTheTemperature) {
    const NasaSpecies x = read(sampleThermo()).species[0];
    const struct {
        double kelvin;
        double expected;
    } cases[] = {
        {200, constantCpGibbs(3.5, -1000, 2, 200)},   {500, constantCpGibbs(3.5, -1000, 2, 500)},
        {1000, constantCpGibbs(3.5, -1000, 2, 1000)}, // a shared boundary takes the lower interval
        {1100, constantCpGibbs(4.0, -1500, 1, 1100)}, {6000, constantCpGibbs(4.0, -1500, 1, 6000)},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(x.reducedGibbs(c.kelvin), c.expected, 1e-12) << c.kelvin << " K";
    EXPECT_THROW(x.reducedGibbs(199.9), std::out_of_range);
    EXPECT_THROW(x.reducedGibbs(6000.1), std::out_of_range);
}

TEST(NasaThermo, CoverageNeedsIntervalsWithoutGaps) {
    const auto species = [](std::vector<std::pair<double, double>> ranges) {
        NasaSpecies s;
        for (auto [low, high] : ranges)
            s.intervals.push_back(NasaInterval{low, high, {}, {}});
        return s;
    };
    const struct {
        const char* what;
        NasaSpecies s;
        bool covered;
    } cases[] = {
        {"two joined intervals", species({{200, 1000}, {1000, 6000}}), true},
        {"listed out of order", species({{1000, 6000}, {200, 1000}}), true},
        {"one interval exactly", species({{300, 1100}}), true},
        {"starts too late", species({{300.5, 6000}}), false},
        {"ends too early", species({{200, 1000}}), false},
        {"gap in between", species({{200, 1000}, {1050, 6000}}), false},
        {"no polynomials", species({}), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.s.covers(300, 1100), c.covered) << c.what;
}

TEST(NasaThermo, MalformedInputNamesTheLine) {
    const std::string good = sampleThermo();
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        const char* what;
        std::string text;
        const char* message;
    } cases[] = {
        {"no thermo line", "! nothing but comments\n", "no \"thermo\" line"},
        {"letters in a coefficient", replaced(coefficient(3.5), " 3.500000000X+00"),
         "line 7: bad coefficient"},
        {"other exponents", replaced("7 -2.0 -1.0", "7 -3.0 -1.0"), "line 6: exponents"},
        {"interval end below start",
         replaced(printed("%11.3f%11.3f", 200, 1000), printed("%11.3f%11.3f", 1000, 200)),
         "line 6: interval end"},
        {"cut inside an entry",
         good.substr(0, good.find("X ")) + "X\n" + formulaLine(2, {{"C", 1}}, 0),
         "file ends inside"},
        {"no END REACTANTS", replaced("END REACTANTS\n", ""), "no END REACTANTS"},
    };
    for (const auto& c : cases) {
        try {
            read(c.text);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const NasaFormatError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.what << ": " << error.what();
        }
    }
}

} // namespace
} // namespace norvanta::testing
