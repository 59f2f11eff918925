#include "gibbs_solver.h"

#include "composition/formable_species.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <utility>

namespace norvanta {

namespace {

using Vector = GibbsSolver::Vector;
constexpr int kMaxElements = GibbsSolver::kMaxElements;
using Members = std::array<Vector, kMaxElements>;
using Indices = std::array<int, kMaxElements>;

using Row = GibbsSolver::Row;
using Square = GibbsSolver::Square;
constexpr int kMaxIterations = GibbsSolver::kMaxSteps;
// A neighbour's solution that has not led to the answer in this many steps is
// too far off: the cold start is the shorter way then.
constexpr int kWarmIterations = 60;
// A full step below this in every log amount (and in a condensed amount
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
// A species holding less than this share of each element it carries takes no
// part in a Newton step's balances over a range unless it is a basis member
// (its amount follows from the potentials all the same, and is counted in the
// checks after the solve): far below what the balances are held to.
constexpr double kNegligibleShare = 1e-25;
// Over a range, a species whose every term in a Newton step's sums lies below
// this share of the sum it enters is left out of them: it is below their
// rounding (the unit roundoff is 1.1e-16), so the sums are as they would be.
constexpr double kRounding = 1e-17;
// A condensed species the feed can make no more of than this share of the
// feed is a trace: its amount converges on what it can be.
constexpr double kTraceShare = 1e-3;
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

    const Vector& member(int i) const { return basis_[size_t(i)]; }

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

// Minimises the convex  F(y) = sum_j exp(offset_j + reduced_j . y) - target . y
// over the first `r` coordinates of y by Newton steps, each backtracked until
// F falls enough: convergent from any start where F is finite. Stops early
// once F falls below `stopBelow`; returns F where it ends.
double minimiseExpSum(const std::vector<double>& offset, const std::vector<Vector>& reduced,
                      const Vector& target, int r, Vector& y, double stopBelow)
{
    const auto value = [&](const Vector& at) {
        double sum = 0;
        for (size_t j = 0; j < offset.size(); ++j)
            sum += std::exp(offset[j] + dot(reduced[j], at, r));
        return sum - dot(target, at, r);
    };
    double current = value(y);
    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        if (!std::isfinite(current) || current < stopBelow)
            break;
        Square hessian{};
        Row gradient{};
        Row scale{};
        for (size_t j = 0; j < offset.size(); ++j) {
            const double n = std::exp(offset[j] + dot(reduced[j], y, r));
            for (int k = 0; k < r; ++k) {
                gradient[k] += reduced[j][k] * n;
                scale[k] += std::abs(reduced[j][k]) * n;
                for (int m = 0; m < r; ++m)
                    hessian[k][m] += reduced[j][k] * reduced[j][m] * n;
            }
        }
        bool small = true;
        double trace = 0;
        for (int k = 0; k < r; ++k) {
            gradient[k] -= target[k];
            scale[k] += std::abs(target[k]);
            small = small && std::abs(gradient[k]) <= kDualGradient * scale[k];
            trace += hessian[k][k];
        }
        if (small)
            break;
        Row step{};
        for (int k = 0; k < r; ++k) {
            hessian[k][k] += kRidge * trace + kTinyCurvature;
            step[k] = -gradient[k];
        }
        if (!solveLinear(hessian, step, r))
            break;
        double slope = 0;
        for (int k = 0; k < r; ++k)
            slope += gradient[k] * step[k];
        Vector trial = y;
        double there = current;
        bool lower = false;
        for (double t = 1; t >= kSmallestShare && !lower; t /= 2) {
            for (int k = 0; k < r; ++k)
                trial[k] = y[k] + t * step[k];
            there = value(trial);
            lower = there <= current + kMeritDecrease * t * slope;
        }
        if (!lower)
            break; // no lower point within rounding: as good as it gets
        y = trial;
        current = there;
    }
    return current;
}

// `order` made the species' indices from the most abundant by `ln`: from
// the order of a nearby state by insertion (a step or a neighbouring
// temperature moves few species past others), else sorted afresh.
void sortByAbundance(std::vector<int>& order, const std::vector<double>& ln)
{
    if (order.size() != ln.size()) {
        order.resize(ln.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return ln[a] > ln[b]; });
        return;
    }
    // The key of the species before, carried along: most stay where they are.
    double before = order.empty() ? 0 : ln[size_t(order[0])];
    for (size_t i = 1; i < order.size(); ++i) {
        const int j = order[i];
        const double key = ln[size_t(j)];
        if (!(before < key)) {
            before = key;
            continue;
        }
        // Moved back past those below it; the one now at i keeps `before`.
        size_t k = i;
        for (; k > 0 && ln[size_t(order[k - 1])] < key; --k)
            order[k] = order[k - 1];
        order[k] = j;
    }
}

} // namespace

GibbsSolver::GibbsSolver(std::vector<Vector> atoms, int elements, Vector feed, double inert,
                         std::vector<Vector> condensed)
    : atoms_(std::move(atoms)), elements_(elements), feed_(feed), inert_(inert),
      condensed_(std::move(condensed))
{
    for (int k = 0; k < elements_; ++k)
        feedScale_ += std::abs(feed_[k]);
    // Below this log amount a species holds less than kNegligibleShare of
    // every element it carries.
    for (const Vector& a : atoms_) {
        double bound = std::numeric_limits<double>::infinity();
        for (int k = 0; k < elements_; ++k) {
            if (a[k] > 0)
                bound = std::min(bound, std::log(kNegligibleShare * std::abs(feed_[k]) / a[k]));
        }
        negligible_.push_back(std::isfinite(bound) ? bound : -std::numeric_limits<double>::infinity());
    }
    IndependentSet gases(elements_);
    for (const Vector& a : atoms_)
        gases.add(a);
    gasesSpanElements_ = gases.size() == elements_;
    // The measure of a condensed amount's convergence: the feed's, or for a
    // species the feed can make only a trace of, the most it can make
    // (graphite from a trace of carbon converges on that trace).
    for (const Vector& a : condensed_) {
        double most = feedScale_;
        for (int k = 0; k < elements_; ++k) {
            if (a[k] > 0)
                most = std::min(most, std::abs(feed_[k]) / a[k]);
        }
        condensedScale_.push_back(most > 0 && most < kTraceShare * feedScale_ ? most : feedScale_);
        // A condensed species of an element the feed lacks cannot form.
        bool holds = false;
        bool lacking = false;
        for (int k = 0; k < elements_; ++k) {
            holds = holds || a[k] != 0;
            lacking = lacking || (a[k] != 0 && !(feed_[k] > 0));
        }
        condensedUsable_.push_back(holds && !lacking);
    }
}

const GibbsSolver::Absent& GibbsSolver::absentBeside(const Present& present) const
{
    const auto found = absent_.find(present);
    if (found != absent_.end())
        return found->second;
    // More columns rule out no more species: where the gas alone can form
    // every species, it can beside any condensed species.
    const Present none(present.size(), false);
    if (present != none) {
        const Absent& inGas = absentBeside(none);
        if (std::none_of(inGas.begin(), inGas.end(), [](bool a) { return a; }))
            return absent_.emplace(present, inGas).first->second;
    }
    // The present condensed species as more columns: species the gas alone
    // cannot balance may form beside them.
    std::vector<std::vector<double>> columns;
    for (const Vector& a : atoms_)
        columns.emplace_back(a.begin(), a.begin() + elements_);
    for (size_t c = 0; c < condensed_.size(); ++c) {
        if (present[c])
            columns.emplace_back(condensed_[c].begin(), condensed_[c].begin() + elements_);
    }
    const std::vector<double> amounts(feed_.begin(), feed_.begin() + elements_);
    const std::vector<bool> formable = formableSpecies(columns, amounts);
    Absent absent(atoms_.size());
    for (size_t j = 0; j < atoms_.size(); ++j)
        absent[j] = !formable[j];
    return absent_.emplace(present, std::move(absent)).first->second;
}

int GibbsSolver::rankBeside(const Present& present) const
{
    const auto found = rank_.find(present);
    if (found != rank_.end())
        return found->second;
    // Every species' vector (and every present condensed species') must be a
    // combination of the basis members.
    const Absent& absent = absentBeside(present);
    IndependentSet span(elements_);
    for (size_t c = 0; c < condensed_.size(); ++c) {
        if (present[c])
            span.add(condensed_[c]);
    }
    for (size_t j = 0; j < atoms_.size() && span.size() < elements_; ++j) {
        if (!absent[j])
            span.add(atoms_[j]);
    }
    return rank_[present] = span.size();
}

bool GibbsSolver::constraintOf(const std::vector<double>& g, const Present& present,
                               Constraint& result) const
{
    result = {};
    if (std::find(present.begin(), present.end(), true) == present.end()) {
        // No condensed species: every potential is free.
        for (int k = 0; k < elements_; ++k)
            result.free[size_t(k)] = unit(k);
        result.freeCount = elements_;
        return true;
    }
    IndependentSet span(elements_);
    for (int c = 0; c < int(condensed_.size()); ++c) {
        if (!present[size_t(c)])
            continue;
        if (!span.add(condensed_[size_t(c)]))
            return false; // more condensed species than the phase rule allows
        result.members.push_back(c);
    }
    // The origin: the smallest potentials with a_c . pi = g_c for every member.
    const int s = int(result.members.size());
    Square gram{};
    Row rhs{};
    for (int p = 0; p < s; ++p) {
        for (int q = 0; q < s; ++q)
            gram[p][q] = dot(condensed_[size_t(result.members[size_t(p)])],
                             condensed_[size_t(result.members[size_t(q)])], elements_);
        rhs[p] = condensedG(g, result.members[size_t(p)]);
    }
    if (s > 0 && !solveLinear(gram, rhs, s))
        return false;
    for (int p = 0; p < s; ++p) {
        for (int k = 0; k < elements_; ++k)
            result.origin[k] += rhs[p] * condensed_[size_t(result.members[size_t(p)])][k];
    }
    for (int k = 0; k < elements_; ++k) {
        if (span.add(unit(k)))
            result.free[size_t(result.freeCount++)] = span.member(span.size() - 1);
    }
    return true;
}

namespace {

// `pi` moved onto the constraint's affine set.
void projectOnto(const Vector& origin, const std::array<Vector, kMaxElements>& free, int freeCount,
                 int e, Vector& pi)
{
    Vector projected = origin;
    for (int r = 0; r < freeCount; ++r) {
        double along = 0;
        for (int k = 0; k < e; ++k)
            along += free[r][k] * (pi[k] - origin[k]);
        for (int k = 0; k < e; ++k)
            projected[k] += along * free[r][k];
    }
    pi = projected;
}

} // namespace

double GibbsSolver::lnAmount(const State& state, const std::vector<double>& g, int species) const
{
    if (!state.absent.empty() && state.absent[species])
        return -std::numeric_limits<double>::infinity();
    return state.lnTotal + dot(atoms_[species], state.pi, elements_) - g[species];
}

void GibbsSolver::amounts(const State& state, const std::vector<double>& g,
                          std::vector<double>& result) const
{
    const bool ruledOut = std::find(state.absent.begin(), state.absent.end(), 1) != state.absent.end();
    result.resize(atoms_.size());
    for (size_t j = 0; j < atoms_.size(); ++j) {
        result[j] = ruledOut && state.absent[j]
                        ? 0
                        : std::exp(state.lnTotal + dot(atoms_[j], state.pi, elements_) - g[j]);
    }
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

bool GibbsSolver::solvePhase(const std::vector<double>& g, const State& neighbour,
                             const Present& present, bool sameTemperature, State& result) const
{
    Constraint constraint;
    if (!constraintOf(g, present, constraint))
        return false;
    const Absent& absent = absentBeside(present);
    // A neighbour without gas gives potentials but no amounts to start from.
    std::optional<State> gasless;
    if (!std::isfinite(neighbour.lnTotal)) {
        gasless = neighbour;
        gasless->lnAmounts.clear();
        gasless->lnTotal = std::log(feedScale_ + inert_);
    }
    const State& start = gasless ? *gasless : neighbour;
    // A start brought to this set: its species ruled out, the condensed
    // species' potentials met, the absent ones' amounts 0.
    const auto prepared = [&](const State& from) {
        State state = from;
        state.absent = absent;
        state.present = present;
        state.condensed.resize(condensed_.size(), 0.0);
        for (size_t c = 0; c < condensed_.size(); ++c) {
            if (!present[c])
                state.condensed[c] = 0;
        }
        projectOnto(constraint.origin, constraint.free, constraint.freeCount, elements_, state.pi);
        return state;
    };
    State state = prepared(start);
    if (gasVanishes(g, constraint, state))
        return result = std::move(state), true;
    // A neighbour's solution is usually the shortest way; when it is not, the
    // cold start, and last the globally convergent dual, whose answer the
    // Newton steps then refine. Beside condensed species the gas's own
    // potentials are tried first, as they are (the shortest way when the
    // gas's potentials were near theirs), then refitted around them.
    const bool asItIs = sameTemperature && !constraint.members.empty() && !state.lnAmounts.empty();
    if (asItIs && iterate(g, state, kWarmIterations))
        return result = std::move(state), true;
    if (!start.lnAmounts.empty()) {
        if (asItIs)
            state = prepared(start);
        refit(g, state);
        if (iterate(g, state, kWarmIterations))
            return result = std::move(state), true;
        state = coldState(g, present, absent);
        if (iterate(g, state))
            return result = std::move(state), true;
    } else if (iterate(g, state)) {
        return result = std::move(state), true;
    }
    state = coldState(g, present, absent);
    if (!dualSolve(g, state))
        return false;
    if (iterate(g, state))
        return result = std::move(state), true;
    // The Newton steps could not improve it: the dual's answer stands as it
    // is, for the checks after the solve to judge.
    state.lnAmounts.resize(atoms_.size());
    for (size_t j = 0; j < atoms_.size(); ++j)
        state.lnAmounts[j] = lnAmount(state, g, int(j));
    return result = std::move(state), true;
}

bool GibbsSolver::gasVanishes(const std::vector<double>& g, const Constraint& constraint,
                              State& state) const
{
    const int s = int(constraint.members.size());
    if (inert_ > 0 || s == 0)
        return false;
    // The feed held by the present condensed species alone, none negative.
    Row amounts{};
    if (!condensedHolding(constraint, feed_, amounts))
        return false;
    for (int k = 0; k < elements_; ++k) {
        double held = 0;
        for (int p = 0; p < s; ++p)
            held += amounts[p] * condensed_[size_t(constraint.members[size_t(p)])][k];
        if (!(std::abs(held - feed_[k]) <= kFeedResidue * feedScale_))
            return false;
    }
    for (int p = 0; p < s; ++p) {
        if (amounts[p] < -kFeedResidue * feedScale_)
            return false;
        amounts[p] = std::max(amounts[p], 0.0);
    }
    // The gases' partial pressures over the total at the lowest the free
    // potentials reach: no gas when they sum below 1.
    std::vector<double> offset;
    std::vector<Vector> reduced;
    for (size_t j = 0; j < atoms_.size(); ++j) {
        if (state.absent[j])
            continue;
        offset.push_back(dot(atoms_[j], constraint.origin, elements_) - g[j]);
        Vector along{};
        for (int r = 0; r < constraint.freeCount; ++r)
            along[r] = dot(atoms_[j], constraint.free[size_t(r)], elements_);
        reduced.push_back(along);
    }
    Vector y{};
    if (!(minimiseExpSum(offset, reduced, Vector{}, constraint.freeCount, y, 1) < 1))
        return false;
    state.pi = constraint.origin;
    for (int r = 0; r < constraint.freeCount; ++r) {
        for (int k = 0; k < elements_; ++k)
            state.pi[k] += y[r] * constraint.free[size_t(r)][k];
    }
    state.lnTotal = -std::numeric_limits<double>::infinity();
    for (int p = 0; p < s; ++p)
        state.condensed[size_t(constraint.members[size_t(p)])] = amounts[p];
    state.lnAmounts.assign(atoms_.size(), state.lnTotal);
    return true;
}

GibbsSolver::State GibbsSolver::coldState(const std::vector<double>& g, const Present& present,
                                          const Absent& absent) const
{
    State state = initialState(g);
    state.absent = absent;
    state.present = present;
    state.condensed.assign(condensed_.size(), 0.0);
    Constraint constraint;
    if (constraintOf(g, present, constraint))
        projectOnto(constraint.origin, constraint.free, constraint.freeCount, elements_, state.pi);
    return state;
}

bool GibbsSolver::solve(const std::vector<double>& g, State start, State& result,
                        std::vector<double>* amounts) const
{
    const bool solved = solvePhases(g, std::move(start), result);
    result.solvedBy = this;
    std::vector<double> own;
    return solved && balanced(g, result, amounts ? *amounts : own) && meetsPhaseRule(g, result);
}

// A solution is claimed only where every element balance holds to this,
// relative to the larger of the feed and the element's amounts in the
// solution, and the gas's species sum to its moles: an iteration that stopped
// on a small step short of the balances is a failure, not an answer.
constexpr double kClaimedBalanceTolerance = 1e-9;

bool GibbsSolver::balanced(const std::vector<double>& g, const State& state) const
{
    std::vector<double> amounts;
    return balanced(g, state, amounts);
}

bool GibbsSolver::balanced(const std::vector<double>& g, const State& state,
                           std::vector<double>& amounts) const
{
    this->amounts(state, g, amounts);
    // The gas's moles are its species' and the inerts' (no gas: none at all).
    if (std::isfinite(state.lnTotal)) {
        const double sum = std::accumulate(amounts.begin(), amounts.end(), inert_);
        const double total = std::exp(state.lnTotal);
        if (!(std::abs(sum - total) <= kClaimedBalanceTolerance * total))
            return false;
    }
    for (int k = 0; k < elements_; ++k) {
        double balance = 0;
        double scale = 0;
        for (size_t c = 0; c < condensed_.size(); ++c) {
            balance += state.condensed[c] * condensed_[c][size_t(k)];
            scale += std::abs(state.condensed[c] * condensed_[c][size_t(k)]);
        }
        for (size_t j = 0; j < atoms_.size(); ++j) {
            const double amount = amounts[j] * atoms_[j][size_t(k)];
            balance += amount;
            scale += std::abs(amount);
        }
        const double fed = feed_[size_t(k)];
        if (!(std::abs(balance - fed) <= kClaimedBalanceTolerance * std::max(scale, std::abs(fed))))
            return false;
    }
    return true;
}

// A present condensed species whose amount comes out below 0 by no more than
// this share of the feed is rounding around an amount of 0: it stays, at 0.
constexpr double kAmountResidue = 1e-13;
// The most changes of the present set one solve may make: each adds or drops
// one species, and the set found at the previous temperature is usually right.
constexpr int kMaxPhaseChanges = 24;

bool GibbsSolver::solvePhases(const std::vector<double>& g, State start, State& result) const
{
    const size_t count = condensed_.size();
    Present present(count, false);
    if (neighbourPhases_ && start.present.size() == count)
        present = start.present; // the neighbour's set first
    // Species whose potential the gas cannot express, tried once each: kept
    // when some of them deposits. Species beside which no gas balanced the
    // feed are not tried again.
    std::vector<bool> tried(count, false);
    std::vector<bool> blocked(count, false);
    for (size_t c = 0; c < count; ++c) {
        blocked[c] = !condensedUsable_[c];
        present[c] = present[c] && condensedUsable_[c];
    }
    std::vector<bool> alone(count, false); // tried alone after a failed join
    // Whether some set could not be solved: an answer beside which a species'
    // potential stays unknown is then no answer.
    bool failed = false;
    // The last set that was solved, and the species that joined it since.
    std::optional<State> lastSolved;
    int joined = -1;
    for (int change = 0; change <= kMaxPhaseChanges + int(count); ++change) {
        State solved;
        const bool any = std::any_of(present.begin(), present.end(), [](bool p) { return p; });
        if (!solvePhase(g, start, present, change > 0, solved) || (any && !balanced(g, solved))) {
            if (!any)
                return false;
            failed = true;
            if (lastSolved && joined >= 0 && !alone[size_t(joined)]) {
                // The species that joined may take the others' place: it
                // alone, the others free to join again.
                alone[size_t(joined)] = true;
                start = *lastSolved;
                present.assign(count, false);
                present[size_t(joined)] = true;
                continue;
            }
            if (lastSolved && joined >= 0) {
                // Back to the set before the species that joined.
                blocked[size_t(joined)] = true;
                start = *lastSolved;
                present = lastSolved->present;
            } else {
                // The neighbour's set no longer holds: from the gas alone.
                present.assign(count, false);
            }
            joined = -1;
            continue;
        }
        // The most negative present species leaves; one at 0 (to rounding)
        // is absent as it stands, the solution unchanged.
        int leaving = -1;
        for (size_t c = 0; c < count; ++c) {
            if (!present[c] || solved.condensed[c] > 0)
                continue;
            if (solved.condensed[c] >= -kAmountResidue * feedScale_) {
                solved.condensed[c] = 0;
                present[c] = false;
                solved.present[c] = false;
            } else if (leaving < 0 || solved.condensed[c] < solved.condensed[size_t(leaving)]) {
                leaving = int(c);
            }
        }
        joined = -1;
        if (leaving >= 0) {
            present[size_t(leaving)] = false;
            start = std::move(solved);
            continue;
        }
        // The absent species that would lower the Gibbs energy most joins.
        const std::vector<bool> defined = definedPotentials(solved);
        int joining = -1;
        int untried = -1;
        double largest = kPotentialTolerance;
        for (size_t c = 0; c < count; ++c) {
            if (present[c] || blocked[c])
                continue;
            if (!defined[c]) {
                if (!tried[c] && untried < 0)
                    untried = int(c);
                continue;
            }
            const double affinity = dot(condensed_[c], solved.pi, elements_) - condensedG(g, int(c));
            if (affinity > largest) {
                largest = affinity;
                joining = int(c);
            }
        }
        if (joining < 0 && untried >= 0) {
            // Species whose potentials the gas cannot express may form only
            // together (each needs what another takes): all of them join at
            // once, as many as are independent, and those that come out
            // negative leave one by one.
            IndependentSet span(elements_);
            for (size_t c = 0; c < count; ++c) {
                if (present[c])
                    span.add(condensed_[c]);
            }
            for (size_t c = size_t(untried); c < count; ++c) {
                if (present[c] || blocked[c] || tried[c] || defined[c])
                    continue;
                tried[c] = true;
                present[c] = span.add(condensed_[c]);
            }
            start = std::move(solved);
            continue;
        }
        if (joining < 0) {
            for (size_t c = 0; c < count && failed; ++c) {
                if (!present[c] && condensedUsable_[c] && !defined[c])
                    return false;
            }
            result = std::move(solved);
            return true;
        }
        // A present species of the same composition gives way to it.
        IndependentSet span(elements_);
        for (size_t c = 0; c < count; ++c) {
            if (present[c])
                span.add(condensed_[c]);
        }
        if (span.contains(condensed_[size_t(joining)])) {
            int same = -1;
            for (size_t c = 0; c < count; ++c) {
                IndependentSet pair(elements_);
                pair.add(condensed_[c]);
                if (present[c] && pair.contains(condensed_[size_t(joining)]))
                    same = int(c);
            }
            if (same < 0)
                return false;
            present[size_t(same)] = false;
        }
        present[size_t(joining)] = true;
        joined = joining;
        lastSolved = solved;
        start = std::move(solved);
    }
    return false;
}

void GibbsSolver::closeBalances(const std::vector<double>& g, State& state) const
{
    Constraint constraint;
    if (!constraintOf(g, state.present, constraint) || constraint.members.empty())
        return;
    Vector open = feed_;
    std::vector<double> n;
    amounts(state, g, n);
    for (size_t j = 0; j < atoms_.size(); ++j) {
        for (int k = 0; k < elements_; ++k)
            open[k] -= atoms_[j][k] * n[j];
    }
    Row amounts{};
    if (condensedHolding(constraint, open, amounts)) {
        for (size_t p = 0; p < constraint.members.size(); ++p)
            state.condensed[size_t(constraint.members[p])] = amounts[p];
    }
}

bool GibbsSolver::condensedHolding(const Constraint& constraint, const Vector& held,
                                   Row& amounts) const
{
    const int s = int(constraint.members.size());
    Square gram{};
    for (int p = 0; p < s; ++p) {
        const Vector& a = condensed_[size_t(constraint.members[size_t(p)])];
        for (int q = 0; q < s; ++q)
            gram[p][q] = dot(a, condensed_[size_t(constraint.members[size_t(q)])], elements_);
        amounts[p] = dot(a, held, elements_);
    }
    return solveLinear(gram, amounts, s);
}

bool GibbsSolver::dualSolve(const std::vector<double>& g, State& state) const
{
    Constraint constraint;
    if (!constraintOf(g, state.present, constraint))
        return false;
    const int r = constraint.freeCount;
    const int e = elements_;
    // The species that take part, in the free potentials' coordinates.
    std::vector<double> base; // a_j . origin - g_j
    std::vector<Vector> reduced;
    Vector target{};
    Vector lowest{}; // the all-ones direction in the free coordinates
    for (int q = 0; q < r; ++q) {
        target[q] = dot(feed_, constraint.free[size_t(q)], e);
        for (int k = 0; k < e; ++k)
            lowest[q] += feed_[k] > 0 ? constraint.free[size_t(q)][k] : 0;
    }
    double freeAtoms = 0;
    for (int k = 0; k < e; ++k)
        freeAtoms += feed_[k];
    double mostAtoms = 1;
    for (size_t j = 0; j < atoms_.size(); ++j) {
        if (state.absent[j])
            continue;
        base.push_back(dot(atoms_[j], constraint.origin, e) - g[j]);
        Vector along{};
        for (int q = 0; q < r; ++q)
            along[q] = dot(atoms_[j], constraint.free[size_t(q)], e);
        reduced.push_back(along);
        double count = 0;
        for (int k = 0; k < e; ++k)
            count += atoms_[j][k];
        mostAtoms = std::max(mostAtoms, count);
    }
    // Every species far below its balance at first, so that the first steps
    // climb without overflow; ln N bracketed between the fewest and the most
    // moles the gas can hold (beside condensed species, next to none), and
    // bisected.
    double low = std::log(constraint.members.empty()
                              ? std::max(freeAtoms / mostAtoms / 2 + inert_, kLeastGas * feedScale_)
                              : kLeastGas * feedScale_ + inert_);
    double high = std::log(feedScale_ + inert_ + 1);
    double lowering = 0;
    for (size_t j = 0; j < base.size(); ++j) {
        const double along = dot(reduced[j], lowest, r);
        if (along > 0)
            lowering = std::max(lowering, (high + base[j] + 10) / along);
    }
    Vector y{};
    for (int q = 0; q < r; ++q)
        y[q] = -lowering * lowest[q];
    std::vector<double> offset(base.size());
    const auto minimiseAt = [&](double lnN) {
        for (size_t j = 0; j < base.size(); ++j)
            offset[j] = lnN + base[j];
        minimiseExpSum(offset, reduced, target, r, y, -std::numeric_limits<double>::infinity());
        double sum = inert_;
        for (size_t j = 0; j < base.size(); ++j)
            sum += std::exp(offset[j] + dot(reduced[j], y, r));
        return sum;
    };
    for (int i = 0; i < kBisections; ++i) {
        const double lnN = (low + high) / 2;
        (minimiseAt(lnN) > std::exp(lnN) ? low : high) = lnN;
    }
    state.lnTotal = (low + high) / 2;
    minimiseAt(state.lnTotal);
    state.pi = constraint.origin;
    for (int q = 0; q < r; ++q) {
        for (int k = 0; k < e; ++k)
            state.pi[k] += y[q] * constraint.free[size_t(q)][k];
    }
    closeBalances(g, state);
    return std::isfinite(state.lnTotal) &&
           std::all_of(state.pi.begin(), state.pi.begin() + e, [](double x) { return std::isfinite(x); });
}

bool GibbsSolver::meetsPhaseRule(const std::vector<double>& g, const State& state) const
{
    const std::vector<bool> defined = definedPotentials(state);
    for (size_t c = 0; c < condensed_.size(); ++c) {
        const bool present = c < state.present.size() && state.present[c];
        const double amount = c < state.condensed.size() ? state.condensed[c] : 0;
        const double affinity = dot(condensed_[c], state.pi, elements_) - condensedG(g, int(c));
        if (present && !(amount >= 0 && std::abs(affinity) <= kPotentialTolerance))
            return false;
        if (!present && (amount != 0 ||
                         (defined[c] && affinity > kPotentialTolerance)))
            return false;
    }
    return true;
}

void GibbsSolver::refit(const std::vector<double>& g, State& state) const
{
    std::vector<int>& order = state.order;
    sortByAbundance(order, state.lnAmounts);
    // Least squares over the chosen species: exact when they are as many as
    // the elements, the smallest change of potentials when fewer. The present
    // condensed species come first, and the fit is then moved onto their
    // potentials exactly.
    IndependentSet chosen(elements_);
    Square normal{};
    Row rhs{};
    const auto fit = [&](const Vector& a, double potential) {
        for (int k = 0; k < elements_; ++k) {
            for (int m = 0; m < elements_; ++m)
                normal[k][m] += a[k] * a[m];
            rhs[k] += a[k] * potential;
        }
    };
    for (size_t c = 0; c < condensed_.size(); ++c) {
        if (state.present[c] && chosen.add(condensed_[c]))
            fit(condensed_[c], condensedG(g, int(c)));
    }
    for (const int j : order) {
        if (std::isfinite(state.lnAmounts[j]) && chosen.add(atoms_[j]))
            fit(atoms_[j], state.lnAmounts[j] - state.lnTotal + g[j]);
    }
    for (int k = 0; k < elements_; ++k)
        normal[k][k] += kRidge;
    if (solveLinear(normal, rhs, elements_)) {
        for (int k = 0; k < elements_; ++k)
            state.pi[k] = rhs[k];
    }
    Constraint constraint;
    if (constraintOf(g, state.present, constraint))
        projectOnto(constraint.origin, constraint.free, constraint.freeCount, elements_, state.pi);
}

std::vector<bool> GibbsSolver::definedPotentials(const State& state) const
{
    // Where the gases span every element, they fix every potential.
    if (gasesSpanElements_ && std::isfinite(state.lnTotal) &&
        std::find(state.absent.begin(), state.absent.end(), 1) == state.absent.end())
        return std::vector<bool>(condensed_.size(), true);
    IndependentSet span(elements_);
    for (size_t p = 0; p < condensed_.size(); ++p) {
        if (p < state.present.size() && state.present[p])
            span.add(condensed_[p]);
    }
    if (std::isfinite(state.lnTotal)) {
        for (size_t j = 0; j < atoms_.size() && span.size() < elements_; ++j) {
            if (state.absent.empty() || !state.absent[j])
                span.add(atoms_[j]);
        }
    }
    std::vector<bool> defined(condensed_.size(), true);
    if (span.size() < elements_) {
        for (size_t c = 0; c < condensed_.size(); ++c)
            defined[c] = span.contains(condensed_[c]);
    }
    return defined;
}

struct GibbsSolver::Basis {
    Members members{};
    Indices memberSpecies{}; // -1 - c for condensed species c
    int size = 0;
    const Frame* frame = nullptr; // what the members fix
    std::vector<int> order;       // the species, most abundant first
    std::vector<int> examined;    // the head of `order` the members were chosen from
};

struct GibbsSolver::Linearisation {
    Square jacobian{};
    Row residual{};
    double merit = 0; // half the residuals' sum of squares
    // Per balance, the sums a species adds to on either side, and the
    // gas's moles: the scale of what the next linearisation may leave out.
    Row gain{};
    Row loss{};
    double mixture = 0;
};

bool GibbsSolver::chooseBasis(const std::vector<double>& lnN, const State& state, int rank,
                              Basis& basis) const
{
    const int species = int(atoms_.size());
    const int e = elements_;
    // The present condensed species first, then the most abundant species
    // that are independent of those before them. The same members as the
    // last step's keep their coordinates.
    std::vector<int>& order = basis.order;
    sortByAbundance(order, lnN);
    // The same species ahead as at the last step: the same members.
    if (basis.frame && basis.examined.size() <= order.size() &&
        std::equal(basis.examined.begin(), basis.examined.end(), order.begin()))
        return true;
    const Indices lastMembers = basis.memberSpecies;
    const int lastSize = basis.size;
    const Frame* lastFrame = basis.frame;
    basis.size = 0;
    IndependentSet chosen(e);
    for (size_t c = 0; c < condensed_.size(); ++c) {
        if (state.present[c] && chosen.add(condensed_[c])) {
            basis.members[basis.size] = condensed_[c];
            basis.memberSpecies[basis.size++] = -1 - int(c);
        }
    }
    size_t examined = 0;
    for (; examined < order.size() && basis.size < rank; ++examined) {
        const int j = order[examined];
        if (!state.absent[j] && chosen.add(atoms_[j])) {
            basis.members[basis.size] = atoms_[j];
            basis.memberSpecies[basis.size++] = j;
        }
    }
    basis.examined.assign(order.begin(), order.begin() + std::ptrdiff_t(examined));
    const int size = basis.size;
    if (size != rank)
        return false;
    if (size == lastSize && basis.memberSpecies == lastMembers && lastFrame)
        return true;
    // A set of members met before (at another step or temperature) has its
    // coordinates already.
    FrameKey key{};
    key.fill(std::numeric_limits<int>::min());
    std::copy_n(basis.memberSpecies.begin(), size, key.begin());
    if (const auto found = frames_.find(key); found != frames_.end()) {
        basis.frame = &found->second;
        return true;
    }
    if (frames_.size() >= kMaxFrames)
        frames_.clear();
    basis.frame = nullptr;
    Frame frame;

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
    Members projector{}; // rows of the members' inverse, by element
    for (int r = 0; r < size; ++r) {
        Row column{};
        column[r] = 1;
        if (!solveLinear(square, column, size))
            return false;
        for (int p = 0; p < size; ++p)
            projector[p][rows[r]] = column[p];
    }
    for (int p = 0; p < size; ++p) {
        for (int q = 0; q < size; ++q)
            frame.gram[p][q] = dot(basis.members[p], basis.members[q], e);
    }
    const auto coordinatesOf = [&](const Vector& v) {
        Vector c{};
        for (int p = 0; p < size; ++p)
            c[p] = dot(projector[p], v, e);
        return c;
    };
    frame.coordinates.resize(static_cast<size_t>(species));
    for (int j = 0; j < species; ++j)
        frame.coordinates[j] = coordinatesOf(atoms_[j]);
    // A basis member's own coordinates are exactly a unit vector.
    for (int p = 0; p < size; ++p) {
        if (basis.memberSpecies[p] >= 0)
            frame.coordinates[basis.memberSpecies[p]] = unit(p);
    }
    frame.gasRows.resize(static_cast<size_t>(species));
    for (int j = 0; j < species; ++j) {
        const Vector& c = frame.coordinates[size_t(j)];
        Row& row = frame.gasRows[size_t(j)];
        double s = 1;
        for (int p = 0; p < size; ++p) {
            if (basis.memberSpecies[p] >= 0) {
                s -= c[p];
                row[p] = c[p];
            }
        }
        row[size] = s;
    }
    // The feed in the basis. A member the feed holds none of by its
    // stoichiometry (water's H2 from H2 and O2 at 2:1) comes out as a
    // rounding residue, which would outweigh the traces that balance it.
    frame.target = coordinatesOf(feed_);
    for (int p = 0; p < size; ++p) {
        double scale = 0;
        for (int k = 0; k < e; ++k)
            scale += std::abs(projector[p][k] * feed_[k]);
        if (std::abs(frame.target[p]) <= kFeedResidue * scale)
            frame.target[p] = 0;
    }
    basis.frame = &frames_.emplace(key, std::move(frame)).first->second;
    return true;
}

bool GibbsSolver::linearise(const std::vector<double>& amounts, double lnTotal,
                            const std::vector<double>& condensed, const Basis& basis,
                            const Linearisation* scales, Linearisation& result) const
{
    // Residuals and Jacobian of the basis balances and the total. The
    // unknowns are ln n of each gas member (the moles of a condensed member)
    // and ln N; d ln n_j / d ln N = 1 - sum of j's gas coordinates. A gas
    // member's balance is written as ln(what adds) - ln(what takes away): each
    // side a sum of positive terms, so no trace is lost to cancellation, and a
    // side ruled by one species is linear in the unknowns. A condensed
    // amount, which may pass through 0, keeps the plain difference.
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
        const double nj = amounts[size_t(j)];
        if (!std::isfinite(nj))
            return false;
        if (nj == 0)
            continue;
        const Vector& c = basis.frame->coordinates[size_t(j)];
        const Row& d = basis.frame->gasRows[size_t(j)];
        if (scales && !(nj >= kRounding * scales->mixture)) {
            // Below rounding of every sum it enters (as they were at the
            // last linearisation): those sums are as they would be with it.
            bool enters = false;
            for (int p = 0; p < size && !enters; ++p) {
                const double side = c[p] > 0 ? scales->gain[p] : scales->loss[p];
                enters = c[p] != 0 && std::abs(c[p]) * nj >= kRounding * side;
            }
            if (!enters)
                continue;
        }
        for (int p = 0; p < size; ++p) {
            if (c[p] == 0)
                continue;
            const double weight = std::abs(c[p]) * nj;
            Row& side = c[p] > 0 ? gains[p] : losses[p];
            (c[p] > 0 ? gain[p] : loss[p]) += weight;
            for (int q = 0; q < n; ++q)
                side[q] += weight * d[q];
        }
        gasSum += nj;
        for (int q = 0; q < n; ++q)
            totalRow[q] += d[q] * nj;
    }
    result = {};
    for (int p = 0; p < size; ++p) {
        if (basis.frame->target[p] > 0)
            loss[p] += basis.frame->target[p];
        else
            gain[p] -= basis.frame->target[p];
        if (basis.memberSpecies[p] < 0) {
            const double amount = condensed[size_t(-1 - basis.memberSpecies[p])];
            const double scale = condensedScale_[size_t(-1 - basis.memberSpecies[p])];
            result.residual[p] = (gain[p] + amount - loss[p]) / scale;
            for (int q = 0; q < n; ++q)
                result.jacobian[p][q] = (gains[p][q] - losses[p][q]) / scale;
            result.jacobian[p][p] = 1 / scale;
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
    result.gain = gain;
    result.loss = loss;
    result.mixture = mixture;
    for (int p = 0; p < size; ++p) {
        // A balance written as a plain difference rounds on its larger side.
        if (basis.memberSpecies[p] < 0 || !(gain[p] > 0 && loss[p] > 0))
            result.gain[p] = result.loss[p] = std::max(gain[p], loss[p]);
    }
    result.residual[size] = std::log(mixture) - lnTotal;
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

bool GibbsSolver::iterate(const std::vector<double>& g, State& state, int iterations) const
{
    const int species = int(atoms_.size());
    const int e = elements_;
    if (species == 0 || e == 0) {
        state.lnTotal = std::log(inert_);
        return inert_ > 0;
    }
    const int rank = rankBeside(state.present);

    Basis basis;
    // Each state's log amounts and amounts, computed once: a step's trial,
    // when taken, is the next iteration's state.
    std::vector<double> lnN(static_cast<size_t>(species), 0.0);
    std::vector<double> amounts(lnN.size());
    std::vector<double> trialLnN(lnN.size());
    std::vector<double> trialAmounts(lnN.size());
    const auto logsAt = [&](const Vector& pi, double lnTotal, std::vector<double>& ln) {
        for (int j = 0; j < species; ++j) {
            ln[j] = state.absent[j] ? -std::numeric_limits<double>::infinity()
                                    : lnTotal + dot(atoms_[j], pi, e) - g[j];
        }
    };
    const auto evaluate = [&](const Vector& pi, double lnTotal, std::vector<double>& ln,
                              std::vector<double>& n) {
        logsAt(pi, lnTotal, ln);
        for (int j = 0; j < species; ++j)
            n[j] = neighbourPhases_ && ln[j] < negligible_[size_t(j)] ? 0 : std::exp(ln[j]);
        // The basis members always count, however little they hold.
        for (int p = 0; p < basis.size; ++p) {
            const int j = basis.memberSpecies[p];
            if (j >= 0)
                n[size_t(j)] = std::exp(ln[size_t(j)]);
        }
    };
    evaluate(state.pi, state.lnTotal, lnN, amounts);
    basis.order = state.order;
    // The last step's trial linearised in its basis: this step's start when
    // the basis stays.
    Linearisation there;
    bool thereValid = false;
    Vector trialPi{};
    std::vector<double> trialCondensed;
    for (int iteration = 0; iteration < iterations; ++iteration) {
        if (!std::isfinite(state.lnTotal))
            return false;
        const Indices lastMembers = basis.memberSpecies;
        const int lastSize = basis.size;
        if (!chooseBasis(lnN, state, rank, basis))
            return false;
        const int size = basis.size;
        const int n = size + 1;
        for (int p = 0; p < size; ++p) {
            const int j = basis.memberSpecies[p];
            if (j >= 0 && amounts[size_t(j)] == 0)
                amounts[size_t(j)] = std::exp(lnN[size_t(j)]);
        }
        Linearisation here;
        if (thereValid && size == lastSize && basis.memberSpecies == lastMembers)
            here = there;
        else if (!linearise(amounts, state.lnTotal, state.condensed, basis, nullptr, here))
            return false;
        Row step{};
        for (int p = 0; p < n; ++p)
            step[p] = -here.residual[p];
        if (!solveLinear(here.jacobian, step, n))
            return false;

        // Element potentials from the members' steps: a_b . dpi = du_b - dlnN
        // for gas members and 0 for condensed ones; dpi lies in the basis' span.
        const double dLnTotal = step[size];
        Row memberShift{};
        for (int p = 0; p < size; ++p)
            memberShift[p] = basis.memberSpecies[p] >= 0 ? step[p] - dLnTotal : 0;
        if (!solveLinear(basis.frame->gram, memberShift, size))
            return false;
        Vector dPi{};
        for (int p = 0; p < size; ++p) {
            for (int k = 0; k < e; ++k)
                dPi[k] += memberShift[p] * basis.members[p][k];
        }

        double change = std::abs(dLnTotal);
        for (int p = 0; p < size; ++p) {
            change = std::max(change, basis.memberSpecies[p] >= 0
                                          ? std::abs(step[p])
                                          : std::abs(step[p]) /
                                                condensedScale_[size_t(-1 - basis.memberSpecies[p])]);
        }
        // Damped: a step that does not lower the residuals (in this basis) is
        // halved, so that the iteration cannot cycle between two states.
        double factor = stepFactor(lnN, state, dPi, dLnTotal);
        if (neighbourPhases_ && factor == 1 && change < kConverged) {
            // Over a range, the last step (below rounding of what it solves
            // for) is taken whole without linearising where it ends.
            for (int k = 0; k < e; ++k)
                state.pi[k] += dPi[k];
            state.lnTotal += dLnTotal;
            for (int p = 0; p < size; ++p) {
                if (basis.memberSpecies[p] < 0)
                    state.condensed[size_t(-1 - basis.memberSpecies[p])] += step[p];
            }
            logsAt(state.pi, state.lnTotal, lnN);
            state.lnAmounts = lnN;
            state.order = std::move(basis.order);
            return true;
        }
        double trialLnTotal = 0;
        for (int halving = 0;; ++halving) {
            for (int k = 0; k < e; ++k)
                trialPi[k] = state.pi[k] + factor * dPi[k];
            trialLnTotal = state.lnTotal + factor * dLnTotal;
            trialCondensed = state.condensed;
            for (int p = 0; p < size; ++p) {
                if (basis.memberSpecies[p] < 0)
                    trialCondensed[size_t(-1 - basis.memberSpecies[p])] =
                        state.condensed[size_t(-1 - basis.memberSpecies[p])] + factor * step[p];
            }
            evaluate(trialPi, trialLnTotal, trialLnN, trialAmounts);
            const bool finite =
                linearise(trialAmounts, trialLnTotal, trialCondensed, basis,
                          neighbourPhases_ ? &here : nullptr, there);
            thereValid = finite;
            if (halving == kMaxHalvings || here.merit <= kMeritFloor ||
                (finite && there.merit <= (1 - kMeritDecrease * factor) * here.merit))
                break;
            factor /= 2;
        }
        state.pi = trialPi;
        state.lnTotal = trialLnTotal;
        std::swap(state.condensed, trialCondensed);
        std::swap(lnN, trialLnN);
        std::swap(amounts, trialAmounts);

        if (factor == 1 && change < kConverged) {
            state.lnAmounts = lnN;
            state.order = std::move(basis.order);
            return true;
        }
    }
    return false;
}

} // namespace norvanta
