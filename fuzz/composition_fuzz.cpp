// The equilibrium solver on systems built from the fuzzer's bytes: up to
// eight elements, species of small atom counts with any standard potentials,
// feeds of a few species over twelve orders of magnitude, inerts, graphite
// and other condensed species. Whatever the solver calls a solution must meet
// the element balances, be finite and non-negative, obey the phase rule, and
// not depend on the feed's scale, from a cold start and from the solution of
// nearby potentials alike; a breach is a finding.
#include "composition/gibbs_solver.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using norvanta::GibbsSolver;

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    int byte() { return position_ < size_ ? data_[position_++] : 0; }

    // A value spread evenly over [from, to] by two bytes.
    double between(double from, double to)
    {
        const int high = byte();
        return from + (to - from) * (high * 256 + byte()) / 65535.0;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

void require(bool holds)
{
    if (!holds)
        std::abort();
}

struct Answer {
    std::vector<double> amounts; // per species
    std::vector<double> condensed;
    double total = 0;
};

// The solve from `start` (a cold start when absent); `solved` receives the
// solver's state.
bool solve(const GibbsSolver& solver, const std::vector<double>& g, size_t species, Answer& answer,
           const GibbsSolver::State* start = nullptr, GibbsSolver::State* solved = nullptr)
{
    GibbsSolver::State state;
    if (!solver.solve(g, start ? *start : solver.initialState(g), state))
        return false;
    if (solved)
        *solved = state;
    answer.amounts.resize(species);
    for (size_t j = 0; j < species; ++j)
        answer.amounts[j] = std::exp(solver.lnAmount(state, g, int(j)));
    answer.condensed = state.condensed;
    answer.total = std::exp(state.lnTotal);
    require(solver.meetsPhaseRule(g, state));
    return true;
}

// The element balances (1e-9 of the larger of the feed and the amounts),
// finite non-negative amounts, and the gas's total its species' sum.
void requireBalanced(const std::vector<GibbsSolver::Vector>& atoms,
                     const std::vector<GibbsSolver::Vector>& condensed, const GibbsSolver::Vector& feed,
                     int elements, double inert, const Answer& answer)
{
    double sum = inert;
    for (int k = 0; k < elements; ++k) {
        double balance = 0;
        double scale = 0;
        for (size_t c = 0; c < condensed.size(); ++c) {
            require(std::isfinite(answer.condensed[c]) && answer.condensed[c] >= 0);
            balance += condensed[c][size_t(k)] * answer.condensed[c];
            scale += condensed[c][size_t(k)] * answer.condensed[c];
        }
        for (size_t j = 0; j < atoms.size(); ++j) {
            require(std::isfinite(answer.amounts[j]) && answer.amounts[j] >= 0);
            balance += atoms[j][size_t(k)] * answer.amounts[j];
            scale += atoms[j][size_t(k)] * answer.amounts[j];
        }
        require(std::abs(balance - feed[size_t(k)]) <= 1e-9 * std::max(scale, feed[size_t(k)]));
    }
    for (const double n : answer.amounts)
        sum += n;
    require(answer.total == 0 || std::abs(sum / answer.total - 1) <= 1e-9);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ByteReader in(data, size);
    const int elements = 1 + in.byte() % GibbsSolver::kMaxElements;
    const size_t species = size_t(1 + in.byte() % 16);
    std::vector<GibbsSolver::Vector> atoms(species);
    std::vector<double> g(species);
    for (size_t j = 0; j < species; ++j) {
        for (int k = 0; k < elements; ++k)
            atoms[j][size_t(k)] = in.byte() % 5;
        if (std::all_of(atoms[j].begin(), atoms[j].end(), [](double a) { return a == 0; }))
            atoms[j][size_t(j) % size_t(elements)] = 1;
        g[j] = in.between(-150, 150);
    }
    // The feed: one to three of the species, in amounts from 1e-6 to 1e6.
    GibbsSolver::Vector feed{};
    const int fed = 1 + in.byte() % 3;
    for (int f = 0; f < fed; ++f) {
        const size_t j = size_t(in.byte()) % species;
        const double moles = std::pow(10.0, in.between(-6, 6));
        for (int k = 0; k < elements; ++k)
            feed[size_t(k)] += moles * atoms[j][size_t(k)];
    }
    const double inert = in.byte() % 4 == 0 ? std::pow(10.0, in.between(-3, 3)) : 0;
    // Graphite (element 0 alone, potential 0) and up to three more condensed
    // species of small counts.
    std::vector<GibbsSolver::Vector> condensed;
    if (in.byte() % 2 == 0 && feed[0] > 0) {
        condensed.emplace_back();
        condensed.back()[0] = 1;
        g.push_back(0);
    }
    const int more = in.byte() % 4;
    for (int c = 0; c < more; ++c) {
        GibbsSolver::Vector a{};
        for (int k = 0; k < elements; ++k)
            a[size_t(k)] = in.byte() % 3;
        if (std::all_of(a.begin(), a.end(), [](double x) { return x == 0; }))
            a[size_t(c) % size_t(elements)] = 1;
        condensed.push_back(a);
        g.push_back(in.between(-150, 150));
    }

    const GibbsSolver solver(atoms, elements, feed, inert, condensed);
    Answer answer;
    GibbsSolver::State solved;
    if (!solve(solver, g, species, answer, nullptr, &solved))
        return 0;
    requireBalanced(atoms, condensed, feed, elements, inert, answer);

    // The next temperature of a range: every potential moved a little, the
    // solve started from this one's solution.
    std::vector<double> next = g;
    for (double& x : next)
        x += in.between(-1, 1);
    Answer warm;
    if (solve(solver, next, species, warm, &solved))
        requireBalanced(atoms, condensed, feed, elements, inert, warm);

    // The same feed a thousandth as large: the same fractions.
    GibbsSolver::Vector smaller = feed;
    for (double& b : smaller)
        b /= 1000;
    Answer scaled;
    if (!solve(GibbsSolver(atoms, elements, smaller, inert / 1000, condensed), g, species, scaled))
        return 0;
    for (size_t j = 0; j < species; ++j) {
        const double x = answer.total > 0 ? answer.amounts[j] / answer.total : 0;
        const double y = scaled.total > 0 ? scaled.amounts[j] / scaled.total : 0;
        require(std::abs(x - y) <= 1e-9 + 1e-6 * x);
    }
    return 0;
}
