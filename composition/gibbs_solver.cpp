#include "gibbs_solver.h"

#include "composition/formable_species.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

namespace norvanta {

namespace {

using Vector = GibbsSolver::Vector;
constexpr int kMaxElements = GibbsSolver::kMaxElements;
using Members = std::array<Vector, kMaxElements>;
using Indices = std::array<int, kMaxElements>;

using Row = GibbsSolver::Row;
using Square = GibbsSolver::Square;
constexpr int kMaxIterations = 400;
// A full step below this in every log amount (and in graphite's amount
// relative to the feed) ends the iteration once taken: Newton's convergence is
// quadratic there, so what remains is rounding, and a smaller bound would
// only chase rounding noise.
constexpr double kConverged = 1e-10;
// Largest change of a major species' log amount in one step, as in the
// element-potential codes: Newton's model of exp is good only so far.
constexpr double kMaxLogStep = 2;
// A step that does not lower the residuals' sum of squares by this share of
// its length is halved, at most kMaxHalvings times (the last is taken anyway:
// the basis may change on the next step and open another way).
constexpr double kMeritDecrease = 1e-4;
constexpr int kMaxHalvings = 30;
// Residuals whose sum of squares is below this are rounding: the step stands.
constexpr double kMeritFloor = 1e-26;
// A feed coordinate below this share of its terms is a rounding residue of 0.
constexpr double kFeedResidue = 1e-13;
// Added to the diagonal of a least-squares fit of potentials, so that the fit
// stays solvable when the species span fewer dimensions than the elements.
constexpr double kRidge = 1e-12;
// The dual's ends: a gradient below this share of each element's feed, a
// backtracked step below this share of the Newton step, and the bisections of
// ln N (its bracket spans at most some 1500, so 80 halve it below 1e-20).
constexpr double kDualGradient = 1e-14;
constexpr double kSmallestShare = 1e-20;
constexpr int kBisections = 80;
constexpr double kTinyCurvature = 1e-300;
// The fewest moles of gas the dual's bracket starts from, per mole of atoms.
constexpr double kLeastGas = 1e-200;
// A condensed species left out may have a potential this much (in RT) above
// its elements' in the gas: what the solve's rounding leaves, far below any
// amount that would deposit.
constexpr double kPotentialTolerance = 1e-9;
// A species below this fraction is minor: it may rise at most to 1e-4 in one step.
const double kMinorLog = std::log(1e-8);
const double kMinorCeiling = std::log(1e-4);

double dot(const Vector& a, const Vector& b, int n)
{
    double sum = 0;
    for (int k = 0; k < n; ++k)
        sum += a[k] * b[k];
    return sum;
}

// Solves m x = r in place (r becomes x) by Gaussian elimination with rows
// scaled to their largest entry and partial pivoting; false when singular.
bool solveLinear(Square m, Row& r, int n)
{
    for (int i = 0; i < n; ++i) {
        double largest = 0;
        for (int j = 0; j < n; ++j)
            largest = std::max(largest, std::abs(m[i][j]));
        if (!(largest > 0) || !std::isfinite(largest))
            return false;
        for (int j = 0; j < n; ++j)
            m[i][j] /= largest;
        r[i] /= largest;
    }
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int i = col + 1; i < n; ++i) {
            if (std::abs(m[i][col]) > std::abs(m[pivot][col]))
                pivot = i;
        }
        if (!(std::abs(m[pivot][col]) > 1e-300))
            return false;
        std::swap(m[pivot], m[col]);
        std::swap(r[pivot], r[col]);
        for (int i = col + 1; i < n; ++i) {
            const double factor = m[i][col] / m[col][col];
            for (int j = col; j < n; ++j)
                m[i][j] -= factor * m[col][j];
            r[i] -= factor * r[col];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = r[i];
        for (int j = i + 1; j < n; ++j)
            sum -= m[i][j] * r[j];
        r[i] = sum / m[i][i];
    }
    return std::all_of(r.begin(), r.begin() + n, [](double x) { return std::isfinite(x); });
}

// An orthonormal set grown one vector at a time, to pick independent ones.
class IndependentSet {
public:
    explicit IndependentSet(int dimension) : dimension_(dimension) {}

    int size() const { return size_; }

    // Adds `v` when it is independent of the set so far.
    bool add(const Vector& v)
    {
        if (size_ == dimension_)
            return false;
        Vector w = v;
        const double norm = std::sqrt(dot(v, v, dimension_));
        if (!(norm > 0))
            return false;
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < size_; ++i) {
                const double c = dot(w, basis_[i], dimension_);
                for (int k = 0; k < dimension_; ++k)
                    w[k] -= c * basis_[i][k];
            }
        }
        const double rest = std::sqrt(dot(w, w, dimension_));
        if (!(rest > 1e-9 * norm))
            return false;
        for (int k = 0; k < dimension_; ++k)
            w[k] /= rest;
        basis_[size_++] = w;
        return true;
    }

    bool contains(const Vector& v) const
    {
        IndependentSet copy = *this;
        return !copy.add(v);
    }

private:
    int dimension_;
    int size_ = 0;
    Members basis_{};
};

// The determinant of the leading size x size block, by elimination with
// partial pivoting.
double determinant(Members m, int size)
{
    double det = 1;
    for (int col = 0; col < size; ++col) {
        int pivot = col;
        for (int i = col + 1; i < size; ++i) {
            if (std::abs(m[i][col]) > std::abs(m[pivot][col]))
                pivot = i;
        }
        if (m[pivot][col] == 0)
            return 0;
        if (pivot != col) {
            std::swap(m[pivot], m[col]);
            det = -det;
        }
        det *= m[col][col];
        for (int i = col + 1; i < size; ++i) {
            const double factor = m[i][col] / m[col][col];
            for (int j = col; j < size; ++j)
                m[i][j] -= factor * m[col][j];
        }
    }
    return det;
}

// The `size` element rows on which the members' square system is best
// conditioned: the largest determinant relative to its rows' lengths. Rows
// of plentiful elements alone would give a trace element's coordinate as the
// small difference of large numbers.
bool independentRows(const Members& members, int size, int e,
                     Indices& rows)
{
    double best = 0;
    for (int mask = 0; mask < (1 << e); ++mask) {
        if (std::popcount(unsigned(mask)) != size)
            continue;
        Indices candidate{};
        int r = 0;
        for (int k = 0; k < e; ++k) {
            if (mask & (1 << k))
                candidate[r++] = k;
        }
        Members m{};
        double lengths = 1;
        for (int i = 0; i < size; ++i) {
            for (int p = 0; p < size; ++p)
                m[i][p] = members[p][candidate[i]];
            lengths *= std::sqrt(dot(m[i], m[i], size));
        }
        double det = m[0][0];
        if (size > 3)
            det = determinant(m, size);
        else if (size == 2)
            det = m[0][0] * m[1][1] - m[0][1] * m[1][0];
        else if (size == 3)
            det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                  m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                  m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        const double quality = lengths > 0 ? std::abs(det) / lengths : 0;
        if (quality > best * (1 + 1e-12)) {
            best = quality;
            rows = candidate;
        }
    }
    return best > 1e-9;
}

Vector unit(int k)
{
    Vector v{};
    v[k] = 1;
    return v;
}

} // namespace

GibbsSolver::GibbsSolver(std::vector<Vector> atoms, int elements, Vector feed, double inert,
                         int carbon)
    : atoms_(std::move(atoms)), elements_(elements), feed_(feed), inert_(inert), carbon_(carbon)
{
    for (int k = 0; k < elements_; ++k)
        feedScale_ += std::abs(feed_[k]);
    std::vector<std::vector<double>> columns;
    for (const Vector& a : atoms_)
        columns.emplace_back(a.begin(), a.begin() + elements_);
    const std::vector<double> amounts(feed_.begin(), feed_.begin() + elements_);
    const auto absentOf = [](const std::vector<bool>& formable, size_t species) {
        std::vector<bool> absent(species);
        for (size_t j = 0; j < species; ++j)
            absent[j] = !formable[j];
        return absent;
    };
    absentInGas_ = absentOf(formableSpecies(columns, amounts), atoms_.size());
    if (carbon_ >= 0) {
        // Graphite as one more column: species the gas alone cannot balance
        // may form beside it.
        columns.emplace_back(size_t(elements_), 0.0);
        columns.back()[size_t(carbon_)] = 1;
        absentBesideGraphite_ = absentOf(formableSpecies(columns, amounts), atoms_.size());
    }
}

double GibbsSolver::lnAmount(const State& state, const std::vector<double>& g, int species) const
{
    if (!state.absent.empty() && state.absent[species])
        return -std::numeric_limits<double>::infinity();
    return state.lnTotal + dot(atoms_[species], state.pi, elements_) - g[species];
}

GibbsSolver::State GibbsSolver::initialState(const std::vector<double>& g) const
{
    // Element potentials that give every species the same fraction in the
    // least-squares sense: a start from which no species is far off.
    State state;
    const int n = elements_;
    Square normal{};
    Row rhs{};
    const double equalShare = -std::log(double(std::max<size_t>(atoms_.size(), 1)));
    for (size_t j = 0; j < atoms_.size(); ++j) {
        for (int k = 0; k < n; ++k) {
            for (int m = 0; m < n; ++m)
                normal[k][m] += atoms_[j][k] * atoms_[j][m];
            rhs[k] += atoms_[j][k] * (g[j] + equalShare);
        }
    }
    // A little ridge keeps the fit solvable when the species span fewer
    // dimensions than the elements.
    for (int k = 0; k < n; ++k)
        normal[k][k] += 1e-9;
    if (solveLinear(normal, rhs, n)) {
        for (int k = 0; k < n; ++k)
            state.pi[k] = rhs[k];
    }
    // Lowered along every element until no species exceeds the equal share,
    // so the iteration starts with every amount too small rather than huge.
    double shift = 0;
    for (size_t j = 0; j < atoms_.size(); ++j) {
        double atomTotal = 0;
        for (int k = 0; k < n; ++k)
            atomTotal += std::abs(atoms_[j][k]);
        const double excess = dot(atoms_[j], state.pi, n) - g[j] - equalShare;
        if (atomTotal > 0)
            shift = std::max(shift, excess / atomTotal);
    }
    for (int k = 0; k < n; ++k)
        state.pi[k] -= shift;
    state.lnTotal = std::log(feedScale_ + inert_);
    return state;
}

bool GibbsSolver::solvePhase(const std::vector<double>& g, const State& start, bool carbonFixed,
                             State& result) const
{
    const std::vector<bool>& absent = carbonFixed ? absentBesideGraphite_ : absentInGas_;
    // A neighbour's solution is usually the shortest way; when it is not, the
    // cold start, and last the globally convergent dual, whose answer the
    // Newton steps then refine.
    State state = start;
    state.absent = absent;
    state.graphitePresent = carbonFixed;
    if (carbonFixed)
        state.pi[carbon_] = 0;
    if (carbonFixed && gasVanishes(g, absent)) {
        // Pure carbon whose gases together stay below the total pressure at
        // graphite's potential: all of it is graphite and no gas is left.
        state.pi = {};
        state.lnTotal = -std::numeric_limits<double>::infinity();
        state.graphite = feed_[carbon_];
        state.lnAmounts.assign(atoms_.size(), state.lnTotal);
        return result = state, true;
    }
    // Beside graphite the gas's own potentials are tried first, as they are
    // (the shortest way when the gas's carbon potential was near 0), then
    // refitted around carbon's.
    if (carbonFixed && !state.lnAmounts.empty() && iterate(g, carbonFixed, state))
        return result = state, true;
    if (!start.lnAmounts.empty()) {
        state = start;
        state.absent = absent;
        state.graphitePresent = carbonFixed;
        refit(g, carbonFixed, state);
        if (iterate(g, carbonFixed, state))
            return result = state, true;
    } else if (iterate(g, carbonFixed, state)) {
        return result = state, true;
    }
    if (!start.lnAmounts.empty()) {
        state = coldState(g, carbonFixed, absent);
        if (iterate(g, carbonFixed, state))
            return result = state, true;
    }
    state = coldState(g, carbonFixed, absent);
    if (!dualSolve(g, carbonFixed, state))
        return false;
    if (iterate(g, carbonFixed, state))
        return result = state, true;
    // The Newton steps could not improve it: the dual's answer stands as it
    // is, for the checks after the solve to judge.
    state.lnAmounts.resize(atoms_.size());
    for (size_t j = 0; j < atoms_.size(); ++j)
        state.lnAmounts[j] = lnAmount(state, g, int(j));
    return result = state, true;
}

bool GibbsSolver::gasVanishes(const std::vector<double>& g, const std::vector<bool>& absent) const
{
    if (inert_ > 0)
        return false;
    double pressures = 0; // the gases' partial pressures over the total at pi = 0
    for (size_t j = 0; j < atoms_.size(); ++j) {
        if (absent[j])
            continue;
        for (int k = 0; k < elements_; ++k) {
            if (k != carbon_ && atoms_[j][k] != 0)
                return false;
        }
        pressures += std::exp(-g[j]);
    }
    return pressures < 1;
}

GibbsSolver::State GibbsSolver::coldState(const std::vector<double>& g, bool carbonFixed,
                                          const std::vector<bool>& absent) const
{
    State state = initialState(g);
    state.absent = absent;
    state.graphitePresent = carbonFixed;
    if (carbonFixed)
        state.pi[carbon_] = 0;
    return state;
}

bool GibbsSolver::solve(const std::vector<double>& g, State start, State& result) const
{
    return solvePhases(g, std::move(start), result) && balanced(g, result);
}

// A solution is claimed only where every element balance holds to this,
// relative to the larger of the feed and the element's amounts in the
// solution: an iteration that stopped on a small step short of the balances
// is a failure, not an answer.
constexpr double kClaimedBalanceTolerance = 1e-9;

bool GibbsSolver::balanced(const std::vector<double>& g, const State& state) const
{
    for (int k = 0; k < elements_; ++k) {
        double balance = k == carbon_ ? state.graphite : 0;
        double scale = std::abs(balance);
        for (size_t j = 0; j < atoms_.size(); ++j) {
            const double amount = std::exp(lnAmount(state, g, int(j))) * atoms_[j][size_t(k)];
            balance += amount;
            scale += std::abs(amount);
        }
        const double fed = feed_[size_t(k)];
        if (!(std::abs(balance - fed) <= kClaimedBalanceTolerance * std::max(scale, std::abs(fed))))
            return false;
    }
    return true;
}

bool GibbsSolver::solvePhases(const std::vector<double>& g, State start, State& result) const
{
    start.graphite = 0;
    State gas;
    const bool gasSolved = solvePhase(g, start, false, gas);
    if (carbon_ < 0) {
        result = gas;
        return gasSolved;
    }
    // Graphite is stable when the gas alone has a higher carbon potential.
    // Where the gas species left cannot express carbon's potential (a feed
    // whose stoichiometry rules species out), graphite is tried instead and
    // kept when some of it deposits, which is the same rule.
    double potential = 0;
    const bool defined = gasSolved && carbonPotential(gas, potential);
    if (defined && !(potential > 0)) {
        result = gas;
        return true;
    }
    // Carbon's potential is graphite's, and the gas is solved again around it;
    // species ruled out for the gas alone may take part beside graphite.
    State solid;
    if (!solvePhase(g, gasSolved ? gas : start, true, solid))
        return gasSolved && !defined ? (result = gas, true) : false;
    if (gasSolved && !defined && !(solid.graphite > 0)) {
        result = gas;
        return true;
    }
    result = solid;
    return true;
}

bool GibbsSolver::dualSolve(const std::vector<double>& g, bool carbonFixed, State& state) const
{
    const int e = elements_;
    std::array<bool, kMaxElements> free{};
    double freeAtoms = 0;
    for (int k = 0; k < e; ++k) {
        free[k] = feed_[k] > 0 && !(carbonFixed && k == carbon_);
        freeAtoms += free[k] ? feed_[k] : 0;
    }
    std::vector<int> present;
    double mostAtoms = 1;
    for (int j = 0; j < int(atoms_.size()); ++j) {
        if (state.absent[j])
            continue;
        present.push_back(j);
        double count = 0;
        for (int k = 0; k < e; ++k)
            count += free[k] ? atoms_[j][k] : 0;
        mostAtoms = std::max(mostAtoms, count);
    }
    const auto amount = [&](int j, const Vector& pi, double lnN) {
        return std::exp(lnN + dot(atoms_[j], pi, e) - g[j]);
    };
    const auto objective = [&](const Vector& pi, double lnN) {
        double sum = 0;
        for (const int j : present)
            sum += amount(j, pi, lnN);
        for (int k = 0; k < e; ++k)
            sum -= free[k] ? feed_[k] * pi[k] : 0;
        return sum;
    };
    // Newton steps on the convex objective at a fixed ln N, each backtracked
    // until it lowers the objective enough: convergent from any start.
    const auto minimise = [&](double lnN, Vector& pi) {
        for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
            Square hessian{};
            Row gradient{};
            for (const int j : present) {
                const double n = amount(j, pi, lnN);
                for (int k = 0; k < e; ++k) {
                    if (!free[k])
                        continue;
                    gradient[k] += atoms_[j][k] * n;
                    for (int m = 0; m < e; ++m)
                        hessian[k][m] += free[m] ? atoms_[j][k] * atoms_[j][m] * n : 0;
                }
            }
            bool small = true;
            double trace = 0;
            for (int k = 0; k < e; ++k) {
                gradient[k] -= free[k] ? feed_[k] : 0;
                small = small && std::abs(gradient[k]) <= kDualGradient * feed_[k];
                trace += hessian[k][k];
            }
            if (small)
                return;
            Row step{};
            for (int k = 0; k < e; ++k) {
                hessian[k][k] += free[k] ? kRidge * trace + kTinyCurvature : 1;
                step[k] = free[k] ? -gradient[k] : 0;
            }
            if (!solveLinear(hessian, step, e))
                return;
            double slope = 0;
            for (int k = 0; k < e; ++k)
                slope += gradient[k] * step[k];
            const double before = objective(pi, lnN);
            Vector trial = pi;
            for (double t = 1;; t /= 2) {
                if (t < kSmallestShare)
                    return; // no lower point within rounding: as good as it gets
                for (int k = 0; k < e; ++k)
                    trial[k] = pi[k] + t * step[k];
                if (objective(trial, lnN) <= before + kMeritDecrease * t * slope)
                    break;
            }
            pi = trial;
        }
    };

    // Every species far below its balance at first, so that the first steps
    // climb without overflow; ln N bracketed between the fewest and the most
    // moles the gas can hold, and bisected.
    double low = std::log(std::max(freeAtoms / mostAtoms / 2 + inert_, kLeastGas * feedScale_));
    double high = std::log(feedScale_ + inert_ + 1);
    double lowering = 0;
    for (const int j : present) {
        double count = 0;
        for (int k = 0; k < e; ++k)
            count += free[k] ? atoms_[j][k] : 0;
        if (count > 0)
            lowering = std::max(lowering, (high - g[j] + 10 + dot(atoms_[j], state.pi, e)) / count);
    }
    Vector pi = state.pi;
    for (int k = 0; k < e; ++k)
        pi[k] = free[k] ? -lowering : (carbonFixed && k == carbon_ ? 0 : pi[k]);
    for (int i = 0; i < kBisections; ++i) {
        const double lnN = (low + high) / 2;
        minimise(lnN, pi);
        double sum = inert_;
        for (const int j : present)
            sum += amount(j, pi, lnN);
        (sum > std::exp(lnN) ? low : high) = lnN;
    }
    state.lnTotal = (low + high) / 2;
    minimise(state.lnTotal, pi);
    state.pi = pi;
    state.graphite = 0;
    if (carbonFixed) {
        state.graphite = feed_[carbon_];
        for (const int j : present)
            state.graphite -= atoms_[j][carbon_] * amount(j, pi, state.lnTotal);
    }
    return std::isfinite(state.lnTotal) &&
           std::all_of(pi.begin(), pi.begin() + e, [](double x) { return std::isfinite(x); });
}

bool GibbsSolver::meetsPhaseRule(const State& state) const
{
    if (carbon_ < 0)
        return true;
    if (state.graphitePresent)
        return state.pi[carbon_] == 0 && state.graphite >= 0;
    double potential = 0;
    return !carbonPotential(state, potential) || potential <= kPotentialTolerance;
}

void GibbsSolver::refit(const std::vector<double>& g, bool carbonFixed, State& state) const
{
    const int species = int(atoms_.size());
    std::vector<int> order(static_cast<size_t>(species));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return state.lnAmounts[a] > state.lnAmounts[b]; });
    // Least squares over the chosen species: exact when they are as many as
    // the elements, the smallest change of potentials when fewer. With
    // graphite, carbon's potential is 0 and the others are fitted around it.
    IndependentSet chosen(elements_);
    if (carbonFixed)
        chosen.add(unit(carbon_));
    const auto fitted = [&](int k) { return !carbonFixed || k != carbon_; };
    Square normal{};
    Row rhs{};
    for (const int j : order) {
        if (!std::isfinite(state.lnAmounts[j]) || !chosen.add(atoms_[j]))
            continue;
        const double potential = state.lnAmounts[j] - state.lnTotal + g[j];
        for (int k = 0; k < elements_; ++k) {
            for (int m = 0; m < elements_; ++m)
                normal[k][m] += fitted(k) && fitted(m) ? atoms_[j][k] * atoms_[j][m] : 0;
            rhs[k] += fitted(k) ? atoms_[j][k] * potential : 0;
        }
    }
    for (int k = 0; k < elements_; ++k)
        normal[k][k] += fitted(k) ? kRidge : 1;
    if (solveLinear(normal, rhs, elements_)) {
        for (int k = 0; k < elements_; ++k)
            state.pi[k] = rhs[k];
    }
}

bool GibbsSolver::carbonPotential(const State& state, double& potential) const
{
    IndependentSet span(elements_);
    for (size_t j = 0; j < atoms_.size(); ++j) {
        if (state.absent.empty() || !state.absent[j])
            span.add(atoms_[j]);
    }
    if (!span.contains(unit(carbon_)))
        return false;
    potential = state.pi[carbon_];
    return true;
}

struct GibbsSolver::Basis {
    Members members{};
    Indices memberSpecies{}; // -1 for graphite
    int size = 0;
    Members projector{}; // rows of the members' inverse, by element
    Square gram{};
    std::vector<Vector> coordinates; // of every species
    Vector target{};                 // the feed's coordinates
};

struct GibbsSolver::Linearisation {
    Square jacobian{};
    Row residual{};
    double merit = 0; // half the residuals' sum of squares
};

bool GibbsSolver::chooseBasis(const std::vector<double>& lnN, const State& state,
                              bool carbonFixed, int rank, Basis& basis) const
{
    const int species = int(atoms_.size());
    const int e = elements_;
    // Graphite first when present, then the most abundant species that are
    // independent of those before them.
    basis.size = 0;
    IndependentSet chosen(e);
    if (carbonFixed) {
        chosen.add(unit(carbon_));
        basis.members[0] = unit(carbon_);
        basis.memberSpecies[basis.size++] = -1;
    }
    std::vector<int> order(static_cast<size_t>(species));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return lnN[a] > lnN[b]; });
    for (const int j : order) {
        if (basis.size == rank)
            break;
        if (!state.absent[j] && chosen.add(atoms_[j])) {
            basis.members[basis.size] = atoms_[j];
            basis.memberSpecies[basis.size++] = j;
        }
    }
    const int size = basis.size;
    if (size != rank)
        return false;

    // Coordinates of a vector in the basis: the members' square system over
    // `size` independent element rows, solved directly, so that an element
    // only some members carry keeps exact zeros in the other members'
    // coordinates (through normal equations, oxygen's coordinate would pick
    // up rounding from the far larger carbon and hydrogen).
    Indices rows{};
    if (!independentRows(basis.members, size, e, rows))
        return false;
    Square square{};
    for (int r = 0; r < size; ++r) {
        for (int p = 0; p < size; ++p)
            square[r][p] = basis.members[p][rows[r]];
    }
    basis.projector = {};
    for (int r = 0; r < size; ++r) {
        Row column{};
        column[r] = 1;
        if (!solveLinear(square, column, size))
            return false;
        for (int p = 0; p < size; ++p)
            basis.projector[p][rows[r]] = column[p];
    }
    for (int p = 0; p < size; ++p) {
        for (int q = 0; q < size; ++q)
            basis.gram[p][q] = dot(basis.members[p], basis.members[q], e);
    }
    const auto coordinatesOf = [&](const Vector& v) {
        Vector c{};
        for (int p = 0; p < size; ++p)
            c[p] = dot(basis.projector[p], v, e);
        return c;
    };
    basis.coordinates.resize(static_cast<size_t>(species));
    for (int j = 0; j < species; ++j)
        basis.coordinates[j] = coordinatesOf(atoms_[j]);
    // A basis member's own coordinates are exactly a unit vector.
    for (int p = 0; p < size; ++p) {
        if (basis.memberSpecies[p] >= 0)
            basis.coordinates[basis.memberSpecies[p]] = unit(p);
    }
    // The feed in the basis. A member the feed holds none of by its
    // stoichiometry (water's H2 from H2 and O2 at 2:1) comes out as a
    // rounding residue, which would outweigh the traces that balance it.
    basis.target = coordinatesOf(feed_);
    for (int p = 0; p < size; ++p) {
        double scale = 0;
        for (int k = 0; k < e; ++k)
            scale += std::abs(basis.projector[p][k] * feed_[k]);
        if (std::abs(basis.target[p]) <= kFeedResidue * scale)
            basis.target[p] = 0;
    }
    return true;
}

bool GibbsSolver::linearise(const std::vector<double>& g, const State& state, const Basis& basis,
                            Linearisation& result) const
{
    // Residuals and Jacobian of the basis balances and the total. The
    // unknowns are ln n of each gas member (graphite's moles for graphite)
    // and ln N; d ln n_j / d ln N = 1 - sum of j's gas coordinates. A gas
    // member's balance is written as ln(what adds) - ln(what takes away): each
    // side a sum of positive terms, so no trace is lost to cancellation, and a
    // side ruled by one species is linear in the unknowns. Graphite's amount,
    // which may pass through 0, keeps the plain difference.
    const int species = int(atoms_.size());
    const int size = basis.size;
    const int n = size + 1;
    std::array<Row, kMaxUnknowns> gains{};
    std::array<Row, kMaxUnknowns> losses{};
    Row gain{};
    Row loss{};
    Row totalRow{};
    double gasSum = 0;
    for (int j = 0; j < species; ++j) {
        const double nj = std::exp(lnAmount(state, g, j));
        if (!std::isfinite(nj))
            return false;
        if (nj == 0)
            continue;
        const Vector& c = basis.coordinates[j];
        double s = 1;
        for (int p = 0; p < size; ++p) {
            if (basis.memberSpecies[p] >= 0)
                s -= c[p];
        }
        for (int p = 0; p < size; ++p) {
            if (c[p] == 0)
                continue;
            const double weight = std::abs(c[p]) * nj;
            Row& side = c[p] > 0 ? gains[p] : losses[p];
            (c[p] > 0 ? gain[p] : loss[p]) += weight;
            for (int q = 0; q < size; ++q) {
                if (basis.memberSpecies[q] >= 0)
                    side[q] += weight * c[q];
            }
            side[size] += weight * s;
        }
        gasSum += nj;
        for (int q = 0; q < size; ++q) {
            if (basis.memberSpecies[q] >= 0)
                totalRow[q] += c[q] * nj;
        }
        totalRow[size] += s * nj;
    }
    result = {};
    for (int p = 0; p < size; ++p) {
        if (basis.target[p] > 0)
            loss[p] += basis.target[p];
        else
            gain[p] -= basis.target[p];
        if (basis.memberSpecies[p] < 0) {
            result.residual[p] = (gain[p] + state.graphite - loss[p]) / feedScale_;
            for (int q = 0; q < n; ++q)
                result.jacobian[p][q] = (gains[p][q] - losses[p][q]) / feedScale_;
            result.jacobian[p][p] = 1 / feedScale_;
        } else if (gain[p] > 0 && loss[p] > 0) {
            result.residual[p] = std::log(gain[p]) - std::log(loss[p]);
            for (int q = 0; q < n; ++q)
                result.jacobian[p][q] = gains[p][q] / gain[p] - losses[p][q] / loss[p];
        } else {
            result.residual[p] = gain[p] - loss[p];
            for (int q = 0; q < n; ++q)
                result.jacobian[p][q] = gains[p][q] - losses[p][q];
        }
    }
    const double mixture = gasSum + inert_;
    result.residual[size] = std::log(mixture) - state.lnTotal;
    for (int q = 0; q < n; ++q)
        result.jacobian[size][q] = totalRow[q] / mixture;
    result.jacobian[size][size] -= 1;
    for (int p = 0; p < n; ++p)
        result.merit += result.residual[p] * result.residual[p] / 2;
    return std::isfinite(result.merit);
}

double GibbsSolver::stepFactor(const std::vector<double>& lnN, const State& state,
                               const Vector& dPi, double dLnTotal) const
{
    // Major species and the total change by at most kMaxLogStep; a minor
    // species rises at most to a fraction of 1e-4.
    double largest = std::abs(dLnTotal);
    double factor = 1;
    for (size_t j = 0; j < atoms_.size(); ++j) {
        const double dLn = dLnTotal + dot(atoms_[j], dPi, elements_);
        const double lnFraction = lnN[j] - state.lnTotal;
        if (lnFraction > kMinorLog) {
            largest = std::max(largest, std::abs(dLn));
        } else if (dLn - dLnTotal > 0) {
            const double room = (kMinorCeiling - lnFraction) / (dLn - dLnTotal);
            factor = std::min(factor, room);
        }
    }
    if (largest > kMaxLogStep)
        factor = std::min(factor, kMaxLogStep / largest);
    return factor;
}

bool GibbsSolver::iterate(const std::vector<double>& g, bool carbonFixed, State& state) const
{
    const int species = int(atoms_.size());
    const int e = elements_;
    if (species == 0 || e == 0) {
        state.lnTotal = std::log(inert_);
        return inert_ > 0;
    }
    // The rank the basis must reach: every species' vector (and pure carbon
    // with graphite) must be a combination of the basis members.
    IndependentSet span(e);
    if (carbonFixed)
        span.add(unit(carbon_));
    for (int j = 0; j < species; ++j) {
        if (!state.absent[j])
            span.add(atoms_[j]);
    }
    const int rank = span.size();

    std::vector<double> lnN(static_cast<size_t>(species), 0.0);
    Basis basis;
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        if (!std::isfinite(state.lnTotal))
            return false;
        for (int j = 0; j < species; ++j)
            lnN[j] = lnAmount(state, g, j);
        if (!chooseBasis(lnN, state, carbonFixed, rank, basis))
            return false;
        const int size = basis.size;
        const int n = size + 1;
        Linearisation here;
        if (!linearise(g, state, basis, here))
            return false;
        Row step{};
        for (int p = 0; p < n; ++p)
            step[p] = -here.residual[p];
        if (!solveLinear(here.jacobian, step, n))
            return false;

        // Element potentials from the members' steps: a_b . dpi = du_b - dlnN
        // for gas members and 0 for graphite; dpi lies in the basis' span.
        const double dLnTotal = step[size];
        Row memberShift{};
        for (int p = 0; p < size; ++p)
            memberShift[p] = basis.memberSpecies[p] >= 0 ? step[p] - dLnTotal : 0;
        if (!solveLinear(basis.gram, memberShift, size))
            return false;
        Vector dPi{};
        for (int p = 0; p < size; ++p) {
            for (int k = 0; k < e; ++k)
                dPi[k] += memberShift[p] * basis.members[p][k];
        }
        if (carbonFixed)
            dPi[carbon_] = 0;
        double dGraphite = 0;
        for (int p = 0; p < size; ++p) {
            if (basis.memberSpecies[p] < 0)
                dGraphite = step[p];
        }

        // Damped: a step that does not lower the residuals (in this basis) is
        // halved, so that the iteration cannot cycle between two states.
        double factor = stepFactor(lnN, state, dPi, dLnTotal);
        State trial = state;
        for (int halving = 0;; ++halving) {
            for (int k = 0; k < e; ++k)
                trial.pi[k] = state.pi[k] + factor * dPi[k];
            trial.lnTotal = state.lnTotal + factor * dLnTotal;
            trial.graphite = state.graphite + factor * dGraphite;
            Linearisation there;
            const bool finite = linearise(g, trial, basis, there);
            if (halving == kMaxHalvings || here.merit <= kMeritFloor ||
                (finite && there.merit <= (1 - kMeritDecrease * factor) * here.merit))
                break;
            factor /= 2;
        }
        state.pi = trial.pi;
        state.lnTotal = trial.lnTotal;
        state.graphite = trial.graphite;

        double change = std::abs(dLnTotal);
        for (int p = 0; p < size; ++p) {
            change = std::max(change, basis.memberSpecies[p] >= 0
                                          ? std::abs(step[p])
                                          : std::abs(dGraphite) / feedScale_);
        }
        if (factor == 1 && change < kConverged) {
            state.lnAmounts.resize(static_cast<size_t>(species));
            for (int j = 0; j < species; ++j)
                state.lnAmounts[j] = lnAmount(state, g, j);
            return true;
        }
    }
    return false;
}

} // namespace norvanta
