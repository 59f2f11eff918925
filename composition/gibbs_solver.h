#pragma once

#include <array>
#include <vector>

namespace norvanta {

// The numerical core of the equilibrium composition: an ideal gas of species
// made of up to kMaxElements elements, plus inert moles that only dilute, and
// optionally graphite as a pure solid at activity 1 with a chemical potential
// of 0.
//
// The unknowns are the element potentials pi (in units of RT) and ln N, the
// log of the gas's total moles; every species then follows from
//     ln n_j = ln N + a_j . pi - g_j
// where g_j = dfG_j / RT + ln P. Each Newton step is taken in the log amounts
// of a basis of the most abundant independent species (graphite's amount
// when it is present) and ln N, whose balances are written directly in the
// amounts of the species: a trace species' balance is then as exact as the
// trace itself, however dominant one species is.
class GibbsSolver {
public:
    // Elements a system may hold: enough for the feeds of gas-phase
    // equilibria (C, H, O, N, S, Cl, a metal and more).
    static constexpr int kMaxElements = 8;
    using Vector = std::array<double, kMaxElements>;
    static constexpr int kMaxUnknowns = kMaxElements + 1; // basis members and ln N
    using Row = std::array<double, kMaxUnknowns>;
    using Square = std::array<Row, kMaxUnknowns>;

    struct State {
        Vector pi{};
        double lnTotal = 0;
        double graphite = 0; // moles of graphite; 0 without it
        bool graphitePresent = false;
        // ln n_j of every species at the solution, for the start of the next
        // temperature's solve; empty before the first.
        std::vector<double> lnAmounts;
        // Species the feed's stoichiometry rules out (amount exactly 0).
        std::vector<bool> absent;
    };

    // `atoms` holds each gas species' counts of the elements in use (the
    // first `elements` entries of each vector), `feed` the element amounts;
    // `inert` the moles that take no part. `carbon` is the index of carbon
    // among the elements when graphite may form, otherwise -1.
    GibbsSolver(std::vector<Vector> atoms, int elements, Vector feed, double inert, int carbon);

    // A start for the first solve of a system, from the species' g_j.
    State initialState(const std::vector<double>& g) const;

    // The equilibrium for the species' g_j, from `start` (a nearby solution
    // or initialState). Applies the phase rule for graphite. Returns false
    // when the iteration does not converge.
    bool solve(const std::vector<double>& g, State start, State& result) const;

    // The equilibrium condition beyond the balances: beside graphite carbon's
    // potential is graphite's, and without it graphite could not lower the
    // Gibbs energy (carbon's potential at most kPotentialTolerance above it).
    bool meetsPhaseRule(const State& state) const;

    // ln n_j of a state.
    double lnAmount(const State& state, const std::vector<double>& g, int species) const;

private:
    struct Basis;
    struct Linearisation;

    // Damped Newton steps from `state` to the solution.
    bool iterate(const std::vector<double>& g, bool carbonFixed, State& state) const;
    // The basis of one step: the most abundant independent species (graphite
    // first when present), every species' and the feed's coordinates in it.
    bool chooseBasis(const std::vector<double>& lnN, const State& state, bool carbonFixed,
                     int rank, Basis& basis) const;
    // The basis balances' and the total's residuals and Jacobian at `state`.
    bool linearise(const std::vector<double>& g, const State& state, const Basis& basis,
                   Linearisation& result) const;
    // The largest share of a Newton step that Newton's model of exp allows.
    double stepFactor(const std::vector<double>& lnN, const State& state, const Vector& dPi,
                      double dLnTotal) const;
    // Element potentials that keep the most abundant independent species of
    // a neighbouring solution at their amounts under the new g_j.
    void refit(const std::vector<double>& g, bool carbonFixed, State& state) const;
    // Solves the gas alone or beside graphite: from `start`, cold, and last
    // by the dual.
    bool solvePhase(const std::vector<double>& g, const State& start, bool carbonFixed,
                    State& result) const;
    // Whether beside graphite no gas is left: a feed of carbon alone whose
    // gases' partial pressures at carbon's potential 0 sum below the total.
    bool gasVanishes(const std::vector<double>& g, const std::vector<bool>& absent) const;
    State coldState(const std::vector<double>& g, bool carbonFixed,
                    const std::vector<bool>& absent) const;
    // The globally convergent way: at a fixed total N, the element potentials
    // minimise the convex  sum_j n_j(pi, N) - b . pi  (Newton with
    // backtracking); N is bracketed and bisected until the gas's moles are N.
    bool dualSolve(const std::vector<double>& g, bool carbonFixed, State& state) const;
    // The carbon potential of a gas-only solution, when the species' atom
    // vectors can express pure carbon.
    bool carbonPotential(const State& state, double& potential) const;

    // The phase rule for graphite around the gas's solutions; solve() then
    // claims the result only where balanced() holds.
    bool solvePhases(const std::vector<double>& g, State start, State& result) const;
    bool balanced(const std::vector<double>& g, const State& state) const;

    std::vector<Vector> atoms_;
    int elements_;
    Vector feed_;
    double inert_;
    int carbon_;
    double feedScale_ = 0;
    // Species the feed's stoichiometry rules out, for the gas alone and
    // beside graphite: decided once, before any step.
    std::vector<bool> absentInGas_;
    std::vector<bool> absentBesideGraphite_;
};

} // namespace norvanta
