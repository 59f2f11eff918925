// CalCv against an independent solution of the equilibrium relation
// Kp = Π p(product)^ν / Π p(reactant)^ν, over six decades of Kp either side
// of 1 and three total pressures.
#include "equilibrium_reference.h"
#include "norvane_exports.h"

#include "engine/temperature_sweep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace norvanta::test;

namespace {

struct NamedReaction {
    std::string name;
    SolverReaction reaction;
};

const NamedReaction kReactions[] = {
    {"CO2 + CH4 = 2 CO + 2 H2, feed 1:1", {2, 2, {1, 1}, {1, 1}, {2, 2}}},
    {"CO2 + CH4 = 2 CO + 2 H2, feed 1:2", {2, 2, {1, 1}, {1, 2}, {2, 2}}},
    {"CO + 2 H2 = CH3OH, feed 1:2", {2, 1, {1, 2}, {1, 2}, {1}}},
    {"CO + 2 H2 = CH3OH, feed 1:3", {2, 1, {1, 2}, {1, 3}, {1}}},
    {"CO + H2O = CO2 + H2, feed 1:1", {2, 2, {1, 1}, {1, 1}, {1, 1}}},
    {"N2 + 3 H2 = 2 NH3, feed 1:3", {2, 1, {1, 3}, {1, 3}, {2}}},
    {"CH4 + 0.5 O2 = CO + 2 H2, feed 1:0.5", {2, 2, {1, 0.5}, {1, 0.5}, {1, 2}}},
};

} // namespace

TEST(CalCvEquilibrium, AgreesWithAnIndependentSolutionOfTheEquilibriumRelation)
{
    for (const auto& [name, r] : kReactions) {
        for (const double pressure : {0.1, 1.0, 10.0}) {
            for (int decade = -12; decade <= 12; ++decade) {
                const double kp = std::pow(10.0, decade / 2.0);
                const double expected = referenceConversion(r, kp, pressure);
                const double x = calCv(r, kp, pressure);
                // 99 halvings leave a bracket of 2^-99; what remains is the
                // rounding of the residual QR − QP near the root, a few units
                // in the last place of x.
                EXPECT_NEAR(x, expected, 1e-13 * expected)
                    << name << ", P " << pressure << " atm, Kp " << kp;
            }
        }
    }
}

TEST(CalCvEquilibrium, EquimolarReactionDoesNotDependOnPressure)
{
    const SolverReaction shift = kReactions[4].reaction;
    for (const double kp : {1e-4, 0.3, 1.0, 25.0, 1e5}) {
        // Kp = x² / (1 − x)² for CO + H2O = CO2 + H2 from 1:1.
        const double expected = std::sqrt(kp) / (1 + std::sqrt(kp));
        for (const double pressure : {0.1, 1.0, 10.0})
            EXPECT_NEAR(calCv(shift, kp, pressure), expected, 1e-14 * expected)
                << "Kp " << kp << ", P " << pressure;
    }
}

// The tolerance the calculation passes lets the bisection close on the root
// even where both sides of the relation are far below 1e-30: dry reforming
// from 1:1 at very low pressure and at the Kp of 300 K.
TEST(CalCvEquilibrium, TheCalculationsToleranceFindsTheRootAtLowPressureAndTinyKp)
{
    const SolverReaction reforming = kReactions[0].reaction;
    const struct {
        double pressure;
        double kp;
        double conversion; // to three digits or more
    } cases[] = {
        {1e-10, 2e-14, 0.99929},
        {1e-6, 1.2e-34, 2.34e-6},
        {0.01, 1.2e-34, 2.34e-8},
        {1, 1.2e-34, 2.34e-9},
    };
    for (const auto& c : cases) {
        const double expected = referenceConversion(reforming, c.kp, c.pressure);
        EXPECT_NEAR(expected, c.conversion, 0.005 * c.conversion) << "P " << c.pressure;
        EXPECT_NEAR(calCv(reforming, c.kp, c.pressure, norvanta::TemperatureSweep::kTolerance),
                    expected, 1e-12 * expected)
            << "P " << c.pressure << " atm, Kp " << c.kp;
    }
}
