#include "formable_species.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace norvanta {

namespace {

// A pivot entry or a reduced cost below this is taken as 0. The balances are
// scaled so that every element's feed is 1 and every column's largest entry
// is 1, so what the arithmetic leaves is of the order of 1e-15.
constexpr double kPivotTolerance = 1e-11;
// A species that can take no more than this (in the scaled balances) cannot
// form: only rounding stands between it and 0.
constexpr double kFormableAmount = 1e-9;
// Steps that gain nothing in a row before the simplex turns to Bland's rule.
constexpr int kDegenerateRun = 8;

// The simplex tableau of  A x = b, x >= 0  with one artificial column per
// row, in the textbook dense form: rows of [A | I | b].
class Tableau {
public:
    Tableau(const std::vector<std::vector<double>>& rows, const std::vector<double>& rhs)
        : m_(rows.size()), n_(rows.empty() ? 0 : rows[0].size()), basis_(m_)
    {
        t_.assign(m_, std::vector<double>(n_ + m_ + 1, 0.0));
        for (size_t i = 0; i < m_; ++i) {
            std::copy(rows[i].begin(), rows[i].end(), t_[i].begin());
            t_[i][n_ + i] = 1;
            t_[i].back() = rhs[i];
            basis_[i] = n_ + i;
        }
    }

    // Phase one: minimise the artificials, then pivot each one still basic
    // (at 0) out, or drop its row when the row is a combination of others.
    bool findFeasible()
    {
        std::vector<double> cost(n_ + m_, 0.0);
        for (size_t i = 0; i < m_; ++i)
            cost[n_ + i] = -1; // maximise -sum of artificials
        optimise(cost, n_ + m_);
        for (size_t i = 0; i < m_; ++i) {
            if (basis_[i] >= n_ && t_[i].back() > kPivotTolerance)
                return false;
        }
        for (size_t i = 0; i < m_;) {
            if (basis_[i] < n_) {
                ++i;
                continue;
            }
            size_t column = n_;
            for (size_t j = 0; j < n_ && column == n_; ++j) {
                if (std::abs(t_[i][j]) > kPivotTolerance)
                    column = j;
            }
            if (column == n_) {
                t_.erase(t_.begin() + std::ptrdiff_t(i));
                basis_.erase(basis_.begin() + std::ptrdiff_t(i));
                --m_;
                continue;
            }
            pivot(i, column);
            ++i;
        }
        return true;
    }

    // Phase two from the current basis: the largest x[j], artificials kept out.
    double maximise(size_t j)
    {
        std::vector<double> cost(n_ + m_, 0.0);
        cost[j] = 1;
        optimise(cost, n_);
        return value(j);
    }

    // Phase two from the current basis: the largest weighted sum of x.
    void maximise(const std::vector<double>& weights)
    {
        std::vector<double> cost(n_ + m_, 0.0);
        std::copy(weights.begin(), weights.end(), cost.begin());
        optimise(cost, n_);
    }

    double value(size_t j) const
    {
        for (size_t i = 0; i < m_; ++i) {
            if (basis_[i] == j)
                return t_[i].back();
        }
        return 0;
    }

private:
    // Maximises cost . x over the columns below `columns`: the column of the
    // largest reduced cost enters, and after a run of steps that gain nothing
    // Bland's rule (smallest index enters and leaves), so that degenerate
    // steps cannot cycle.
    void optimise(const std::vector<double>& cost, size_t columns)
    {
        int degenerate = 0;
        for (;;) {
            const bool bland = degenerate >= kDegenerateRun;
            size_t entering = columns;
            double largest = kPivotTolerance;
            for (size_t j = 0; j < columns && !(bland && entering < columns); ++j) {
                double reduced = cost[j];
                for (size_t i = 0; i < m_; ++i)
                    reduced -= cost[basis_[i]] * t_[i][j];
                if (reduced > largest) {
                    entering = j;
                    largest = bland ? kPivotTolerance : reduced;
                }
            }
            if (entering == columns)
                return;
            size_t leaving = m_;
            double best = 0;
            for (size_t i = 0; i < m_; ++i) {
                if (t_[i][entering] <= kPivotTolerance)
                    continue;
                const double ratio = t_[i].back() / t_[i][entering];
                if (leaving == m_ || ratio < best - kPivotTolerance ||
                    (ratio <= best + kPivotTolerance && basis_[i] < basis_[leaving])) {
                    leaving = i;
                    best = ratio;
                }
            }
            if (leaving == m_)
                return; // unbounded: cannot happen with non-negative atoms
            degenerate = best <= kPivotTolerance ? degenerate + 1 : 0;
            pivot(leaving, entering);
        }
    }

    void pivot(size_t row, size_t column)
    {
        std::vector<double>& p = t_[row];
        const double scale = p[column];
        for (double& v : p)
            v /= scale;
        for (size_t i = 0; i < m_; ++i) {
            if (i == row || t_[i][column] == 0)
                continue;
            const double factor = t_[i][column];
            for (size_t k = 0; k < p.size(); ++k)
                t_[i][k] -= factor * p[k];
            t_[i][column] = 0;
        }
        // Amounts stay non-negative; a rounding residue below 0 is 0.
        for (size_t i = 0; i < m_; ++i)
            t_[i].back() = std::max(t_[i].back(), 0.0);
        basis_[row] = column;
    }

    size_t m_;
    size_t n_;
    std::vector<std::vector<double>> t_;
    std::vector<size_t> basis_;
};

} // namespace

std::vector<bool> formableSpecies(const std::vector<std::vector<double>>& atoms,
                                  const std::vector<double>& feed)
{
    const size_t species = atoms.size();
    const size_t elements = feed.size();
    std::vector<bool> formable(species, false);

    // Rows of the elements the feed holds, each scaled to a feed of 1; a
    // species with an element the feed lacks cannot form at all.
    std::vector<size_t> rows;
    for (size_t k = 0; k < elements; ++k) {
        if (feed[k] > 0)
            rows.push_back(k);
    }
    std::vector<size_t> columns;
    for (size_t j = 0; j < species; ++j) {
        bool carries = false;
        bool lacking = false;
        for (size_t k = 0; k < elements; ++k) {
            if (atoms[j][k] != 0) {
                carries = true;
                lacking = lacking || !(feed[k] > 0);
            }
        }
        if (carries && !lacking)
            columns.push_back(j);
    }
    if (columns.empty() || rows.empty())
        return formable;

    std::vector<std::vector<double>> a(rows.size(), std::vector<double>(columns.size(), 0.0));
    for (size_t c = 0; c < columns.size(); ++c) {
        double largest = 0;
        for (size_t r = 0; r < rows.size(); ++r) {
            a[r][c] = atoms[columns[c]][rows[r]] / feed[rows[r]];
            largest = std::max(largest, std::abs(a[r][c]));
        }
        for (size_t r = 0; r < rows.size(); ++r)
            a[r][c] /= largest;
    }
    // First whether every species can form at once: the most t with
    // n_j = m_j + t, m >= 0 (one more column, the sum of all); a feed inside
    // the species' cone, the usual case, needs no more.
    std::vector<std::vector<double>> widened = a;
    for (std::vector<double>& row : widened)
        row.push_back(std::accumulate(row.begin(), row.end(), 0.0));
    Tableau interior(widened, std::vector<double>(rows.size(), 1.0));
    if (!interior.findFeasible())
        return formable;
    std::vector<double> shared(columns.size() + 1, 0.0);
    shared.back() = 1;
    interior.maximise(shared);
    if (interior.value(columns.size()) > kFormableAmount) {
        for (const size_t j : columns)
            formable[j] = true;
        return formable;
    }

    Tableau tableau(a, std::vector<double>(rows.size(), 1.0));
    if (!tableau.findFeasible())
        return formable;
    // Every vertex the simplex visits shows some species that can form: they
    // need no program of their own.
    const auto markVertex = [&] {
        for (size_t c = 0; c < columns.size(); ++c) {
            if (tableau.value(c) > kFormableAmount)
                formable[columns[c]] = true;
        }
    };
    markVertex();
    // The most of the species not yet seen, all at once: a vertex that shows
    // none of them leaves only the programs of their own to decide.
    for (;;) {
        std::vector<double> unseen(columns.size(), 0.0);
        size_t count = 0;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (!formable[columns[c]]) {
                unseen[c] = 1;
                ++count;
            }
        }
        if (count == 0)
            return formable;
        tableau.maximise(unseen);
        markVertex();
        size_t left = 0;
        for (size_t c = 0; c < columns.size(); ++c)
            left += formable[columns[c]] ? 0 : 1;
        if (left == count)
            break;
    }
    for (size_t c = 0; c < columns.size(); ++c) {
        if (formable[columns[c]])
            continue;
        if (tableau.maximise(c) > kFormableAmount)
            markVertex();
    }
    return formable;
}

} // namespace norvanta
