#include "literal_calcv.h"

#include <float.h>
#include <math.h>

#include <initializer_list>

namespace norvanta::test {

namespace {

// Whether an operation on finite, non-zero operands overflowed, and whether
// it gave 0, a subnormal or an infinity.
struct Range {
    bool overflowed = false;
    bool lost = false;
};
Range rangeOf(double a, double b, double result)
{
    const auto finiteNonZero = [](double v) { return v != 0 && fabs(v) <= DBL_MAX; };
    if (!finiteNonZero(a) || !finiteNonZero(b))
        return {};
    const double magnitude = fabs(result);
    return {magnitude > DBL_MAX, magnitude < DBL_MIN || magnitude > DBL_MAX};
}

// The bisection; with Watch, it also notes in outOfRange whether at any
// midpoint something overflowed or both sides lost their range.
template <bool Watch>
double bisection(double kp, double totalPressure, std::int32_t reactantCount,
                 std::int32_t productCount, double reactantCoef1, double reactantCoef2,
                 double reactantCoef3, double reactantCoef4, double reactantAmount1,
                 double reactantAmount2, double reactantAmount3, double reactantAmount4,
                 double productCoef1, double productCoef2, double productCoef3, double productCoef4,
                 double tolerance, bool& outOfRange)
{
    const double reactantCoef[4] = {reactantCoef1, reactantCoef2, reactantCoef3, reactantCoef4};
    const double reactantAmount[4] = {reactantAmount1, reactantAmount2, reactantAmount3,
                                      reactantAmount4};
    const double productCoef[4] = {productCoef1, productCoef2, productCoef3, productCoef4};
    // Only four slots exist; a count beyond them means all four, below one none.
    const int reactants = reactantCount < 0 ? 0 : (reactantCount > 4 ? 4 : reactantCount);
    const int products = productCount < 0 ? 0 : (productCount > 4 ? 4 : productCount);

    double lo = 0.0;
    double hi = 1.0;
    double x = 0.0;
    for (int iteration = 1; iteration <= 99; ++iteration) {
        x = (hi + lo) * 0.5;

        double n[4];
        double m[4];
        double s = 0.0;
        for (int i = 0; i < reactants; ++i) {
            n[i] = reactantAmount[i] - reactantCoef[i] * x;
            s += n[i];
        }
        for (int j = 0; j < products; ++j) {
            m[j] = productCoef[j] * x;
            s += m[j];
        }
        const double f = totalPressure / s;
        // Overflow anywhere, and range lost on each side (the factor f on both).
        [[maybe_unused]] bool overflowed = false;
        [[maybe_unused]] bool lost[2] = {false, false};
        if constexpr (Watch) {
            const Range r = rangeOf(totalPressure, s, f);
            overflowed = r.overflowed;
            lost[0] = lost[1] = r.lost;
        }
        const auto times = [&]([[maybe_unused]] int side, double value, double moles, double coef) {
            const double power = pow(moles * f, coef);
            if constexpr (Watch) {
                for (const Range r : {rangeOf(moles, f, moles * f), rangeOf(moles * f, coef, power),
                                      rangeOf(value, power, value * power)}) {
                    overflowed = overflowed || r.overflowed;
                    lost[side] = lost[side] || r.lost;
                }
            }
            return value * power;
        };

        double qp = 1.0;
        for (int j = 0; j < products; ++j)
            qp = times(1, qp, m[j], productCoef[j]);
        double qr = kp;
        for (int i = 0; i < reactants; ++i)
            qr = times(0, qr, n[i], reactantCoef[i]);
        if constexpr (Watch)
            outOfRange = outOfRange || overflowed || (lost[0] && lost[1]);

        const double r = qr - qp;
        if (r > 0)
            lo = x;
        else
            hi = x;
        // Go on only while the residual exceeds the tolerance: a NaN residual,
        // or a NaN tolerance, fails that test and stops the loop at once.
        if (!(fabs(r) > tolerance))
            break;
    }
    return x;
}

} // namespace

double literalCalCv(double kp, double totalPressure, std::int32_t reactantCount,
                    std::int32_t productCount, double reactantCoef1, double reactantCoef2,
                    double reactantCoef3, double reactantCoef4, double reactantAmount1,
                    double reactantAmount2, double reactantAmount3, double reactantAmount4,
                    double productCoef1, double productCoef2, double productCoef3,
                    double productCoef4, double tolerance)
{
    bool unused = false;
    return bisection<false>(kp, totalPressure, reactantCount, productCount, reactantCoef1,
                            reactantCoef2, reactantCoef3, reactantCoef4, reactantAmount1,
                            reactantAmount2, reactantAmount3, reactantAmount4, productCoef1,
                            productCoef2, productCoef3, productCoef4, tolerance, unused);
}

bool literalLeavesRange(double kp, double totalPressure, std::int32_t reactantCount,
                        std::int32_t productCount, double reactantCoef1, double reactantCoef2,
                        double reactantCoef3, double reactantCoef4, double reactantAmount1,
                        double reactantAmount2, double reactantAmount3, double reactantAmount4,
                        double productCoef1, double productCoef2, double productCoef3,
                        double productCoef4, double tolerance)
{
    bool outOfRange = false;
    bisection<true>(kp, totalPressure, reactantCount, productCount, reactantCoef1, reactantCoef2,
                    reactantCoef3, reactantCoef4, reactantAmount1, reactantAmount2, reactantAmount3,
                    reactantAmount4, productCoef1, productCoef2, productCoef3, productCoef4,
                    tolerance, outOfRange);
    return outOfRange;
}

} // namespace norvanta::test
