// The shipped CalCv against the literal transcription of its algorithm, bit
// for bit, on random reactions: every shortcut CalCv takes must leave its
// result exactly as the plain bisection leaves it.
#include "literal/literal_calcv.h"
#include "norvane_exports.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

using namespace norvanta::test;

namespace {

struct RandomCase {
    SolverReaction reaction;
    double kp = 0;
    double pressure = 0;
};

// Coefficients 0.5 to 4 in halves; ratios 0.1 to 10 and pressures 0.01 to
// 100 atm spread evenly on a log scale; Kp from 1e-40 to 1e40 the same way,
// and 0 in one case of twenty. Unused slots hold values that must not matter.
//
// Raw: half the reactions have the limiting compound's coefficient and amount
// set to 1 and the rest left as drawn, so that some run out of a reactant and
// end on a NaN residual.
// Normalised: every coefficient and amount divided by the limiting
// compound's, as the program passes them. That gives the repeated thirds and
// halves where CalCv decides signs from logs; a quarter of the feeds are
// exactly stoichiometric, so that two reactants run out together.
enum class Feed { Raw, Normalised };

class CaseGenerator {
public:
    CaseGenerator(std::uint64_t seed, Feed feed) : engine_(seed), feed_(feed) {}

    RandomCase next()
    {
        RandomCase c;
        SolverReaction& r = c.reaction;
        r.reactantCount = int(uniform(1, 5));
        r.productCount = int(uniform(1, 5));
        for (int k = 0; k < 4; ++k) {
            r.reactantCoef[size_t(k)] = coefficient();
            r.reactantAmount[size_t(k)] = logUniform(0.1, 10);
            r.productCoef[size_t(k)] = coefficient();
        }
        if (feed_ == Feed::Normalised) {
            const double limiting = r.reactantCoef[0];
            for (int k = 0; k < 4; ++k) {
                r.reactantCoef[size_t(k)] /= limiting;
                r.productCoef[size_t(k)] /= limiting;
                const double excess = uniform(0, 4) == 0 ? 1.0 : logUniform(1, 10);
                r.reactantAmount[size_t(k)] = r.reactantCoef[size_t(k)] * excess;
            }
            r.reactantAmount[0] = 1;
        } else if (uniform(0, 2) == 0) {
            r.reactantCoef[0] = 1;
            r.reactantAmount[0] = 1;
        }
        for (int k = r.reactantCount; k < 4; ++k)
            r.reactantCoef[size_t(k)] = r.reactantAmount[size_t(k)] = -7.25;
        for (int k = r.productCount; k < 4; ++k)
            r.productCoef[size_t(k)] = -7.25;
        c.kp = uniform(0, 20) == 0 ? 0.0 : logUniform(1e-40, 1e40);
        c.pressure = logUniform(0.01, 100);
        return c;
    }

private:
    std::uint64_t uniform(std::uint64_t from, std::uint64_t to)
    {
        return std::uniform_int_distribution<std::uint64_t>(from, to - 1)(engine_);
    }
    double coefficient() { return double(uniform(1, 9)) * 0.5; }
    double logUniform(double from, double to)
    {
        std::uniform_real_distribution<double> exponent(std::log10(from), std::log10(to));
        return std::pow(10.0, exponent(engine_));
    }

    std::mt19937_64 engine_;
    Feed feed_;
};

bool sameBits(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

double literal(const RandomCase& c, double tolerance)
{
    const SolverReaction& r = c.reaction;
    return literalCalCv(c.kp, c.pressure, r.reactantCount, r.productCount, r.reactantCoef[0],
                        r.reactantCoef[1], r.reactantCoef[2], r.reactantCoef[3],
                        r.reactantAmount[0], r.reactantAmount[1], r.reactantAmount[2],
                        r.reactantAmount[3], r.productCoef[0], r.productCoef[1], r.productCoef[2],
                        r.productCoef[3], tolerance);
}

} // namespace

TEST(CalCvIdentity, RandomReactionsGiveTheLiteralAlgorithmsBits)
{
    constexpr int kReactions = 100000;
    CaseGenerator raw(20261208, Feed::Raw);
    CaseGenerator normalised(20261209, Feed::Normalised);
    int mismatches = 0;
    // Both the tolerance the sweep has passed and none at all, where only
    // the 99 halvings or a collapsed bracket end the loop.
    for (int n = 0; n < 2 * kReactions; ++n) {
        const RandomCase c = n < kReactions ? raw.next() : normalised.next();
        for (const double tolerance : {1e-30, 0.0}) {
            const double shipped = calCv(c.reaction, c.kp, c.pressure, tolerance);
            const double expected = literal(c, tolerance);
            if (sameBits(shipped, expected))
                continue;
            if (++mismatches <= 5) {
                const SolverReaction& r = c.reaction;
                ADD_FAILURE() << "reaction " << n << ": CalCv " << shipped << ", literal "
                              << expected << " (Kp " << c.kp << ", P " << c.pressure
                              << ", tolerance " << tolerance << ", counts " << r.reactantCount
                              << "/" << r.productCount << ")";
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// Reactions whose slots share exponents, where CalCv decides signs from logs
// and from certified points either side of the root, taken to the edges of
// what that may decide: Kp and pressures far beyond a chemist's range, Kp
// zero, subnormal, infinite or NaN, and tolerances at which the plain
// bisection stops early, never, or at once.
TEST(CalCvIdentity, SharedExponentsKeepTheBitsAtEveryScaleAndTolerance)
{
    constexpr double kThird = 1.0 / 3.0;
    const SolverReaction shapes[] = {
        // CO + 3 H2 = CH4 + H2O, H2 limiting, fed 1:3 and with CO in excess.
        {2, 2, {1, kThird}, {1, kThird}, {kThird, kThird}},
        {2, 2, {1, kThird}, {1, 1}, {kThird, kThird}},
        // 2 A + B = C + D, A limiting.
        {2, 2, {1, 0.5}, {1, 0.5}, {0.5, 0.5}},
        // 3 A + B + C = 2 D + E, A limiting; one product coefficient 0 in the last.
        {3, 2, {1, kThird, kThird}, {1, 2, kThird}, {2 * kThird, kThird}},
        {3, 2, {1, kThird, kThird}, {1, 2, kThird}, {2 * kThird, 0}},
    };
    std::vector<double> kps = {0.0, 0x1p-1074, 0x1p-1022, 1e300, INFINITY, NAN};
    for (int e = -300; e <= 300; e += 7)
        kps.push_back(std::pow(10.0, e) * 1.37);
    const double pressures[] = {1e-100, 1e-30, 1e-3, 1, 100, 1e30, 1e100};
    const double tolerances[] = {-1, 0, 1e-300, 1e-30, 1e-12, 1e-3, 1, 1e8, INFINITY, NAN};

    int mismatches = 0;
    for (const SolverReaction& r : shapes) {
        for (const double kp : kps) {
            for (const double pressure : pressures) {
                for (const double tolerance : tolerances) {
                    const RandomCase c{r, kp, pressure};
                    const double shipped = calCv(r, kp, pressure, tolerance);
                    const double expected = literal(c, tolerance);
                    if (!sameBits(shipped, expected) && ++mismatches <= 5) {
                        ADD_FAILURE() << "CalCv " << shipped << ", literal " << expected << " (Kp "
                                      << kp << ", P " << pressure << ", tolerance " << tolerance
                                      << ", exponents " << r.reactantCoef[1] << "/"
                                      << r.productCoef[0] << ")";
                    }
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}
