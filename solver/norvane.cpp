// The solver library: bisection on the conversion of the limiting compound,
// and the straight-line interpolation of dG over temperature. No state, no
// allocation, nothing but the C maths library.
//
// CalCv returns exactly what the plain bisection returns: 99 halvings, pow
// for every slot. It gets there sooner by leaving out only work whose result
// is known bit for bit: the halvings after the bracket has stopped moving,
// pow where the exponent is 0, 1, or 2 with a square that pow must round the
// same way, and, where several slots share an exponent, the pows of every
// midpoint whose residual sign is certain from a cheaper sum of logs or from
// points either side of the root where that sum is certain.
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

// The reaction of one call, with the moles at a conversion computed exactly
// as the bisection computes them.
struct Reaction {
    int reactants;
    int products;
    double coef[kSlots]; // reactants 0-3, products 4-7
    double amount[4];
    double pressure;

    // Fills the moles of the slots in use and returns their total.
    double molesAt(double x, double moles[kSlots]) const
    {
        double total = 0.0;
        for (int i = 0; i < reactants; ++i) {
            moles[i] = amount[i] - coef[i] * x;
            total += moles[i];
        }
        for (int j = 0; j < products; ++j) {
            moles[4 + j] = coef[4 + j] * x;
            total += moles[4 + j];
        }
        return total;
    }
};

// Decides residual signs without pow where that is certain.
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
//
// Where every slot in use takes part with a positive coefficient, the exact
// ln QR - ln QP as a function of x, F(x), falls as x grows: its slope is
// (sum of nu)^2 / S - sum of nu^2 / n over the slots, with nu = -coefficient
// for a reactant and +coefficient for a product, and Cauchy-Schwarz makes
// that at most 0 while every n is positive. Edges close to the root then
// decide whole ranges of midpoints at once: once F is certain to be positive
// at a point a, with room for the rounding of the moles anywhere below a, every
// later midpoint at or below a has a positive residual, and likewise for a
// negative point b and the midpoints at or above it.
class SignShortcut {
public:
    SignShortcut(const Reaction& reaction, double kp, double tolerance) : reaction_(reaction)
    {
        if (tolerance != tolerance || tolerance == INFINITY)
            return; // the loop ends after the first midpoint
        if (!(kp >= 0x1p-1022 && kp < INFINITY))
            return;
        const int kpExponent = binaryExponent(kp);
        double sideWeight[2] = {double((kpExponent < 0 ? -kpExponent : kpExponent) + 1), 0};
        double errorWeight = 0; // rounding in the pow-based products and in each P_e
        int powSlots = 0;
        bool monotone = reaction.pressure > 0 && reaction.pressure < INFINITY;
        feedAndProducts_ = 0;
        for (int k = 0; k < kSlots; ++k) {
            const bool reactant = k < 4;
            if (!(reactant ? k < reaction.reactants : k - 4 < reaction.products))
                continue;
            const double e = reaction.coef[k];
            if (reactant)
                monotone = monotone && reaction.amount[k] > 0 && reaction.amount[k] < INFINITY;
            feedAndProducts_ += reactant ? reaction.amount[k] : e;
            monotone = monotone && e > 0;
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
            exponentSum_ += fabs(e);
        }
        // Every partial product of the pow-based residual stays within 2^±1000.
        if (sideWeight[0] > 1000 || sideWeight[1] > 1000)
            return;
        // A log costs about half a pow, so a midpoint costs less this way
        // whenever it takes no more logs than the other way takes pows; and
        // where edges can be found, they leave few midpoints to evaluate.
        monotone_ = monotone && feedAndProducts_ < INFINITY;
        if (!monotone_ && (powSlots == 0 || groups_ > powSlots))
            return;
        logKp_ = log(kp);
        log2KpFloor_ = kpExponent;
        log2PressureFloor_ = monotone ? binaryExponent(reaction.pressure) : 0;
        fixedBound_ = 2 * errorWeight * kUnitRoundoff;
        checkTolerance_ = tolerance > 0;
        toleranceCeiling_ = binaryExponent(tolerance) + 1; // log2(tolerance) lies below it
        usable_ = true;
    }

    bool usable() const { return usable_; }
    bool monotone() const { return monotone_; }

    // +1 or -1: the pow-based residual at x has that sign and a magnitude
    // above the tolerance. 0: not certain.
    int sign(double x) const
    {
        double moles[kSlots];
        const double total = reaction_.molesAt(x, moles);
        const Estimate estimate = estimateAt(moles, reaction_.pressure / total);
        if (!estimate.valid)
            return 0;
        const double margin = fabs(estimate.sum) - estimate.bound;
        if (!(margin > 0))
            return 0;
        const double larger = estimate.lowLog2[0] > estimate.lowLog2[1] ? estimate.lowLog2[0]
                                                                         : estimate.lowLog2[1];
        if (!exceedsTolerance(larger, margin))
            return 0;
        return estimate.sum > 0 ? 1 : -1;
    }

    // Looks for the root between lo and hi and sets plusEdge and minusEdge to
    // points either side of it from which every midpoint beyond is decided.
    // Only a decided midpoint can bound an edge's range: plusEdge needs lo
    // above 0, minusEdge hi below 1. An edge it cannot certify stays as it was.
    void findEdges(double lo, double hi, double& plusEdge, double& minusEdge) const
    {
        // Newton on the shortcut's sum against t = ln(x / (1 - x)), where the
        // sum runs nearly straight even when the root lies very close to 0 or
        // to 1; kept inside the bracket.
        double below = lo;
        double above = hi;
        double x = 0.5 * (lo + hi);
        double step = hi - lo;
        for (int n = 0; n < 12 && step > x * 0x1p-46; ++n) {
            double moles[kSlots];
            const double total = reaction_.molesAt(x, moles);
            const Estimate estimate = estimateAt(moles, reaction_.pressure / total);
            if (!estimate.valid)
                return;
            // Closer than this the sum's rounding hides where the root is.
            if (fabs(estimate.sum) <= estimate.bound) {
                step = 0;
                break;
            }
            (estimate.sum > 0 ? below : above) = x;
            const double dt = -estimate.sum / (slopeAt(moles, total) * x * (1 - x));
            double next = 1 / (1 + (1 - x) / x * exp(-dt));
            if (next == x) { // a step too small to show in x
                step = 0;
                break;
            }
            if (!(next > below && next < above))
                next = 0.5 * (below + above);
            step = fabs(next - x);
            x = next;
        }
        double width = 4 * (step > x * 0x1p-44 ? step : x * 0x1p-44);
        for (int attempt = 0; attempt < 4; ++attempt, width *= 16) {
            if (plusEdge < 0 && lo > 0 && x - width > lo && certifies(x - width, lo, 1))
                plusEdge = x - width;
            if (minusEdge > 1 && hi < 1 && x + width < hi && certifies(x + width, hi, -1))
                minusEdge = x + width;
            if ((plusEdge >= 0 || lo == 0) && (minusEdge <= 1 || hi == 1))
                return;
        }
    }

private:
    struct Slot {
        int index;
        int group;
        bool reactant;
        double exponent;
        double lowAdjust;
    };

    // The shortcut's sum at one point, the bound on its distance from the
    // pow-based ln QR - ln QP there, and lower bounds of log2 QR and log2 QP.
    // Not valid when a base falls outside 2^-100 to 2^100.
    struct Estimate {
        bool valid = false;
        double sum = 0;
        double bound = 0;
        double lowLog2[2] = {0, 0};
    };

    Estimate estimateAt(const double moles[kSlots], double pressureFactor) const
    {
        Estimate estimate;
        double numerator[kSlots];
        double denominator[kSlots];
        for (int g = 0; g < groups_; ++g)
            numerator[g] = denominator[g] = 1.0;
        estimate.lowLog2[0] = log2KpFloor_;
        for (int s = 0; s < slotCount_; ++s) {
            const Slot& slot = slots_[s];
            const double base = moles[slot.index] * pressureFactor;
            uint64_t bits;
            memcpy(&bits, &base, sizeof bits);
            // Sign bit, zero, subnormal, infinity and NaN all fall outside.
            if ((bits >> 52) - uint64_t(1023 - kBaseExponentLimit) > 2 * kBaseExponentLimit)
                return estimate;
            const double low = slot.exponent * (double(int(bits >> 52) - 1023) + slot.lowAdjust);
            if (slot.reactant) {
                numerator[slot.group] *= base;
                estimate.lowLog2[0] += low;
            } else {
                denominator[slot.group] *= base;
                estimate.lowLog2[1] += low;
            }
        }
        double sum = logKp_;
        double magnitude = fabs(logKp_);
        for (int g = 0; g < groups_; ++g) {
            const double term = groupExponent_[g] * log(numerator[g] / denominator[g]);
            sum += term;
            magnitude += fabs(term);
        }
        estimate.valid = true;
        estimate.sum = sum;
        estimate.bound = fixedBound_ + 32 * kUnitRoundoff * magnitude;
        return estimate;
    }

    // dF/dx at these moles: (sum of nu)^2 / S - sum of nu^2 / n.
    double slopeAt(const double moles[kSlots], double total) const
    {
        double change = 0;
        double spread = 0;
        for (int s = 0; s < slotCount_; ++s) {
            const Slot& slot = slots_[s];
            const double nu = slot.reactant ? -slot.exponent : slot.exponent;
            change += nu;
            spread += nu * nu / moles[slot.index];
        }
        return change * change / total - spread;
    }

    // Whether a residual with ln QR - ln QP at least margin away from zero,
    // and log2 of the larger side at least largerLog2, exceeds the tolerance:
    // |QR - QP| = max(QR, QP) * (1 - e^-|ln QR - ln QP|), and 1 - e^-m is at
    // least min(m, 1) / 2.
    bool exceedsTolerance(double largerLog2, double margin) const
    {
        if (!checkTolerance_)
            return true;
        const double least = margin < 1 ? margin : 1;
        if (!(least >= 0x1p-1000))
            return false;
        return largerLog2 + binaryExponent(least) - 3 > toleranceCeiling_;
    }

    // The largest distance, for x between two points with the given totals
    // and at or below the point whose reactant moles are given, between the
    // exact F(x) and the sum over the bases the bisection computes at x. Each
    // reactant's moles are out by at most 1.01 u times its feed, each
    // product's by u relative, the total by 8.1 u times feed and products
    // over S, and the pressure factor and the base add two roundings.
    double molesNoise(const double reactantMoles[4], double total1, double total2) const
    {
        const double smallest = total1 < total2 ? total1 : total2;
        if (!(smallest > 0))
            return INFINITY;
        double noise = 0;
        for (int s = 0; s < slotCount_; ++s) {
            const Slot& slot = slots_[s];
            if (!slot.reactant) {
                noise += slot.exponent * 1.03 * kUnitRoundoff;
                continue;
            }
            const double left = reactantMoles[slot.index];
            if (!(left > 0))
                return INFINITY;
            noise += slot.exponent * 1.03 * kUnitRoundoff * reaction_.amount[slot.index] / left;
        }
        return noise + exponentSum_ * kUnitRoundoff * (9.2 * feedAndProducts_ / smallest + 2.03);
    }

    // F certainly has the given sign, with the residual above the tolerance,
    // at edge and at every x from edge out to far: from lo up to a positive
    // edge, from a negative edge up to hi. The moles of the reactants are
    // fewest, and their rounding largest, at the upper end.
    bool certifies(double edge, double far, int side) const
    {
        double moles[kSlots];
        const double total = reaction_.molesAt(edge, moles);
        const Estimate estimate = estimateAt(moles, reaction_.pressure / total);
        if (!estimate.valid || !(side * estimate.sum > 0))
            return false;
        double farMoles[kSlots];
        const double farTotal = reaction_.molesAt(far, farMoles);
        const double noise = molesNoise(side > 0 ? moles : farMoles, total, farTotal);
        const double margin = side * estimate.sum - estimate.bound - fixedBound_ - 2 * noise;
        if (!(margin > 0))
            return false;
        // Over the range the larger side is at least, for a positive edge,
        // QR >= Kp times each reactant's (n(edge) P / largest S)^c, and for a
        // negative one QP >= each product's (p edge P / largest S)^p.
        const double largest = total > farTotal ? total : farTotal;
        double low = side > 0 ? log2KpFloor_ : 0;
        for (int s = 0; s < slotCount_; ++s) {
            const Slot& slot = slots_[s];
            if (slot.reactant == (side > 0)) {
                low += slot.exponent * (binaryExponent(moles[slot.index]) + log2PressureFloor_ -
                                        binaryExponent(largest) - 1);
            }
        }
        return exceedsTolerance(low, margin);
    }

    const Reaction& reaction_;
    bool usable_ = false;
    bool monotone_ = false;
    int groups_ = 0;
    double groupExponent_[kSlots] = {};
    int slotCount_ = 0;
    Slot slots_[kSlots] = {};
    double exponentSum_ = 0;
    double feedAndProducts_ = 0;
    double logKp_ = 0;
    double log2KpFloor_ = 0;
    double log2PressureFloor_ = 0;
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
