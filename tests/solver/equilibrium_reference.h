#pragma once

// An equilibrium solution independent of Norvane.dll, for checking CalCv and
// the results of whole runs against it.
#include <array>
#include <cmath>
#include <utility>

namespace norvanta::test {

// A reaction in the slot form CalCv takes. The reference below needs it
// normalised as the program passes it: the limiting compound first, with
// coefficient and amount 1, and every other reactant's amount at least its
// coefficient.
struct SolverReaction {
    int reactantCount = 0;
    int productCount = 0;
    std::array<double, 4> reactantCoef{};
    std::array<double, 4> reactantAmount{};
    std::array<double, 4> productCoef{};
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

// The conversion x that solves Kp = Π p(product)^ν / Π p(reactant)^ν.
inline double referenceConversion(const SolverReaction& r, double kp, double pressure)
{
    return ReferenceSolver(r, kp, pressure).conversion();
}

} // namespace norvanta::test
