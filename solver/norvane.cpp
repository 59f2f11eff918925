// The solver library: bisection on the conversion of the limiting compound,
// and the straight-line interpolation of dG over temperature. No state, no
// allocation, nothing but the C maths library.
//
// CalCv returns exactly what the plain bisection returns: 99 halvings, pow
// for every slot. It gets there sooner by leaving out only work whose result
// is known bit for bit: the halvings after the bracket has stopped moving,
// pow where the exponent is 0, 1, or 2 with a square that pow must round the
// same way, and, where several slots share an exponent, the pows of every
// midpoint whose residual sign is certain from a cheaper sum of logs.
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


constexpr double kUnitRoundoff = 0x1p-53;

// The slots of one call: reactants 0-3, then products 4-7.
constexpr int kSlots = 8;

// floor(log2 value) of a positive normal double, from its exponent field.
int binaryExponent(double value)
{
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    return int(bits >> 52) - 1023;
}

// Bases between 2^-100 and 2^100 keep every product the shortcut and the
// pow-based residual form within the normal range, for the exponents the
// shortcut accepts.
constexpr int kBaseExponentLimit = 100;

// Decides a midpoint's residual sign without pow where that is certain.
//
// QR > QP exactly when ln QR - ln QP > 0, and that difference is
// ln Kp + sum over the distinct exponents e of e * ln P_e, where P_e
// multiplies the reactant bases and divides by the product bases whose
// exponent is e. So a call whose slots share exponents needs one log per
// distinct exponent instead of one pow per slot. The sign is taken only when
// the sum is further from zero than a bound on every rounding in it and in
// the pow-based products the residual is made of, with pow and log taken as
// accurate to 2 ulp (four times the C library's own bound), and only when the
// residual is also certain to exceed the tolerance. Anything else, or any
// base outside 2^-100 to 2^100, leaves the midpoint to the pow-based residual.
class SignShortcut {
public:
    SignShortcut(double kp, int reactants, int products, const double reactantCoef[4],
                 const double productCoef[4], double tolerance)
    {
        if (tolerance != tolerance || tolerance == INFINITY)
            return; // the loop ends after the first midpoint
        if (!(kp >= 0x1p-1022 && kp < INFINITY))
            return;
        const int kpExponent = binaryExponent(kp);
        double sideWeight[2] = {double((kpExponent < 0 ? -kpExponent : kpExponent) + 1), 0};
        double errorWeight = 0; // rounding in the pow-based products and in each P_e
        int powSlots = 0;
        for (int k = 0; k < kSlots; ++k) {
            const bool reactant = k < 4;
            if (!(reactant ? k < reactants : k - 4 < products))
                continue;
            const double e = reactant ? reactantCoef[k] : productCoef[k - 4];
            if (e == 0)
                continue;
            if (!(fabs(e) <= 64))
                return;
            if (e != 1 && e != 2)
                ++powSlots;
            int group = 0;
            while (group < groups_ && groupExponent_[group] != e)
                ++group;
            if (group == groups_)
                groupExponent_[groups_++] = e;
            Slot& slot = slots_[slotCount_++];
            slot.index = k;
            slot.group = group;
            slot.reactant = reactant;
            slot.exponent = e;
            // e * log2 b is at least e * E for b in [2^E, 2^(E+1)) when e > 0,
            // and e * (E + 1) when e < 0.
            slot.lowAdjust = e < 0 ? 1 : 0;
            sideWeight[reactant ? 0 : 1] += fabs(e) * (kBaseExponentLimit + 1);
            errorWeight += 5.01 + 1.01 * fabs(e);
        }
        // Every partial product of the pow-based residual stays within 2^±1000.
        if (sideWeight[0] > 1000 || sideWeight[1] > 1000)
            return;
        // A log costs about half a pow, so a midpoint costs less this way
        // whenever it takes no more logs than the other way takes pows.
        if (powSlots == 0 || groups_ > powSlots)
            return;
        logKp_ = log(kp);
        log2KpFloor_ = kpExponent;
        fixedBound_ = 2 * errorWeight * kUnitRoundoff;
        checkTolerance_ = tolerance > 0;
        toleranceCeiling_ = binaryExponent(tolerance) + 1; // log2(tolerance) lies below it
        usable_ = true;
    }

    bool usable() const { return usable_; }

    // +1 or -1: the pow-based residual at these moles and pressure factor has
    // that sign and a magnitude above the tolerance. 0: not certain.
    int sign(const double moles[kSlots], double pressureFactor) const
    {
        double numerator[kSlots];
        double denominator[kSlots];
        for (int g = 0; g < groups_; ++g)
            numerator[g] = denominator[g] = 1.0;
        double lowLog2[2] = {log2KpFloor_, 0}; // lower bounds of log2 QR and log2 QP
        for (int s = 0; s < slotCount_; ++s) {
            const Slot& slot = slots_[s];
            const double base = moles[slot.index] * pressureFactor;
            uint64_t bits;
            memcpy(&bits, &base, sizeof bits);
            // Sign bit, zero, subnormal, infinity and NaN all fall outside.
            if ((bits >> 52) - uint64_t(1023 - kBaseExponentLimit) > 2 * kBaseExponentLimit)
                return 0;
            const double low = slot.exponent * (double(int(bits >> 52) - 1023) + slot.lowAdjust);
            if (slot.reactant) {
                numerator[slot.group] *= base;
                lowLog2[0] += low;
            } else {
                denominator[slot.group] *= base;
                lowLog2[1] += low;
            }
        }
        double sum = logKp_;
        double magnitude = fabs(logKp_);
        for (int g = 0; g < groups_; ++g) {
            const double term = groupExponent_[g] * log(numerator[g] / denominator[g]);
            sum += term;
            magnitude += fabs(term);
        }
        const double margin = fabs(sum) - (fixedBound_ + 32 * kUnitRoundoff * magnitude);
        if (!(margin > 0))
            return 0;
        if (checkTolerance_) {
            // |QR - QP| = max(QR, QP) * (1 - e^-|ln QR - ln QP|), and
            // 1 - e^-m is at least min(m, 1) / 2.
            const double least = margin < 1 ? margin : 1;
            if (!(least >= 0x1p-1000))
                return 0;
            const double larger = lowLog2[0] > lowLog2[1] ? lowLog2[0] : lowLog2[1];
            if (!(larger + binaryExponent(least) - 2 > toleranceCeiling_))
                return 0;
        }
        return sum > 0 ? 1 : -1;
    }

private:
    struct Slot {
        int index;
        int group;
        bool reactant;
        double exponent;
        double lowAdjust;
    };

    bool usable_ = false;
    int groups_ = 0;
    double groupExponent_[kSlots] = {};
    int slotCount_ = 0;
    Slot slots_[kSlots] = {};
    double logKp_ = 0;
    double log2KpFloor_ = 0;
    double fixedBound_ = 0;
    bool checkTolerance_ = false;
    double toleranceCeiling_ = 0;
};

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
    int iteration = 0;

    // First the midpoints whose sign is certain without pow. The first one
    // that is not is left, with the bracket as it stands, to the loop below.
    const SignShortcut shortcut(kp, reactants, products, reactantCoef, productCoef, tolerance);
    if (shortcut.usable()) {
        for (; iteration < kMaxIterations; ++iteration) {
            x = (hi + lo) * 0.5;
            double base[kSlots];
            double total = 0.0;
            for (int i = 0; i < reactants; ++i) {
                base[i] = reactantAmount[i] - reactantCoef[i] * x;
                total += base[i];
            }
            for (int j = 0; j < products; ++j) {
                base[4 + j] = productCoef[j] * x;
                total += base[4 + j];
            }
            const double pressureFactor = totalPressure / total;
            const int sign = shortcut.sign(base, pressureFactor);
            if (sign == 0)
                break;
            // The residual is beyond the tolerance, so only a collapsed
            // bracket ends the loop here.
            const bool bracketStays = sign > 0 ? x == lo : x == hi;
            if (sign > 0)
                lo = x;
            else
                hi = x;
            if (bracketStays)
                return x;
        }
    }

    for (; iteration < kMaxIterations; ++iteration) {
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
