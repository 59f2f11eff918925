// CalCv against an independent solution of the equilibrium relation
// Kp = Π p(product)^ν / Π p(reactant)^ν, over six decades of Kp either side
// of 1 and three total pressures.
#include "norvane_exports.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace norvanta::test;

namespace {

struct NamedReaction {
    std::string name;
    SolverReaction reaction;
};

// Independent reference: Newton's method on ln Q − ln Kp in the variable
// t = ln(x / (1 − x)), safeguarded by a bracket. Working in t keeps both x and
// 1 − x accurate, and every reactant's moles are written as an excess that is
// never negative plus a share of 1 − x, so nothing cancels near full conversion.
class ReferenceSolver {
public:
    ReferenceSolver(const SolverReaction& r, double kp, double pressure)
        : r_(r), lnKp_(std::log(kp)), lnPressure_(std::log(pressure))
    {
    }

    double conversion() const
    {
        double lo = -800, hi = 800; // x from e^-800 to 1 − e^-800
        double t = 0;
        for (int i = 0; i < 200; ++i) {
            const auto [f, slope] = residual(t);
            if (f == 0)
                break;
            (f < 0 ? lo : hi) = t;
            double next = t - f / slope;
            if (!(next > lo && next < hi))
                next = 0.5 * (lo + hi);
            if (std::fabs(next - t) <= 1e-15 * std::fmax(1.0, std::fabs(t)))
                return xOf(next);
            t = next;
        }
        return xOf(t);
    }

private:
    static double xOf(double t) { return 1 / (1 + std::exp(-t)); }

    // ln Q(t) − ln Kp and its derivative with respect to t.
    std::pair<double, double> residual(double t) const
    {
        const double x = xOf(t);
        const double rest = 1 / (1 + std::exp(t)); // 1 − x
        double total = 0, lnQ = 0, dlnQdx = 0, productSum = 0, reactantSum = 0;
        for (int i = 0; i < r_.reactantCount; ++i) {
            const double nu = r_.reactantCoef[size_t(i)];
            const double n = (r_.reactantAmount[size_t(i)] - nu) + nu * rest;
            total += n;
            lnQ -= nu * std::log(n);
            dlnQdx += nu * nu / n;
            reactantSum += nu;
        }
        for (int j = 0; j < r_.productCount; ++j) {
            const double nu = r_.productCoef[size_t(j)];
            total += nu * x;
            lnQ += nu * std::log(nu * x);
            dlnQdx += nu / x;
            productSum += nu;
        }
        const double change = productSum - reactantSum;
        lnQ += change * (lnPressure_ - std::log(total));
        dlnQdx -= change * change / total;
        return {lnQ - lnKp_, dlnQdx * x * rest};
    }

    SolverReaction r_;
    double lnKp_;
    double lnPressure_;
};

SolverReaction reaction(int reactants, int products, std::array<double, 4> reactantCoef,
                        std::array<double, 4> reactantAmount, std::array<double, 4> productCoef)
{
    return {reactants, products, reactantCoef, reactantAmount, productCoef};
}

const NamedReaction kReactions[] = {
    {"CO2 + CH4 = 2 CO + 2 H2, feed 1:1", reaction(2, 2, {1, 1}, {1, 1}, {2, 2})},
    {"CO2 + CH4 = 2 CO + 2 H2, feed 1:2", reaction(2, 2, {1, 1}, {1, 2}, {2, 2})},
    {"CO + 2 H2 = CH3OH, feed 1:2", reaction(2, 1, {1, 2}, {1, 2}, {1})},
    {"CO + 2 H2 = CH3OH, feed 1:3", reaction(2, 1, {1, 2}, {1, 3}, {1})},
    {"CO + H2O = CO2 + H2, feed 1:1", reaction(2, 2, {1, 1}, {1, 1}, {1, 1})},
    {"N2 + 3 H2 = 2 NH3, feed 1:3", reaction(2, 1, {1, 3}, {1, 3}, {2})},
    {"CH4 + 0.5 O2 = CO + 2 H2, feed 1:0.5", reaction(2, 2, {1, 0.5}, {1, 0.5}, {1, 2})},
};

} // namespace

TEST(CalCvEquilibrium, AgreesWithAnIndependentSolutionOfTheEquilibriumRelation)
{
    for (const auto& [name, r] : kReactions) {
        for (const double pressure : {0.1, 1.0, 10.0}) {
            for (int decade = -12; decade <= 12; ++decade) {
                const double kp = std::pow(10.0, decade / 2.0);
                const double expected = ReferenceSolver(r, kp, pressure).conversion();
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
