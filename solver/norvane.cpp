// The solver library: bisection on the conversion of the limiting compound,
// and the straight-line interpolation of dG over temperature. No state, no
// allocation, nothing but the C maths library.
//
// CalCv returns exactly what the plain bisection returns: 99 halvings, pow
// for every slot. It gets there sooner by leaving out only work whose result
// is known bit for bit: the halvings after the bracket has stopped moving,
// and pow where the exponent is 0, 1, or 2 with a square that pow must round
// the same way.
#include "norvane.h"

#include <math.h>
#include <string.h>

namespace {

constexpr int kMaxIterations = 99;

int slotCount(int32_t count)
{
    return count < 0 ? 0 : (count > 4 ? 4 : count);
}

// The unit in the last place of a positive normal double.
double unitInLastPlace(double value)
{
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    bits &= 0x7ff0000000000000u;
    double power;
    memcpy(&power, &bits, sizeof power);
    return power * 0x1p-52;
}

// base², rounded once, when pow(base, 2) is certain to return the same double.
// pow is accurate to within 0.52 ulp, so it can round the exact square to the
// other neighbour only when the square lies close to the midpoint between
// two doubles. Dekker's product gives the rounding error of base·base
// exactly (the range guard keeps every partial product normal); within 3/8
// ulp of the exact square, every other double is more than 5/8 ulp away.
bool exactSquare(double base, double& square)
{
    const double magnitude = fabs(base);
    if (!(magnitude >= 0x1p-450 && magnitude <= 0x1p450))
        return false;
    const double product = base * base;
    const double split = 134217729.0 * base; // 2^27 + 1 halves the mantissa
    const double high = split - (split - base);
    const double low = base - high;
    const double error = ((high * high - product) + 2 * high * low) + low * low;
    if (fabs(error) > 0.375 * unitInLastPlace(product))
        return false;
    square = product;
    return true;
}

// pow(base, exponent), bit for bit.
double slotPower(double base, double exponent)
{
    if (exponent == 0.0)
        return 1.0; // pow(anything, 0) is 1, NaN included
    if (exponent == 1.0)
        return base; // exact, so pow cannot round it
    double square;
    if (exponent == 2.0 && exactSquare(base, square))
        return square;
    return pow(base, exponent);
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
            productSide *= slotPower(productMoles[j] * pressureFactor, productCoef[j]);
        double reactantSide = kp;
        for (int i = 0; i < reactants; ++i)
            reactantSide *= slotPower(reactantMoles[i] * pressureFactor, reactantCoef[i]);

        const double residual = reactantSide - productSide;
        // A midpoint equal to the end it replaces leaves the bracket as it was:
        // every later iteration would evaluate this same midpoint again.
        const bool bracketStays = residual > 0 ? x == lo : x == hi;
        if (residual > 0)
            lo = x;
        else
            hi = x;
        // A NaN residual fails this test too and ends the loop at the current midpoint.
        if (!(fabs(residual) > tolerance) || bracketStays)
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
