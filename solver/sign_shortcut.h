#pragma once

// The sign certification CalCv uses to leave out pow: see SignShortcut.

#include "reaction.h"

#include <float.h>
#include <math.h>
#include <stdint.h>
#include <string.h>

// The error budget below holds only where every double operation rounds once
// to double: no wider intermediate precision and no reassociation.
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "the solver's error bounds need FLT_EVAL_METHOD == 0"
#endif
#ifdef __FAST_MATH__
#error "the solver's error bounds do not hold under -ffast-math"
#endif
// Finite-only maths would let the compiler drop the NaN and infinity tests the
// certification relies on; reassociation and reciprocals change the
// roundings the budget counts (the GNU compiler names them; clang builds of
// the library are kept from them by its build flags).
#if defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__
#error "the solver's error bounds do not hold under -ffinite-math-only"
#endif
#if defined(__ASSOCIATIVE_MATH__) || defined(__RECIPROCAL_MATH__) || defined(__NO_SIGNED_ZEROS__)
#error "the solver's error bounds do not hold under -funsafe-math-optimizations"
#endif

#include <limits>

// Every bound below counts roundings of IEEE 754 binary64, 53-bit significand.
static_assert(std::numeric_limits<double>::is_iec559, "the solver needs IEEE 754 doubles");
static_assert(std::numeric_limits<double>::digits == 53, "the solver needs 53-bit doubles");

// No fused multiply-add in the certified code: a fused product rounds once
// where the budget counts two roundings, and the pow-based bisection it must
// match bit for bit is built without contraction too.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#elif defined(__GNUC__)
#pragma GCC push_options
#pragma GCC optimize("fp-contract=off")
#endif

namespace norvane {

constexpr double kUnitRoundoff = 0x1p-53;

// floor(log2 value) of a positive normal double, from its exponent field.
inline int binaryExponent(double value)
{
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    return int(bits >> 52) - 1023;
}

// Bases between 2^-100 and 2^100 keep every product the shortcut and the
// pow-based residual form within the normal range, for the exponents the
// shortcut accepts.
constexpr int kBaseExponentLimit = 100;

// The error budget of the sign certification, in units of the unit
// roundoff u = 2^-53. pow and log are taken as accurate to 2 ulp (4 u), four
// times the C library's own bound; every other operation rounds once (u).
// That is what the bit-for-bit agreement with the pow-based bisection rests
// on: the GNU C library (2.28 and later) keeps pow within 0.52 ulp and log
// within 0.52 ulp in round-to-nearest. With a pow or log further off than
// 2 ulp a certified sign could differ from the sign pow computes.
//
// Per slot of the pow-based residual: pow (4 u) and the product's
// multiplication (1 u), with 1 % for the second-order terms.
constexpr double kPowSlotRoundings = 5.01;
// The base's own rounding (1 u) comes out e-fold in b^e, with 1 % as above.
constexpr double kBaseRoundingGrowth = 1.01;
// The same roundings once more in the shortcut's products P_e, so that the
// bound covers the distance between the two forms, not one of them.
constexpr double kBothForms = 2;
// Per unit of |ln Kp| + sum |e ln P_e|: log (4 u), the multiplication by e
// (1 u) and a running sum of at most nine terms (8 u), taken with over twice
// that as room.
constexpr double kLogSumRoundings = 32;
// A reactant's moles amount - c x round c x and the difference, at most
// 1.01 u of its feed; a product's c x rounds once (u); 1.03 leaves room for
// their first-order effect on the logarithm.
constexpr double kMolesRounding = 1.03;
// The total S: seven additions and each term's own rounding put it within
// 8.1 u of feed and products (relative to S); 9.2 leaves about 14 % for the
// second-order terms.
constexpr double kTotalRounding = 9.2;
// The pressure factor P / S and the base n * (P / S) round once each, with
// 1.5 % for the second-order terms.
constexpr double kBaseRoundings = 2.03;

// The edge search's effort. An edge counts only once certifies() proves it,
// so these decide how soon edges are found, never a result.
//
// Newton steps on the shortcut's sum; it converges in a few.
constexpr int kNewtonSteps = 12;
// Newton stops at a step below 2^-46 of x (64 ulp): closer, the sum's
// rounding moves the estimate more than the root does.
constexpr double kNewtonStopStep = 0x1p-46;
// Edges start at four times the last step, and no nearer than 2^-44 of x
// (256 ulp) to the root estimate, beyond the noise that stopped Newton.
constexpr double kEdgeWidthFactor = 4;
constexpr double kEdgeNearest = 0x1p-44;
// An edge that does not certify is tried three more times, 16 times further out each time.
constexpr int kEdgeAttempts = 4;
constexpr double kEdgeWidthGrowth = 16;

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
            errorWeight += kPowSlotRoundings + kBaseRoundingGrowth * fabs(e);
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
        fixedBound_ = kBothForms * errorWeight * kUnitRoundoff;
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
        const double larger =
            estimate.lowLog2[0] > estimate.lowLog2[1] ? estimate.lowLog2[0] : estimate.lowLog2[1];
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
        for (int n = 0; n < kNewtonSteps && step > x * kNewtonStopStep; ++n) {
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
        double width = kEdgeWidthFactor * (step > x * kEdgeNearest ? step : x * kEdgeNearest);
        for (int attempt = 0; attempt < kEdgeAttempts; ++attempt, width *= kEdgeWidthGrowth) {
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
        estimate.bound = fixedBound_ + kLogSumRoundings * kUnitRoundoff * magnitude;
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
                noise += slot.exponent * kMolesRounding * kUnitRoundoff;
                continue;
            }
            const double left = reactantMoles[slot.index];
            if (!(left > 0))
                return INFINITY;
            noise += slot.exponent * kMolesRounding * kUnitRoundoff * reaction_.amount[slot.index] /
                     left;
        }
        return noise + exponentSum_ * kUnitRoundoff *
                           (kTotalRounding * feedAndProducts_ / smallest + kBaseRoundings);
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

} // namespace norvane

#if !defined(__clang__) && defined(__GNUC__)
#pragma GCC pop_options
#endif
