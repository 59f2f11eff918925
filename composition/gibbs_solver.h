#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <vector>

namespace norvanta {

// The numerical core of the equilibrium composition: an ideal gas of species
// made of up to kMaxElements elements, plus inert moles that only dilute, and
// condensed species (graphite, liquid water, liquid sulfur, ...) each a pure
// phase at activity 1, present exactly where the phase rule puts them.
//
// The unknowns are the element potentials pi (in units of RT) and ln N, the
// log of the gas's total moles; every species then follows from
//     ln n_j = ln N + a_j . pi - g_j
// where g_j = dfG_j / RT + ln P; a present condensed species c fixes
// a_c . pi = g_c (its dfG / RT). Each Newton step is taken in the log amounts
// of a basis of the most abundant independent species (the present condensed
// species' amounts first) and ln N, whose balances are written directly in the
// amounts of the species: a trace species' balance is then as exact as the
// trace itself, however dominant one species is.
class GibbsSolver {
public:
    // Elements a system may hold: enough for the feeds of gas-phase
    // equilibria (C, H, O, N, S, Cl, a metal and more).
    static constexpr int kMaxElements = 8;
    // The most Newton steps of one solve.
    static constexpr int kMaxSteps = 400;
    using Vector = std::array<double, kMaxElements>;
    static constexpr int kMaxUnknowns = kMaxElements + 1; // basis members and ln N
    using Row = std::array<double, kMaxUnknowns>;
    using Square = std::array<Row, kMaxUnknowns>;

    using Absent = std::vector<unsigned char>;
    struct State {
        Vector pi{};
        double lnTotal = 0; // -infinity when no gas is left
        // Moles of each condensed species, and which of them are present (the
        // phase rule's set, the next temperature's first guess).
        std::vector<double> condensed;
        std::vector<bool> present;
        // ln n_j of every species at the solution, for the start of the next
        // temperature's solve; empty before the first.
        std::vector<double> lnAmounts;
        // The species from the most abundant, for the next solve's sorts.
        std::vector<int> order;
        // Species the feed's stoichiometry rules out (amount exactly 0): a
        // byte each, read at every species of every step.
        Absent absent;
        // The solver whose solution this is; null for a start.
        const GibbsSolver* solvedBy = nullptr;
    };

    // `atoms` holds each gas species' counts of the elements in use (the
    // first `elements` entries of each vector), `feed` the element amounts;
    // `inert` the moles that take no part; `condensed` each condensed
    // species' counts. The g of a solve holds the gases' g_j and then the
    // condensed species'.
    GibbsSolver(std::vector<Vector> atoms, int elements, Vector feed, double inert,
                std::vector<Vector> condensed = {});

    // Whether a solve starts from its start's set of condensed species (a
    // neighbouring temperature's: the shortest way) or from the gas alone
    // (the way the default series have always been solved, to their last
    // digit). The neighbour's way also leaves out of a Newton step what lies
    // below the balances' rounding, and takes a last step below the
    // convergence bound whole.
    void setStartFromNeighbourPhases(bool neighbour) { neighbourPhases_ = neighbour; }

    // A start for the first solve of a system, from the species' g_j.
    State initialState(const std::vector<double>& g) const;

    // The equilibrium for the species' g_j, from `start` (a nearby solution
    // or initialState). Applies the phase rule. Returns false when the
    // iteration does not converge or its answer does not balance or meet the
    // phase rule.
    // `amounts`, when given, receives every gas's n_j at the result as the
    // balance check found them.
    bool solve(const std::vector<double>& g, State start, State& result,
               std::vector<double>* amounts = nullptr) const;

    // The equilibrium condition beyond the balances: a present condensed
    // species' potential is its elements', its amount not negative, and an
    // absent one could not lower the Gibbs energy (its elements' potential at
    // most kPotentialTolerance above its own).
    bool meetsPhaseRule(const std::vector<double>& g, const State& state) const;

    // ln n_j of a state.
    double lnAmount(const State& state, const std::vector<double>& g, int species) const;

private:
    // What a step's basis members fix, whatever the amounts: their Gram
    // matrix, every species' and the feed's coordinates in them.
    struct Frame {
        Square gram{};
        std::vector<Vector> coordinates;
        // Per species, d ln n_j over the unknowns: its coordinates on the
        // gas members (0 on condensed ones), then 1 less their sum on ln N.
        std::vector<Row> gasRows;
        Vector target{};
    };
    struct Basis;
    struct Linearisation;
    // The affine set of potentials a set of present condensed species allows:
    // pi = origin + sum_r free[r] y_r, the free directions orthonormal.
    struct Constraint {
        std::vector<int> members; // the present condensed species
        Vector origin{};
        std::array<Vector, kMaxElements> free{};
        int freeCount = 0;
    };
    using Present = std::vector<bool>;

    std::size_t gases() const { return atoms_.size(); }
    // Every gas's n_j of a state, exp(lnAmount) each.
    void amounts(const State& state, const std::vector<double>& g, std::vector<double>& result) const;
    double condensedG(const std::vector<double>& g, int c) const { return g[gases() + std::size_t(c)]; }
    bool constraintOf(const std::vector<double>& g, const Present& present, Constraint& result) const;

    // The rank a step's basis must reach beside a set of condensed species:
    // that of the species taking part and those condensed species.
    int rankBeside(const Present& present) const;
    // Damped Newton steps from `state` to the solution, at most `iterations`.
    bool iterate(const std::vector<double>& g, State& state, int iterations = kMaxSteps) const;
    // The basis of one step: the most abundant independent species (the
    // present condensed species first), every species' and the feed's
    // coordinates in it.
    bool chooseBasis(const std::vector<double>& lnN, const State& state, int rank,
                     Basis& basis) const;
    // The basis balances' and the total's residuals and Jacobian at `state`;
    // with `scales` (a linearisation nearby in the same basis), without the
    // species below rounding of the sums there.
    bool linearise(const std::vector<double>& amounts, double lnTotal,
                   const std::vector<double>& condensed, const Basis& basis,
                   const Linearisation* scales, Linearisation& result) const;
    // The largest share of a Newton step that Newton's model of exp allows.
    double stepFactor(const std::vector<double>& lnN, const State& state, const Vector& dPi,
                      double dLnTotal) const;
    // Element potentials that keep the most abundant independent species of
    // a neighbouring solution at their amounts under the new g_j.
    void refit(const std::vector<double>& g, State& state) const;
    // Solves the gas beside one set of present condensed species: from
    // `start` (as it is when it was solved at the same temperature, else
    // refitted), cold, and last by the dual.
    bool solvePhase(const std::vector<double>& g, const State& start, const Present& present,
                    bool sameTemperature, State& result) const;
    // Whether beside the present condensed species no gas is left: they
    // alone hold the feed, and the gases' partial pressures at the lowest
    // their potentials allow sum below the total. Sets `state` to that answer.
    bool gasVanishes(const std::vector<double>& g, const Constraint& constraint,
                     State& state) const;
    State coldState(const std::vector<double>& g, const Present& present,
                    const Absent& absent) const;
    // The globally convergent way: at a fixed total N, the free potentials
    // minimise the convex  sum_j n_j(pi, N) - b . pi  (Newton with
    // backtracking); N is bracketed and bisected until the gas's moles are N.
    bool dualSolve(const std::vector<double>& g, State& state) const;
    // Per condensed species, whether the gases left and the present
    // condensed species fix its potential.
    std::vector<bool> definedPotentials(const State& state) const;
    // The present condensed species' amounts that close the balances the
    // gas leaves open (least squares over them).
    void closeBalances(const std::vector<double>& g, State& state) const;
    // The present condensed species' amounts that hold `held` (element
    // amounts), least squares over them; false when they are dependent.
    bool condensedHolding(const Constraint& constraint, const Vector& held, Row& amounts) const;
    // Species the stoichiometry rules out beside a set of condensed species.
    const Absent& absentBeside(const Present& present) const;

    // The phase rule around the gas's solutions; solve() then claims the
    // result only where balanced() holds.
    bool solvePhases(const std::vector<double>& g, State start, State& result) const;
    bool balanced(const std::vector<double>& g, const State& state) const;
    bool balanced(const std::vector<double>& g, const State& state,
                  std::vector<double>& amounts) const;

    std::vector<Vector> atoms_;
    int elements_;
    Vector feed_;
    double inert_;
    std::vector<Vector> condensed_;
    double feedScale_ = 0;
    std::vector<double> condensedScale_; // per condensed species
    std::vector<bool> condensedUsable_;  // made only of elements the feed holds
    bool gasesSpanElements_ = false;     // every element's potential fixed by the gases
    bool neighbourPhases_ = true;
    // Per gas species, the log amount below which a Newton step leaves it out
    // (with neighbourPhases_).
    std::vector<double> negligible_;
    // Species the feed's stoichiometry rules out, per set of present
    // condensed species: decided once per set, before any step.
    mutable std::map<Present, Absent> absent_;
    mutable std::map<Present, int> rank_;
    // Every species' coordinates per set of basis members (the members'
    // indices, then unused places), for the steps and temperatures that meet
    // that set again; emptied when it holds kMaxFrames.
    using FrameKey = std::array<int, kMaxElements>;
    static constexpr std::size_t kMaxFrames = 64;
    mutable std::map<FrameKey, Frame> frames_;
};

} // namespace norvanta
