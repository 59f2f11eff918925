// CalCv of the built Norvane.dll on reactions whose answer is known in closed
// form, and on the inputs the bisection has to survive.
#include "norvane_exports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace norvanta::test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// A ⇌ B, one mole of A: S = 1 for every x and the residual is Kp(1 − x) − x.
const SolverReaction kIsomerisation{1, 1, {1}, {1}, {1}};

// CO2 + CH4 = 2 CO + 2 H2, feed 1:1.
const SolverReaction kDryReforming{2, 2, {1, 1}, {1, 1}, {2, 2}};

} // namespace

TEST(CalCv, IsomerisationConvergesToKpOverOnePlusKp)
{
    for (const double kp : {1e-12, 1e-6, 1e-3, 0.1, 0.25, 0.5, 2.0, 3.0, 10.0, 1e3, 1e6, 1e12}) {
        const double expected = kp / (1 + kp);
        EXPECT_NEAR(calCv(kIsomerisation, kp, 1.0), expected, 4e-16 * expected) << "Kp " << kp;
    }
}

TEST(CalCv, ExactResultsAtOneHalfAndAtBothEnds)
{
    const struct {
        double kp;
        double pressure;
        double expected;
    } cases[] = {
        // Kp 1 gives one half; total pressure does not enter when the mole
        // count does not change.
        {1.0, 1.0, 0.5},
        {1.0, 7.5, 0.5},
        // Kp 0 halves down to 2^-99.
        {0.0, 1.0, std::ldexp(1.0, -99)},
        // Kp beyond the double resolution gives exactly one.
        {1e17, 1.0, 1.0},
        {1e20, 1.0, 1.0},
        {1e100, 1.0, 1.0},
        {1e300, 1.0, 1.0},
        {kInf, 1.0, 1.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(calCv(kIsomerisation, c.kp, c.pressure), c.expected)
            << "Kp " << c.kp << ", P " << c.pressure;

    const double belowResolution = calCv(kIsomerisation, 1e15, 1.0);
    EXPECT_LT(belowResolution, 1.0);
    EXPECT_NEAR(belowResolution, 1e15 / (1 + 1e15), 1e-15);
}

TEST(CalCv, UnusedSlotsChangeNothing)
{
    const double reference = calCv(kDryReforming, 3.7, 2.0);
    for (const double garbage : {0.0, -5.0, 1e300, -1e300, kNaN, kInf, -kInf}) {
        SolverReaction r = kDryReforming;
        r.reactantCoef[2] = r.reactantCoef[3] = garbage;
        r.reactantAmount[2] = r.reactantAmount[3] = garbage;
        r.productCoef[2] = r.productCoef[3] = garbage;
        EXPECT_EQ(calCv(r, 3.7, 2.0), reference) << "garbage " << garbage;
    }
}

TEST(CalCv, CountsOutsideOneToFourAreClampedToTheSlotsThatExist)
{
    SolverReaction four;
    four.reactantCount = 4;
    four.productCount = 4;
    four.reactantCoef = {1, 0.5, 2, 1};
    four.reactantAmount = {1, 3, 4, 2};
    four.productCoef = {1, 2, 0.5, 1};

    SolverReaction seven = four;
    seven.reactantCount = 7;
    seven.productCount = 1000;
    EXPECT_EQ(calCv(seven, 0.3, 1.0), calCv(four, 0.3, 1.0));

    // No slot at all: QP = 1 and QR = Kp whatever x, so the residual's sign
    // alone drives the bisection to one end.
    SolverReaction none = four;
    none.reactantCount = -3;
    none.productCount = 0;
    EXPECT_EQ(calCv(none, 0.5, 1.0), std::ldexp(1.0, -99));
    EXPECT_EQ(calCv(none, 2.0, 1.0), 1.0);
}

TEST(CalCv, ProductCoefficientZeroContributesNothing)
{
    SolverReaction withSpectator = kDryReforming;
    withSpectator.productCount = 3;
    withSpectator.productCoef[2] = 0;
    for (const double kp : {1e-4, 0.5, 20.0})
        EXPECT_EQ(calCv(withSpectator, kp, 1.0), calCv(kDryReforming, kp, 1.0)) << "Kp " << kp;
}

TEST(CalCv, NaNResidualStopsAtTheCurrentMidpoint)
{
    // A + 1.5 B = C with too little B: n_B = 0.8 − 1.5x turns negative above
    // x = 0.533, where pow of a negative base to 1.5 is NaN. With a large Kp
    // the first midpoint 0.5 still has a positive residual, the second 0.75
    // has a NaN residual and is returned.
    SolverReaction shortOfB;
    shortOfB.reactantCount = 2;
    shortOfB.productCount = 1;
    shortOfB.reactantCoef = {1, 1.5, 0, 0};
    shortOfB.reactantAmount = {1, 0.8, 0, 0};
    shortOfB.productCoef = {1, 0, 0, 0};
    EXPECT_EQ(calCv(shortOfB, 1e6, 1.0), 0.75);

    // NaN in an argument that every iteration uses stops the first one.
    EXPECT_EQ(calCv(kDryReforming, kNaN, 1.0), 0.5);
    EXPECT_EQ(calCv(kDryReforming, 1.0, kNaN), 0.5);
    SolverReaction nanCoefficient = kDryReforming;
    nanCoefficient.productCoef[1] = kNaN;
    EXPECT_EQ(calCv(nanCoefficient, 1.0, 1.0), 0.5);
}

TEST(CalCv, StopsAtTheFirstMidpointWithinTheToleranceAndReturnsThatMidpoint)
{
    // A ⇌ B with Kp = 2: midpoints 0.5, 0.75, 0.625, 0.6875 have the
    // residuals 0.5, −0.25, 0.125, −0.0625.
    const struct {
        double tolerance;
        double expected;
    } cases[] = {{1.0, 0.5}, {0.5, 0.5}, {0.3, 0.75}, {0.2, 0.625}, {0.1, 0.6875}};
    for (const auto& c : cases)
        EXPECT_EQ(calCv(kIsomerisation, 2.0, 1.0, c.tolerance), c.expected)
            << "tolerance " << c.tolerance;
}

TEST(CalCv, KpOfZeroStopsWhenTheProductSideVanishesBelowTheTolerance)
{
    // Kp = 0 makes the residual −QP. The result is the first power of one half
    // whose QP is at most 1e-30, which for dry reforming comes long before the
    // 99th halving.
    const auto productSide = [](double x, double pressure) {
        const double f = pressure / (2 + 2 * x);
        return std::pow(2 * x * f, 2) * std::pow(2 * x * f, 2);
    };
    for (const double pressure : {0.1, 1.0, 10.0}) {
        const double x = calCv(kDryReforming, 0.0, pressure);
        int exponent = 0;
        EXPECT_EQ(std::frexp(x, &exponent), 0.5) << "not a power of two: " << x;
        EXPECT_GT(exponent, -90) << "ran on past the tolerance";
        EXPECT_LE(productSide(x, pressure), 1e-30);
        EXPECT_GT(productSide(2 * x, pressure), 1e-30) << "should have stopped one halving later";
    }
}

TEST(CalCv, AlwaysReturnsAConversionAboveZeroAndAtMostOne)
{
    const struct {
        double kp;
        double pressure;
        double reactantCoef2;
        double reactantAmount2;
    } cases[] = {
        {-1.0, 1.0, 1, 1},  {1.0, 0.0, 1, 1},   {1.0, -2.0, 1, 1}, {1.0, kInf, 1, 1},
        {1.0, 1.0, -1, 1},  {1.0, 1.0, 1, 0},   {1.0, 1.0, 1, -1}, {-kInf, 1.0, 1, 1},
        {1e-300, 1e-300, 1, 1}, {1e300, 1e300, 3, 0.1},
    };
    for (const auto& c : cases) {
        SolverReaction r = kDryReforming;
        r.reactantCoef[1] = c.reactantCoef2;
        r.reactantAmount[1] = c.reactantAmount2;
        const double x = calCv(r, c.kp, c.pressure);
        EXPECT_GT(x, 0.0) << "Kp " << c.kp << " P " << c.pressure;
        EXPECT_LE(x, 1.0) << "Kp " << c.kp << " P " << c.pressure;
    }
}
