// The solver library: bisection on the conversion of the limiting compound,
// and the straight-line interpolation of dG over temperature. No state, no
// allocation; it calls only the C library (its maths functions and memcpy).
//
// CalCv returns exactly what the plain bisection returns: 99 halvings, pow
// for every slot. It gets there sooner by leaving out only work whose result
// is known bit for bit: the halvings after the bracket has stopped moving,
// pow where the exponent is 0, 1, or 2 with a square that pow must round the
// same way, and, where several slots share an exponent, the pows of every
// midpoint whose residual sign is certain from a cheaper sum of logs or from
// points either side of the root where that sum is certain.
#include "norvane.h"

#include "reaction.h"
#include "sign_shortcut.h"

#include <math.h>
#include <string.h>

namespace {

using norvane::kSlots;
using norvane::Reaction;
using norvane::SignShortcut;

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
    const Reaction reaction{slotCount(reactantCount),
                            slotCount(productCount),
                            {reactantCoef1, reactantCoef2, reactantCoef3, reactantCoef4,
                             productCoef1, productCoef2, productCoef3, productCoef4},
                            {reactantAmount1, reactantAmount2, reactantAmount3, reactantAmount4},
                            totalPressure};

    double lo = 0.0;
    double hi = 1.0;
    double x = 0.0;
    int iteration = 0;

    // First the midpoints whose sign is certain without pow. The first one
    // that is not is left, with the bracket as it stands, to the loop below.
    const SignShortcut shortcut(reaction, kp, tolerance);
    if (shortcut.usable()) {
        // Midpoints at or below plusEdge are positive, at or above minusEdge
        // negative; until edges are found neither decides anything.
        double plusEdge = -1;
        double minusEdge = 2;
        int searches = shortcut.monotone() ? 0 : 2;
        bool searchedWithBothEnds = false;
        for (; iteration < kMaxIterations; ++iteration) {
            x = (hi + lo) * 0.5;
            int sign = x <= plusEdge ? 1 : (x >= minusEdge ? -1 : 0);
            if (sign == 0) {
                sign = shortcut.sign(x);
                if (sign == 0)
                    break;
            }
            // The residual is beyond the tolerance, so only a collapsed
            // bracket ends the loop here.
            const bool bracketStays = sign > 0 ? x == lo : x == hi;
            if (sign > 0)
                lo = x;
            else
                hi = x;
            if (bracketStays)
                return x;
            // Edges need a decided midpoint at the end of their range: search
            // once both ends are decided, or with one after three midpoints
            // when the root lies very close to 0 or 1, and again when the
            // other end has been decided too.
            const bool bothEnds = lo > 0 && hi < 1;
            if (searches < 2 && !searchedWithBothEnds && (bothEnds || (searches == 0 && iteration >= 2))) {
                ++searches;
                searchedWithBothEnds = bothEnds;
                shortcut.findEdges(lo, hi, plusEdge, minusEdge);
            }
        }
    }

    for (; iteration < kMaxIterations; ++iteration) {
        x = (hi + lo) * 0.5;
        double moles[kSlots];
        const double pressureFactor = totalPressure / reaction.molesAt(x, moles);

        double productSide = 1.0;
        for (int j = 4; j < 4 + reaction.products; ++j)
            productSide *= slotPower(moles[j] * pressureFactor, reaction.coef[j]);
        double reactantSide = kp;
        for (int i = 0; i < reaction.reactants; ++i)
            reactantSide *= slotPower(moles[i] * pressureFactor, reaction.coef[i]);

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
