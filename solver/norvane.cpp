// The solver library: bisection on the conversion of the limiting compound,
// and the straight-line interpolation of dG over temperature. No state, no
// allocation, nothing but the C maths library.
#include "norvane.h"

#include <math.h>

namespace {

constexpr int kMaxIterations = 99;

int slotCount(int32_t count)
{
    return count < 0 ? 0 : (count > 4 ? 4 : count);
}

} // namespace

extern "C" double CalCv(double kp, double totalPressure, int32_t reactantCount,
                        int32_t productCount, double reactantCoef1, double reactantCoef2,
                        double reactantCoef3, double reactantCoef4, double reactantAmount1,
                        double reactantAmount2, double reactantAmount3, double reactantAmount4,
                        double productCoef1, double productCoef2, double productCoef3,
                        double productCoef4, double tolerance)
{
    const double reactantCoef[4] = {reactantCoef1, reactantCoef2, reactantCoef3, reactantCoef4};
    const double reactantAmount[4] = {reactantAmount1, reactantAmount2, reactantAmount3,
                                      reactantAmount4};
    const double productCoef[4] = {productCoef1, productCoef2, productCoef3, productCoef4};
    const int reactants = slotCount(reactantCount);
    const int products = slotCount(productCount);

    double lo = 0.0;
    double hi = 1.0;
    double x = 0.0;
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        x = (hi + lo) * 0.5;

        double reactantMoles[4];
        double productMoles[4];
        double total = 0.0;
        for (int i = 0; i < reactants; ++i) {
            reactantMoles[i] = reactantAmount[i] - reactantCoef[i] * x;
            total += reactantMoles[i];
        }
        for (int j = 0; j < products; ++j) {
            productMoles[j] = productCoef[j] * x;
            total += productMoles[j];
        }
        const double pressureFactor = totalPressure / total;

        double productSide = 1.0;
        for (int j = 0; j < products; ++j)
            productSide *= pow(productMoles[j] * pressureFactor, productCoef[j]);
        double reactantSide = kp;
        for (int i = 0; i < reactants; ++i)
            reactantSide *= pow(reactantMoles[i] * pressureFactor, reactantCoef[i]);

        const double residual = reactantSide - productSide;
        if (residual > 0)
            lo = x;
        else
            hi = x;
        // A NaN residual fails this test too and ends the loop at the current midpoint.
        if (!(fabs(residual) > tolerance))
            break;
    }
    return x;
}

extern "C" double Interp(float t1, double g1, float t2, double g2, float t)
{
    const double slope = (g1 - g2) / (double(t1) - double(t2));
    return (g1 - slope * double(t1)) + slope * double(t);
}

extern "C" int16_t WEP(int32_t)
{
    return 1;
}
