#include "literal_calcv.h"

#include <float.h>
#include <math.h>

namespace norvanta::test {

namespace {

// Notes in `overflowed` an infinity from finite, non-zero operands, and in
// `lost` that or a 0 or a subnormal.
void watch(double a, double b, double result, bool& overflowed, bool& lost)
{
    if (a == 0 || !(fabs(a) <= DBL_MAX) || b == 0 || !(fabs(b) <= DBL_MAX))
        return;
    overflowed = overflowed || fabs(result) > DBL_MAX;
    lost = lost || fabs(result) < DBL_MIN || fabs(result) > DBL_MAX; // a NaN is neither
}

} // namespace

double literalCalCv(double kp, double totalPressure, std::int32_t reactantCount,
                    std::int32_t productCount, double reactantCoef1, double reactantCoef2,
                    double reactantCoef3, double reactantCoef4, double reactantAmount1,
                    double reactantAmount2, double reactantAmount3, double reactantAmount4,
                    double productCoef1, double productCoef2, double productCoef3,
                    double productCoef4, double tolerance, bool* outOfRange)
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
        // Reactant side 0, product side 1; the factor f counts for both.
        bool overflowed = false;
        bool lost[2] = {false, false};
        watch(totalPressure, s, f, overflowed, lost[0]);
        lost[1] = lost[0];
        const auto times = [&](int side, double value, double moles, double coef) {
            const double power = pow(moles * f, coef);
            watch(moles, f, moles * f, overflowed, lost[side]);
            watch(moles * f, coef, power, overflowed, lost[side]);
            watch(value, power, value * power, overflowed, lost[side]);
            return value * power;
        };

        double qp = 1.0;
        for (int j = 0; j < products; ++j)
            qp = times(1, qp, m[j], productCoef[j]);
        double qr = kp;
        for (int i = 0; i < reactants; ++i)
            qr = times(0, qr, n[i], reactantCoef[i]);
        if (outOfRange)
            *outOfRange = *outOfRange || overflowed || (lost[0] && lost[1]);

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

} // namespace norvanta::test
