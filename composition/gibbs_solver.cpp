#include "gibbs_solver.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>

namespace norvanta {

namespace {

using Vector = GibbsSolver::Vector;

constexpr int kMaxUnknowns = 4; // three basis members and ln N
constexpr int kMaxIterations = 400;
// A full step below this in every log amount (and in graphite's amount
// relative to the feed) ends the iteration once taken: Newton's convergence is
// quadratic there, so what remains is rounding, and a smaller bound would
// only chase rounding noise.
constexpr double kConverged = 1e-10;
// Largest change of a major species' log amount in one step, as in the
// element-potential codes: Newton's model of exp is good only so far.
constexpr double kMaxLogStep = 2;
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
bool solveLinear(std::array<std::array<double, kMaxUnknowns>, kMaxUnknowns> m,
                 std::array<double, kMaxUnknowns>& r, int n)
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
    std::array<Vector, 3> basis_{};
};

// The `size` element rows on which the members' square system is best
// conditioned: the largest determinant relative to its rows' lengths. Rows
// of plentiful elements alone would give a trace element's coordinate as the
// small difference of large numbers.
bool independentRows(const std::array<Vector, 3>& members, int size, int e,
                     std::array<int, 3>& rows)
{
    double best = 0;
    for (int mask = 0; mask < (1 << e); ++mask) {
        if (std::popcount(unsigned(mask)) != size)
            continue;
        std::array<int, 3> candidate{};
        int r = 0;
        for (int k = 0; k < e; ++k) {
            if (mask & (1 << k))
                candidate[r++] = k;
        }
        std::array<Vector, 3> m{};
        double lengths = 1;
        for (int i = 0; i < size; ++i) {
            for (int p = 0; p < size; ++p)
                m[i][p] = members[p][candidate[i]];
            lengths *= std::sqrt(dot(m[i], m[i], size));
        }
        double det = m[0][0];
        if (size == 2)
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
    std::array<std::array<double, kMaxUnknowns>, kMaxUnknowns> normal{};
    std::array<double, kMaxUnknowns> rhs{};
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

bool GibbsSolver::solve(const std::vector<double>& g, State start, State& result) const
{
    start.graphitePresent = false;
    start.graphite = 0;
    State gas = start;
    if (!gas.lnAmounts.empty())
        refit(g, gas);
    // A neighbour's solution is usually the shortest way; when it is not, the
    // cold start is tried too.
    if (!iterate(g, false, gas)) {
        gas = initialState(g);
        if (start.lnAmounts.empty() || !iterate(g, false, gas))
            return false;
    }
    if (carbon_ < 0) {
        result = gas;
        return true;
    }
    // Graphite is stable when the gas alone has a higher carbon potential.
    // Where the gas species left cannot express carbon's potential (a feed
    // whose stoichiometry rules species out), graphite is tried instead and
    // kept when some of it deposits, which is the same rule.
    double potential = 0;
    const bool defined = carbonPotential(gas, potential);
    if (defined && !(potential > 0)) {
        result = gas;
        return true;
    }
    // Carbon's potential is graphite's, and the gas is solved again around it;
    // species ruled out for the gas alone may take part beside graphite.
    State solid = gas;
    solid.pi[carbon_] = 0;
    solid.graphitePresent = true;
    solid.absent.clear();
    if (!iterate(g, true, solid)) {
        solid = initialState(g);
        solid.pi[carbon_] = 0;
        solid.graphitePresent = true;
        if (!iterate(g, true, solid))
            return defined ? false : (result = gas, true);
    }
    if (!defined && !(solid.graphite > 0)) {
        result = gas;
        return true;
    }
    result = solid;
    return true;
}

void GibbsSolver::refit(const std::vector<double>& g, State& state) const
{
    const int species = int(atoms_.size());
    std::vector<int> order(static_cast<size_t>(species));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return state.lnAmounts[a] > state.lnAmounts[b]; });
    // Least squares over the chosen species: exact when they are as many as
    // the elements, the smallest change of potentials when fewer.
    IndependentSet chosen(elements_);
    std::array<std::array<double, kMaxUnknowns>, kMaxUnknowns> normal{};
    std::array<double, kMaxUnknowns> rhs{};
    for (const int j : order) {
        if (!std::isfinite(state.lnAmounts[j]) || !chosen.add(atoms_[j]))
            continue;
        const double potential = state.lnAmounts[j] - state.lnTotal + g[j];
        for (int k = 0; k < elements_; ++k) {
            for (int m = 0; m < elements_; ++m)
                normal[k][m] += atoms_[j][k] * atoms_[j][m];
            rhs[k] += atoms_[j][k] * potential;
        }
    }
    for (int k = 0; k < elements_; ++k)
        normal[k][k] += 1e-12;
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

bool GibbsSolver::iterate(const std::vector<double>& g, bool carbonFixed, State& state) const
{
    const int species = int(atoms_.size());
    const int e = elements_;
    if (species == 0 || e == 0) {
        state.lnTotal = std::log(inert_);
        return inert_ > 0;
    }

    if (state.absent.size() != size_t(species))
        state.absent.assign(size_t(species), false);
    const auto rankOfPresent = [&] {
        IndependentSet all(e);
        if (carbonFixed)
            all.add(unit(carbon_));
        for (int j = 0; j < species; ++j) {
            if (!state.absent[j])
                all.add(atoms_[j]);
        }
        return all.size();
    };
    // The rank the basis must reach: every species' vector (and pure carbon
    // with graphite) must be a combination of the basis members.
    int rank = rankOfPresent();

    std::vector<double> lnN(static_cast<size_t>(species), 0.0);
    std::vector<double> amount(static_cast<size_t>(species), 0.0);
    std::vector<int> order(static_cast<size_t>(species));
    std::vector<Vector> coordinates(static_cast<size_t>(species));

    for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
        for (int j = 0; j < species; ++j) {
            lnN[j] = lnAmount(state, g, j);
            amount[j] = std::exp(lnN[j]);
        }
        if (!std::isfinite(state.lnTotal))
            return false;

        // The basis: graphite first when present, then the most abundant
        // species that are independent of those before them.
        std::array<Vector, 3> members{};
        std::array<int, 3> memberSpecies{}; // -1 for graphite
        int size = 0;
        IndependentSet chosen(e);
        if (carbonFixed) {
            chosen.add(unit(carbon_));
            members[size] = unit(carbon_);
            memberSpecies[size++] = -1;
        }
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return lnN[a] > lnN[b]; });
        for (const int j : order) {
            if (size == rank)
                break;
            if (!state.absent[j] && chosen.add(atoms_[j])) {
                members[size] = atoms_[j];
                memberSpecies[size++] = j;
            }
        }
        if (size != rank)
            return false;

        // Coordinates of a vector in the basis: the members' square system
        // over `size` independent element rows, solved directly, so that an
        // element only some members carry keeps exact zeros in the other
        // members' coordinates (through normal equations, oxygen's coordinate
        // would pick up rounding from the far larger carbon and hydrogen).
        std::array<int, 3> rows{};
        if (!independentRows(members, size, e, rows))
            return false;
        std::array<std::array<double, kMaxUnknowns>, kMaxUnknowns> square{};
        for (int r = 0; r < size; ++r) {
            for (int p = 0; p < size; ++p)
                square[r][p] = members[p][rows[r]];
        }
        std::array<Vector, 3> projector{}; // rows of the inverse, by element
        for (int r = 0; r < size; ++r) {
            std::array<double, kMaxUnknowns> column{};
            column[r] = 1;
            if (!solveLinear(square, column, size))
                return false;
            for (int p = 0; p < size; ++p)
                projector[p][rows[r]] = column[p];
        }
        std::array<std::array<double, kMaxUnknowns>, kMaxUnknowns> gram{};
        for (int p = 0; p < size; ++p) {
            for (int q = 0; q < size; ++q)
                gram[p][q] = dot(members[p], members[q], e);
        }
        const auto coordinatesOf = [&](const Vector& v) {
            Vector c{};
            for (int p = 0; p < size; ++p)
                c[p] = dot(projector[p], v, e);
            return c;
        };
        for (int j = 0; j < species; ++j)
            coordinates[j] = coordinatesOf(atoms_[j]);
        // A basis member's own coordinates are exactly a unit vector.
        for (int p = 0; p < size; ++p) {
            if (memberSpecies[p] >= 0)
                coordinates[memberSpecies[p]] = unit(p);
        }
        // The feed in the basis. A member the feed holds none of by its
        // stoichiometry (water's H2 from H2 and O2 at 2:1) comes out as a
        // rounding residue, which would outweigh the traces that balance it.
        Vector target = coordinatesOf(feed_);
        for (int p = 0; p < size; ++p) {
            double scale = 0;
            for (int k = 0; k < e; ++k)
                scale += std::abs(projector[p][k] * feed_[k]);
            if (std::abs(target[p]) <= 1e-13 * scale)
                target[p] = 0;
        }

        // A member the feed holds none of, which no species carries with a
        // negative coordinate, balances only at zero: every species that
        // carries it is absent (the feed lies on a face of what the species
        // can make, as CH4 and H2O do when no species can take up hydrogen).
        bool excluded = false;
        for (int p = 0; p < size; ++p) {
            if (memberSpecies[p] < 0 || target[p] != 0)
                continue;
            bool balanced = false;
            for (int j = 0; j < species && !balanced; ++j)
                balanced = !state.absent[j] && coordinates[j][p] < 0;
            if (balanced)
                continue;
            for (int j = 0; j < species; ++j) {
                if (coordinates[j][p] > 0)
                    state.absent[j] = true;
            }
            excluded = true;
        }
        if (excluded) {
            if (std::all_of(state.absent.begin(), state.absent.end(), [](bool a) { return a; }))
                return false;
            rank = rankOfPresent();
            continue;
        }

        // Residuals and Jacobian of the basis balances and the total. The
        // unknowns are ln n of each gas member (graphite's moles for
        // graphite) and ln N; d ln n_j / d ln N = 1 - sum of j's gas coordinates.
        // A gas member's balance is written as ln(what adds) - ln(what takes
        // away): each side a sum of positive terms, so no trace is lost to
        // cancellation, and a side ruled by one species is linear in the
        // unknowns. Graphite's amount, which may pass through 0, keeps the
        // plain difference.
        const int n = size + 1;
        using Row = std::array<double, kMaxUnknowns>;
        std::array<Row, kMaxUnknowns> gains{};
        std::array<Row, kMaxUnknowns> losses{};
        Row gain{};
        Row loss{};
        Row totalRow{};
        double gasSum = 0;
        for (int j = 0; j < species; ++j) {
            const double nj = amount[j];
            if (nj == 0)
                continue;
            const Vector& c = coordinates[j];
            double s = 1;
            for (int p = 0; p < size; ++p) {
                if (memberSpecies[p] >= 0)
                    s -= c[p];
            }
            for (int p = 0; p < size; ++p) {
                if (c[p] == 0)
                    continue;
                const double weight = std::abs(c[p]) * nj;
                Row& side = c[p] > 0 ? gains[p] : losses[p];
                (c[p] > 0 ? gain[p] : loss[p]) += weight;
                for (int q = 0; q < size; ++q) {
                    if (memberSpecies[q] >= 0)
                        side[q] += weight * c[q];
                }
                side[size] += weight * s;
            }
            gasSum += nj;
            for (int q = 0; q < size; ++q) {
                if (memberSpecies[q] >= 0)
                    totalRow[q] += c[q] * nj;
            }
            totalRow[size] += s * nj;
        }
        std::array<Row, kMaxUnknowns> jacobian{};
        Row residual{};
        for (int p = 0; p < size; ++p) {
            if (target[p] > 0)
                loss[p] += target[p];
            else
                gain[p] -= target[p];
            if (memberSpecies[p] < 0) {
                residual[p] = gain[p] + state.graphite - loss[p];
                for (int q = 0; q < n; ++q)
                    jacobian[p][q] = gains[p][q] - losses[p][q];
                jacobian[p][p] = 1;
            } else if (gain[p] > 0 && loss[p] > 0) {
                residual[p] = std::log(gain[p]) - std::log(loss[p]);
                for (int q = 0; q < n; ++q)
                    jacobian[p][q] = gains[p][q] / gain[p] - losses[p][q] / loss[p];
            } else {
                residual[p] = gain[p] - loss[p];
                for (int q = 0; q < n; ++q)
                    jacobian[p][q] = gains[p][q] - losses[p][q];
            }
        }
        const double mixture = gasSum + inert_;
        residual[size] = std::log(mixture) - state.lnTotal;
        for (int q = 0; q < n; ++q)
            jacobian[size][q] = totalRow[q] / mixture;
        jacobian[size][size] -= 1;

        std::array<double, kMaxUnknowns> step{};
        for (int p = 0; p < n; ++p)
            step[p] = -residual[p];
        if (!solveLinear(jacobian, step, n))
            return false;

        // Element potentials from the members' steps: a_b . dpi = du_b - dlnN
        // for gas members and 0 for graphite; dpi lies in the basis' span.
        const double dLnTotal = step[size];
        std::array<double, kMaxUnknowns> memberShift{};
        for (int p = 0; p < size; ++p)
            memberShift[p] = memberSpecies[p] >= 0 ? step[p] - dLnTotal : 0;
        if (!solveLinear(gram, memberShift, size))
            return false;
        Vector dPi{};
        for (int p = 0; p < size; ++p) {
            for (int k = 0; k < e; ++k)
                dPi[k] += memberShift[p] * members[p][k];
        }
        if (carbonFixed)
            dPi[carbon_] = 0;
        double dGraphite = 0;
        for (int p = 0; p < size; ++p) {
            if (memberSpecies[p] < 0)
                dGraphite = step[p];
        }

        // Step control: major species and the total change by at most
        // kMaxLogStep; a minor species rises at most to a fraction of 1e-4.
        double largest = std::abs(dLnTotal);
        double factor = 1;
        for (int j = 0; j < species; ++j) {
            const double dLn = dLnTotal + dot(atoms_[j], dPi, e);
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

        for (int k = 0; k < e; ++k)
            state.pi[k] += factor * dPi[k];
        state.lnTotal += factor * dLnTotal;
        state.graphite += factor * dGraphite;

        double change = std::abs(dLnTotal);
        for (int p = 0; p < size; ++p) {
            change = std::max(change, memberSpecies[p] >= 0 ? std::abs(step[p])
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
