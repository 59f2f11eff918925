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
//
// Where a midpoint's products overflow (a total pressure of 1e200 atm), or
// both sides underflow (1e-200 atm makes both 0), the residual computed as
// above says nothing; that midpoint is decided by the logarithms of both
// sides instead, which cannot overflow. Every other midpoint is decided as
// the plain bisection decides it.
#include "norvane.h"

#include "reaction.h"
#include "sign_shortcut.h"

#include <float.h>
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

bool finiteNonZero(double value)
{
    return value != 0 && fabs(value) <= DBL_MAX;
}

// What became of one midpoint's values: whether an operation on finite,
// non-zero operands overflowed to an infinity, and whether each side's
// product (the pressure factor counting for both) fell to 0 or a subnormal.
// Such a value no longer stands for the exact one. A NaN (a negative base to
// a fractional power) is the bisection's own stop, not a loss of range.
struct RangeWatch {
    bool overflowed = false;
    bool lost[2] = {false, false}; // reactant side, product side

    void note(int side, double a, double b, double result)
    {
        if (!finiteNonZero(a) || !finiteNonZero(b))
            return;
        const double magnitude = fabs(result);
        if (magnitude > DBL_MAX)
            overflowed = true;
        if (magnitude < DBL_MIN || magnitude > DBL_MAX)
            lost[side] = true;
    }
    void noteBoth(double a, double b, double result)
    {
        note(0, a, b, result);
        note(1, a, b, result);
    }

    // The plain residual decides unless something overflowed or both sides
    // lost their range: one side exact or in range against one that fell
    // below it still has the sign of the exact residual (a Kp of 0 against
    // products too small to hold stays the plain bisection's).
    bool residualMeaningless() const { return overflowed || (lost[0] && lost[1]); }
};

// The residual QR - QP at one midpoint, known by its sign and whether its
// magnitude exceeds the tolerance.
struct Decision {
    bool positive;
    bool exceeds;
};

// QR - QP from the logarithms of both sides, in extended precision:
// ln QR = ln Kp + sum of c ln(n f), ln QP = sum of c ln(m f), with
// ln(n f) = ln n + ln P - ln S. Their difference d has the sign of the
// residual, and |QR - QP| = max(QR, QP) (1 - e^-|d|).
Decision logDecision(const Reaction& reaction, const double moles[kSlots], double total, double kp,
                     double tolerance)
{
    const long double logFactor = logl(reaction.pressure) - logl(total);
    long double side[2] = {logl(kp), 0}; // ln QR, ln QP
    for (int k = 0; k < kSlots; ++k) {
        const bool reactant = k < 4;
        if (!(reactant ? k < reaction.reactants : k - 4 < reaction.products))
            continue;
        if (reaction.coef[k] != 0)
            side[reactant ? 0 : 1] += reaction.coef[k] * (logl(moles[k]) + logFactor);
    }
    const long double d = side[0] - side[1];
    if (d != d || tolerance != tolerance)
        return {false, false}; // stops where the plain residual is NaN too
    if (tolerance < 0 || (tolerance == 0 && d != 0))
        return {d > 0, true};
    if (d == 0 || tolerance == INFINITY)
        return {false, false};
    const long double larger = side[0] > side[1] ? side[0] : side[1];
    const long double logMagnitude = larger + log1pl(-expl(-fabsl(d)));
    return {d > 0, logMagnitude > logl(tolerance)};
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
        const double total = reaction.molesAt(x, moles);
        const double pressureFactor = totalPressure / total;
        RangeWatch watch;
        watch.noteBoth(totalPressure, total, pressureFactor);

        // Each side's product, watched for values that leave the range of doubles.
        const auto multiply = [&](double sideValue, int slot) {
            const int side = slot < 4 ? 0 : 1;
            const double base = moles[slot] * pressureFactor;
            const double power = slotPower(base, reaction.coef[slot]);
            const double product = sideValue * power;
            watch.note(side, moles[slot], pressureFactor, base);
            watch.note(side, base, reaction.coef[slot], power);
            watch.note(side, sideValue, power, product);
            return product;
        };
        double productSide = 1.0;
        for (int j = 4; j < 4 + reaction.products; ++j)
            productSide = multiply(productSide, j);
        double reactantSide = kp;
        for (int i = 0; i < reaction.reactants; ++i)
            reactantSide = multiply(reactantSide, i);

        const double residual = reactantSide - productSide;
        // A NaN residual fails the tolerance test too and ends the loop at the
        // current midpoint.
        const Decision decision = watch.residualMeaningless()
                                      ? logDecision(reaction, moles, total, kp, tolerance)
                                      : Decision{residual > 0, fabs(residual) > tolerance};
        // A midpoint equal to the end it replaces leaves the bracket as it was:
        // every later iteration would evaluate this same midpoint again.
        const bool bracketStays = decision.positive ? x == lo : x == hi;
        if (decision.positive)
            lo = x;
        else
            hi = x;
        if (!decision.exceeds || bracketStays)
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
