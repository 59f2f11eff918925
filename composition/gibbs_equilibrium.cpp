#include "gibbs_equilibrium.h"

#include "composition/gibbs_solver.h"

#include "engine/constants.h"
#include "engine/run_errors.h"
#include "engine/validation.h"

#include "database/compound_index.h"
#include "thermo/thermo_data.h"

#include "common/failure.h"
#include "common/number_text.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace norvanta {

using namespace Qt::StringLiterals;

namespace {

constexpr int kDataPoints = 8; // dfG at 300, 400, ..., 1000 K
constexpr double kCelsiusZero = 273.15;
// A feed of up to 2^64 moles (or down to 2^-64) is solved as given.
constexpr int kLargestUnscaledExponent = 64;
const QString kCheckFailed = u"解が収支または平衡の条件を満たしません"_s;
// Element balances and the sum of the fractions must hold to this, relative.
constexpr double kBalanceTolerance = 1e-12;
// The adiabatic search: its first probe (no colder than this), the first
// step from it, the probes' movement that ends it, and the most refinements
// (each a solve).
constexpr double kAdiabaticFirstKelvin = 1000;
constexpr double kAdiabaticFirstStep = 200;
// Past the secant's estimate by this share, so that the next probe brackets
// the root (the products' enthalpy rises faster as they dissociate), and at
// least this far.
constexpr double kAdiabaticOvershoot = 1.05;
constexpr double kAdiabaticLeastStep = 5;
constexpr double kAdiabaticKelvinTolerance = 1e-6;
constexpr int kAdiabaticIterations = 60;

[[noreturn]] void refuse(const QString& text)
{
    throw CompositionError{RunMessage{text, MessageIcon::Exclamation}, 0};
}

[[noreturn]] void fail(int code)
{
    throw CompositionError{runFailureMessage(code), code};
}

// The moles of feed row k, refused unless a positive finite number.
double feedMolesAt(const CompositionRequest& request, qsizetype k)
{
    const double moles =
        size_t(k) < request.feedMoles.size() ? request.feedMoles[size_t(k)] : std::nan("");
    if (!(moles > 0) || !std::isfinite(moles))
        refuse(u"反応系(No."_s + QString::number(k + 1) + u")の分圧(比)を正しく入力してください"_s);
    return moles;
}

[[noreturn]] void refuseOtherElements(qsizetype k)
{
    refuse(u"反応系(No."_s + QString::number(k + 1) +
           u")は炭素、水素、酸素以外の元素を含んでいます"_s);
}

// A feed with nothing in it, or a total pressure that is not a positive
// finite number, is refused before anything is solved.
void checkFeedAndPressures(const CompositionRequest& request, bool feedEmpty)
{
    if (feedEmpty)
        refuse(u"反応系を入力してください"_s);
    const auto usable = [](double pressure) { return pressure > 0 && std::isfinite(pressure); };
    if (!usable(request.totalPressure) ||
        !std::all_of(request.pressures.begin(), request.pressures.end(), usable))
        refuse(u"全圧を正しく入力してください"_s);
}

// A record read whole, or the failure number that reading it gave.
struct RecordValues {
    GibbsSpecies species;
    int failure = 0;
};

RecordValues readRecord(const CompoundIndex& database, int record)
{
    RecordValues values;
    values.species.name = database.name(record);
    try {
        for (int element = 0; element < 3; ++element)
            values.species.atoms[element] = database.atomCount(record, element);
        for (int i = 0; i < kDataPoints; ++i)
            values.species.formationG[i] = database.gibbsEnergy(record, 300 + 100 * i);
        database.requireFiniteValues(record);
    } catch (const Failure& failure) {
        values.failure = failure.code();
    }
    return values;
}

using RecordKey = std::array<double, 3 + kDataPoints>;

RecordKey keyOf(const GibbsSpecies& species)
{
    RecordKey key{};
    std::copy(species.atoms.begin(), species.atoms.end(), key.begin());
    std::copy(species.formationG.begin(), species.formationG.end(), key.begin() + 3);
    return key;
}

bool madeOf(const GibbsSpecies& species, const std::array<bool, 3>& elements)
{
    for (int k = 0; k < 3; ++k) {
        if (species.atoms[k] != 0 && !elements[k])
            return false;
    }
    return true;
}

const QString kGraphite = u"C(gr)"_s;
const QString kAdiabaticNeedsPolynomials = u"断熱平衡には化合物の熱力学データ(多項式)が必要です"_s;

// Graphite as Norvane.dat's data have it: carbon's reference state, dfG 0.
GibbsSpecies tableGraphite()
{
    GibbsSpecies graphite;
    graphite.name = kGraphite;
    graphite.atoms = {1, 0, 0};
    return graphite;
}

// The temperatures of both series in kelvin.
std::vector<double> seriesTemperatures(bool kelvin, bool tetraPrecision)
{
    const int step = tetraPrecision ? 25 : 100;
    std::vector<double> temperatures;
    for (int t = 0; t <= 800; t += step)
        temperatures.push_back(kelvin ? 300.0 + t : t + kCelsiusZero);
    return temperatures;
}

// The solve of one system at many temperatures: the system's species split
// into reacting gases and inerts, and the element balances they must meet.
// With the polynomial file a species takes part only at the temperatures its
// data cover, so each set of covered species has its own solver.
class CompositionSolve {
public:
    CompositionSolve(const CompositionSystem& system, const PhysicalConstants& constants)
        : system_(system), kpFactor_(constants.kpFactor),
          symbols_(system.elements.isEmpty() ? 3 : int(system.elements.size())),
          formationGibbs_(dataOf(system, gasData_, condensedData_))
    {
        const int symbols = symbols_;
        used_.assign(size_t(symbols), false);
        elementIndex_.assign(size_t(symbols), -1);
        for (const GibbsSpecies& s : system.species) {
            const std::vector<double> counts = countsOf(s);
            for (int k = 0; k < symbols; ++k) {
                if (counts[size_t(k)] != 0)
                    used_[size_t(k)] = true;
            }
        }
        for (int k = 0; k < symbols; ++k) {
            if (used_[size_t(k)])
                elementIndex_[size_t(k)] = elements_++;
        }
        if (elements_ > GibbsSolver::kMaxElements)
            refuse(u"反応系の元素が多すぎます(8種類まで)"_s);
        // A condensed species of an element no gas holds cannot form.
        for (const GibbsSpecies& s : system.condensedPhases) {
            const std::vector<double> counts = countsOf(s);
            bool formable = std::any_of(counts.begin(), counts.end(), [](double c) { return c != 0; });
            for (size_t k = 0; k < counts.size(); ++k)
                formable = formable && (counts[k] == 0 || used_[k]);
            formable_.push_back(formable);
        }
        // The solver works near a mole of feed: a feed far from it (ratios of
        // 1e-300) is scaled by a power of two, which rounds nothing; an
        // ordinary feed is taken as it is.
        double fed = 0;
        for (const double moles : system.feedMoles)
            fed += moles;
        const int exponent = std::ilogb(fed);
        if (std::abs(exponent) > kLargestUnscaledExponent)
            scale_ = std::ldexp(1.0, -exponent);
        for (const GibbsSpecies& s : system.species) {
            gasAtoms_.push_back(solverAtoms(s));
            inert_.push_back(s.inert());
        }
        for (const GibbsSpecies& s : system.condensedPhases)
            condensedAtoms_.push_back(solverAtoms(s));
        for (const auto* list : {&system.species, &system.condensedPhases}) {
            for (const GibbsSpecies& s : *list) {
                if (s.thermo) {
                    dataEnds_.push_back(s.thermo->minKelvin);
                    dataEnds_.push_back(s.thermo->maxKelvin);
                }
            }
        }
        std::sort(dataEnds_.begin(), dataEnds_.end());
        dataEnds_.erase(std::unique(dataEnds_.begin(), dataEnds_.end()), dataEnds_.end());
        GibbsSolver::Vector feed{};
        for (size_t i = 0; i < system.species.size(); ++i) {
            const GibbsSpecies& s = system.species[i];
            feedTotal_ += system.feedMoles[i] * scale_;
            if (s.inert()) {
                inertMoles_ += system.feedMoles[i] * scale_;
                continue;
            }
            const GibbsSolver::Vector& a = gasAtoms_[i];
            for (int k = 0; k < elements_; ++k)
                feed[k] += a[k] * system.feedMoles[i] * scale_;
        }
        feed_ = feed;
    }

    // The point at `kelvin`, from a nearby state when there is one; `state`
    // becomes this point's solution.
    CompositionPoint pointAt(double kelvin, double pressure,
                             std::optional<GibbsSolver::State>& state) const
    {
        const Phase& phase = phaseAt(kelvin);
        std::vector<double> g(phase.gases.size() + phase.condensed.size());
        const double lnPressure = std::log(pressure);
        // Gases at the total pressure; a pure condensed phase at activity 1.
        std::vector<double> dataGibbs;
        formationGibbs_.at(kelvin, dataGibbs);
        const auto potential = [&](const GibbsSpecies& s, int data, double shift) {
            const double dG = data >= 0 ? dataGibbs[size_t(data)] : formationGibbsAt(s, kelvin);
            const double value = dG * kpFactor_ / kelvin + shift;
            if (!std::isfinite(value))
                fail(FailureCode::Overflow);
            return value;
        };
        for (size_t j = 0; j < phase.gases.size(); ++j) {
            const size_t i = size_t(phase.gases[j]);
            g[j] = potential(system_.species[i], gasData_[i], lnPressure);
        }
        for (size_t c = 0; c < phase.condensed.size(); ++c) {
            const size_t i = size_t(phase.condensed[c]);
            g[phase.gases.size() + c] = potential(system_.condensedPhases[i], condensedData_[i], 0);
        }
        // A neighbour's solution over other species starts this one with its
        // potentials, its species' amounts carried over by name.
        const bool nearby = state && state->solvedBy == &*phase.solver;
        GibbsSolver::State start =
            nearby ? *state : (state ? carriedOver(*state, phase, g) : phase.solver->initialState(g));
        GibbsSolver::State solution;
        std::vector<double> amounts;
        if (!phase.solver->solve(g, std::move(start), solution, &amounts))
            notSolved(kelvin, u"反復が収束しません"_s);
        state = std::move(solution);
        return checkedPoint(kelvin, phase, g, *state, amounts);
    }

    // The point at `kelvin`, or the point marked with the reason it could not
    // be computed; `state` is then left as it was.
    CompositionPoint checkedPointAt(double kelvin, double pressure,
                                    std::optional<GibbsSolver::State>& state) const
    {
        return pointOrFailure(kelvin, [&] { return pointAt(kelvin, pressure, state); });
    }

    // The adiabatic point at `pressure`: the temperature where the products'
    // enthalpy equals the feed's at `feedKelvin`, and the composition there;
    // marked with its reason when no temperature the data allow balances.
    CompositionPoint adiabaticPointAt(double feedKelvin, double pressure) const
    {
        return pointOrFailure(feedKelvin, [&] { return adiabaticPoint(feedKelvin, pressure); });
    }

private:
    // The point `compute` gives, or a point at `kelvin` marked with the
    // reason it could not be computed.
    template <typename Compute>
    static CompositionPoint pointOrFailure(double kelvin, Compute compute)
    {
        try {
            return compute();
        } catch (const CompositionError& error) {
            CompositionPoint point;
            point.kelvin = kelvin;
            point.failure = error.message.text;
            return point;
        }
    }

    // One evaluation of the energy balance at a temperature.
    struct Probe {
        double kelvin = 0;
        double excess = 0; // products' enthalpy less the feed's, kcal per mole of feed
        CompositionPoint point;
        std::optional<GibbsSolver::State> state;
    };

    // H(T) of a species in kcal/mol on the elements' basis; NaN without data.
    static double enthalpyOf(const GibbsSpecies& s, double kelvin)
    {
        const std::optional<ThermoValues> values =
            s.thermo ? s.thermo->valuesAt(kelvin) : std::nullopt;
        return values ? values->enthalpy : std::numeric_limits<double>::quiet_NaN();
    }

    // The enthalpy of a point's gas and condensed species per mole of feed.
    double pointEnthalpy(const CompositionPoint& point) const
    {
        double sum = 0;
        const auto add = [&](const GibbsSpecies& s, double moles) {
            if (moles != 0)
                sum += moles * enthalpyOf(s, point.kelvin);
        };
        for (size_t i = 0; i < system_.species.size(); ++i)
            add(system_.species[i], point.moleFractions[i] * point.gasMoles);
        for (size_t c = 0; c < system_.condensedPhases.size(); ++c)
            add(system_.condensedPhases[c], point.condensedMoles[c]);
        return sum;
    }

    CompositionPoint adiabaticPoint(double feedKelvin, double pressure) const
    {
        double fed = 0;
        double feedEnthalpy = 0;
        for (size_t i = 0; i < system_.species.size(); ++i) {
            fed += system_.feedMoles[i];
            if (system_.feedMoles[i] > 0)
                feedEnthalpy += system_.feedMoles[i] * enthalpyOf(system_.species[i], feedKelvin);
        }
        feedEnthalpy /= fed;
        // The temperatures the gases' data allow.
        double low = std::numeric_limits<double>::infinity();
        double high = 0;
        for (const GibbsSpecies& s : system_.species) {
            if (s.thermo) {
                low = std::min(low, s.thermo->minKelvin);
                high = std::max(high, s.thermo->maxKelvin);
            }
        }
        if (!std::isfinite(feedEnthalpy) || !(low < high))
            refuse(kAdiabaticNeedsPolynomials);
        const auto probe = [&](double kelvin, const std::optional<GibbsSolver::State>& from) {
            Probe p;
            p.kelvin = kelvin;
            p.state = from;
            p.point = pointAt(kelvin, pressure, p.state);
            p.excess = pointEnthalpy(p.point) - feedEnthalpy;
            if (!std::isfinite(p.excess))
                notSolved(kelvin, kCheckFailed);
            return p;
        };
        // The products' enthalpy rises with the temperature, so one probe
        // tells on which side the answer lies: upwards when the products
        // there hold less enthalpy than the feed, else down. The first probe
        // is at the feed's temperature, or kAdiabaticFirstKelvin when the feed
        // is colder (its equilibrium there, with every trace species at
        // extremes, is the slowest to find).
        Probe a = probe(std::clamp(std::max(feedKelvin, kAdiabaticFirstKelvin), low, high),
                        std::nullopt);
        if (a.excess == 0)
            return a.point;
        // Each next step goes a little past where the line through the last
        // two probes crosses 0 (at least kAdiabaticFirstStep at first).
        const double direction = a.excess < 0 ? 1 : -1;
        double step = kAdiabaticFirstStep;
        Probe b = a;
        for (;;) {
            const double next = std::clamp(b.kelvin + direction * step, low, high);
            if (next == b.kelvin)
                refuse(u"断熱平衡の温度がデータの範囲("_s + generalNumberText(low) + u"～"_s +
                       generalNumberText(high) + u" K)にありません"_s);
            a = b;
            b = probe(next, a.state);
            if ((b.excess < 0) != (a.excess < 0) || b.excess == 0)
                break;
            const double slope = (b.excess - a.excess) / (b.kelvin - a.kelvin);
            const double ahead = -b.excess / slope * direction; // to the line's 0
            step = std::isfinite(ahead) && ahead > 0
                       ? std::max(ahead * kAdiabaticOvershoot, kAdiabaticLeastStep)
                       : step * 2;
        }
        // Regula falsi with the Illinois rule: an end kept twice in a row has
        // its value halved, so that both ends close in. Ends when a probe
        // moves less than kAdiabaticKelvinTolerance from the one before.
        double fa = a.excess;
        double fb = b.excess;
        int kept = 0; // the end kept by the last probe: -1 a, +1 b
        Probe last = b;
        for (int i = 0; i < kAdiabaticIterations && last.excess != 0; ++i) {
            double t = (fa * b.kelvin - fb * a.kelvin) / (fa - fb);
            if (!(t > std::min(a.kelvin, b.kelvin) && t < std::max(a.kelvin, b.kelvin)))
                t = (a.kelvin + b.kelvin) / 2;
            const double moved = std::abs(t - last.kelvin);
            const bool nearerA = std::abs(t - a.kelvin) < std::abs(t - b.kelvin);
            last = probe(t, nearerA ? a.state : b.state);
            if ((last.excess < 0) == (b.excess < 0)) {
                b = last;
                fb = last.excess;
                if (kept == -1)
                    fa /= 2;
                kept = -1;
            } else {
                a = last;
                fa = last.excess;
                if (kept == 1)
                    fb /= 2;
                kept = 1;
            }
            if (moved <= kAdiabaticKelvinTolerance)
                break;
        }
        return last.point;
    }

    struct Phase {
        std::vector<int> gases;     // indices in the system's species
        std::vector<int> condensed; // indices in the system's condensed phases
        std::optional<GibbsSolver> solver;
    };

    // A start for `phase` from a solution over other species: the same
    // element potentials and total, each gas at the amount they give it (its
    // own where it took part), each condensed species as it was.
    GibbsSolver::State carriedOver(const GibbsSolver::State& solution, const Phase& phase,
                                   const std::vector<double>& g) const
    {
        const auto from = std::find_if(phases_.begin(), phases_.end(), [&](const auto& entry) {
            return &*entry.second.solver == solution.solvedBy;
        });
        if (from == phases_.end() || !std::isfinite(solution.lnTotal) ||
            solution.lnAmounts.size() != from->second.gases.size())
            return phase.solver->initialState(g);
        const Phase& old = from->second;
        GibbsSolver::State start;
        start.pi = solution.pi;
        start.lnTotal = solution.lnTotal;
        start.lnAmounts.resize(phase.gases.size());
        for (size_t j = 0; j < phase.gases.size(); ++j) {
            const auto same = std::find(old.gases.begin(), old.gases.end(), phase.gases[j]);
            start.lnAmounts[j] = same != old.gases.end()
                                     ? solution.lnAmounts[size_t(same - old.gases.begin())]
                                     : phase.solver->lnAmount(start, g, int(j));
        }
        start.present.assign(phase.condensed.size(), false);
        start.condensed.assign(phase.condensed.size(), 0.0);
        for (size_t c = 0; c < phase.condensed.size(); ++c) {
            const auto same = std::find(old.condensed.begin(), old.condensed.end(), phase.condensed[c]);
            if (same == old.condensed.end())
                continue;
            const size_t k = size_t(same - old.condensed.begin());
            start.present[c] = solution.present[k];
            start.condensed[c] = solution.condensed[k];
        }
        return start;
    }

    // Each species' counts, in CompositionSystem::elements' order (C, H, O
    // for Norvane.dat's records).
    // (A feed of elements no other species holds balances none: its
    // compounds' counts are all 0.)
    std::vector<double> countsOf(const GibbsSpecies& s) const
    {
        if (!s.thermo)
            return {s.atoms[0], s.atoms[1], s.atoms[2]};
        std::vector<double> counts = s.counts;
        counts.resize(size_t(symbols_), 0.0);
        return counts;
    }

    GibbsSolver::Vector solverAtoms(const GibbsSpecies& species) const
    {
        const std::vector<double> counts = countsOf(species);
        GibbsSolver::Vector a{};
        for (size_t k = 0; k < counts.size(); ++k) {
            if (used_[k])
                a[size_t(elementIndex_[k])] = counts[k];
        }
        return a;
    }

    // The reacting gases and condensed species whose data cover `kelvin`,
    // and their solver.
    const Phase& phaseAt(double kelvin) const
    {
        // Strictly between two neighbouring ends of the species' data the
        // covered species stay the same.
        if (lastPhase_ && kelvin > lastLow_ && kelvin < lastHigh_)
            return lastPhase_->second;
        const auto above = std::upper_bound(dataEnds_.begin(), dataEnds_.end(), kelvin);
        const double low = above == dataEnds_.begin() ? -std::numeric_limits<double>::infinity()
                                                      : *std::prev(above);
        const double high = above == dataEnds_.end() ? std::numeric_limits<double>::infinity() : *above;
        lastPhase_ = &coveringPhase(kelvin);
        lastLow_ = low;
        lastHigh_ = low == kelvin ? kelvin : high; // at an end itself: its own set only
        return lastPhase_->second;
    }

    // The phase of the species whose data cover `kelvin`, made when first met.
    const std::pair<const std::vector<bool>, Phase>& coveringPhase(double kelvin) const
    {
        const size_t gases = system_.species.size();
        std::vector<bool> covered(gases + system_.condensedPhases.size(), false);
        for (size_t i = 0; i < gases; ++i) {
            const GibbsSpecies& s = system_.species[i];
            covered[i] = !inert_[i] && (!s.thermo || s.thermo->covers(kelvin));
        }
        for (size_t c = 0; c < system_.condensedPhases.size(); ++c) {
            const GibbsSpecies& s = system_.condensedPhases[c];
            covered[gases + c] = formable_[c] && (!s.thermo || s.thermo->covers(kelvin));
        }
        const auto found = phases_.find(covered);
        if (found != phases_.end())
            return *found;
        Phase phase;
        std::vector<GibbsSolver::Vector> atoms;
        std::vector<GibbsSolver::Vector> condensed;
        for (size_t i = 0; i < covered.size(); ++i) {
            if (!covered[i])
                continue;
            if (i < gases) {
                phase.gases.push_back(int(i));
                atoms.push_back(gasAtoms_[i]);
            } else {
                phase.condensed.push_back(int(i - gases));
                condensed.push_back(condensedAtoms_[i - gases]);
            }
        }
        phase.solver.emplace(std::move(atoms), elements_, feed_, inertMoles_, std::move(condensed));
        phase.solver->setStartFromNeighbourPhases(system_.range || system_.adiabaticFeedKelvin);
        return *phases_.emplace(std::move(covered), std::move(phase)).first;
    }

    // The point of a solution and its gases' amounts (as the solve's own
    // checks found them), checked once more: balances, fractions, phase rule.
    CompositionPoint checkedPoint(double kelvin, const Phase& phase, const std::vector<double>& g,
                                  const GibbsSolver::State& solution,
                                  const std::vector<double>& amounts) const
    {
        CompositionPoint point;
        point.kelvin = kelvin;
        point.moleFractions.assign(system_.species.size(), 0.0);
        const double total = std::exp(solution.lnTotal);
        // No gas left (all of the feed condensed): its fractions are shown as 0.
        const bool gas = total > 0;
        GibbsSolver::Vector balance{};
        for (size_t j = 0; j < phase.gases.size(); ++j) {
            const double amount = amounts[j];
            const GibbsSolver::Vector& a = gasAtoms_[size_t(phase.gases[j])];
            for (int k = 0; k < elements_; ++k)
                balance[size_t(k)] += a[size_t(k)] * amount;
            point.moleFractions[size_t(phase.gases[j])] = gas ? amount / total : 0;
        }
        for (size_t i = 0; i < system_.species.size(); ++i) {
            if (inert_[i])
                point.moleFractions[i] = system_.feedMoles[i] * scale_ / total;
        }
        point.condensedMoles.assign(system_.condensedPhases.size(), 0.0);
        for (size_t c = 0; c < phase.condensed.size(); ++c) {
            const double moles = solution.condensed[c];
            const GibbsSpecies& s = system_.condensedPhases[size_t(phase.condensed[c])];
            const GibbsSolver::Vector& a = condensedAtoms_[size_t(phase.condensed[c])];
            for (int k = 0; k < elements_; ++k)
                balance[size_t(k)] += a[size_t(k)] * moles;
            point.condensedMoles[size_t(phase.condensed[c])] = moles / feedTotal_;
            if (!std::isfinite(moles) || moles < 0)
                notSolved(kelvin, kCheckFailed);
            // Graphite: the condensed species of carbon alone.
            if (s.atoms == std::array<double, 3>{1, 0, 0} &&
                (!s.thermo || s.thermo->elements.size() == 1))
                point.graphite += moles / feedTotal_;
        }
        point.gasMoles = total / feedTotal_;

        for (int k = 0; k < elements_; ++k) {
            if (!(std::abs(balance[k] - feed_[k]) <= kBalanceTolerance * std::abs(feed_[k])))
                notSolved(kelvin, kCheckFailed);
        }
        double sum = 0;
        for (const double x : point.moleFractions) {
            if (!std::isfinite(x) || x < 0)
                notSolved(kelvin, kCheckFailed);
            sum += x;
        }
        if ((gas && !(std::abs(sum - 1) <= kBalanceTolerance)) ||
            !phase.solver->meetsPhaseRule(g, solution))
            notSolved(kelvin, kCheckFailed);
        return point;
    }

    // The point's failure: not the data's (failure 6) but the calculation's,
    // with its reason.
    [[noreturn]] static void notSolved(double kelvin, const QString& reason)
    {
        throw CompositionError{RunMessage{generalNumberText(kelvin) +
                                              u" Kの平衡組成を計算できませんでした("_s + reason +
                                              u")"_s,
                                          MessageIcon::Error},
                               kNotConverged};
    }

    // The compounds with data of their own, each species' place among them
    // (-1 without).
    static std::vector<const CompoundThermo*> dataOf(const CompositionSystem& system,
                                                     std::vector<int>& gases,
                                                     std::vector<int>& condensed)
    {
        std::vector<const CompoundThermo*> compounds;
        const auto place = [&](const GibbsSpecies& s) {
            if (!s.thermo)
                return -1;
            compounds.push_back(s.thermo.get());
            return int(compounds.size()) - 1;
        };
        for (const GibbsSpecies& s : system.species)
            gases.push_back(place(s));
        for (const GibbsSpecies& s : system.condensedPhases)
            condensed.push_back(place(s));
        return compounds;
    }

    const CompositionSystem& system_;
    const double kpFactor_;
    const int symbols_; // the elements the species' counts are given in
    std::vector<int> gasData_;       // per species, its place in formationGibbs_
    std::vector<int> condensedData_; // per condensed phase, likewise
    const FormationGibbsSet formationGibbs_;
    std::vector<bool> used_;
    std::vector<int> elementIndex_;
    int elements_ = 0;
    std::vector<bool> formable_; // per condensed phase
    GibbsSolver::Vector feed_{};
    double inertMoles_ = 0;
    double feedTotal_ = 0;
    double scale_ = 1; // moles the solver sees per mole fed
    // Per set of covered species (every species but the inerts, for Norvane.dat).
    mutable std::map<std::vector<bool>, Phase> phases_;
    // The species each system species and condensed phase holds, in the
    // solver's elements.
    std::vector<GibbsSolver::Vector> gasAtoms_;
    std::vector<GibbsSolver::Vector> condensedAtoms_;
    std::vector<bool> inert_; // per system species
    // Every species' data's lowest and highest temperatures, sorted.
    std::vector<double> dataEnds_;
    // The last phase found and the temperatures (exclusive) between which it
    // holds.
    mutable const std::pair<const std::vector<bool>, Phase>* lastPhase_ = nullptr;
    mutable double lastLow_ = 0;
    mutable double lastHigh_ = 0;
};

// One solution of a series and its temperature.
struct Solved {
    GibbsSolver::State state;
    double kelvin = 0;
};

// A start for the solve at `kelvin` from the last solutions of its series (the
// last one last): their log amounts and total carried on along the parabola
// through the last three in 1/T (log amounts go nearly straight in 1/T, as
// ln K = -dG/RT does), or the line through two where only two are over the
// same species and phases; the last solution as it is where one is.
std::optional<GibbsSolver::State> extrapolated(const std::vector<Solved>& history, double kelvin)
{
    if (history.empty())
        return std::nullopt;
    const GibbsSolver::State& last = history.back().state;
    // The trailing solutions over the same species as the last.
    size_t from = history.size() - 1;
    while (from > 0 && history.size() - from < 3) {
        const GibbsSolver::State& earlier = history[from - 1].state;
        if (earlier.solvedBy != last.solvedBy || earlier.present != last.present ||
            !std::isfinite(earlier.lnTotal) || !std::isfinite(last.lnTotal))
            break;
        --from;
    }
    const size_t count = history.size() - from;
    if (count < 2)
        return last;
    // Lagrange weights at x = 1/kelvin over the nodes x_i = 1/T_i.
    std::vector<double> weight(count, 1.0);
    const double x = 1 / kelvin;
    for (size_t i = 0; i < count; ++i) {
        const double xi = 1 / history[from + i].kelvin;
        for (size_t k = 0; k < count; ++k) {
            if (k != i)
                weight[i] *= (x - 1 / history[from + k].kelvin) / (xi - 1 / history[from + k].kelvin);
        }
    }
    const auto carried = [&](auto value) {
        double sum = 0;
        for (size_t i = 0; i < count; ++i) {
            const double v = value(history[from + i].state);
            if (!std::isfinite(v))
                return value(last);
            sum += weight[i] * v;
        }
        return sum;
    };
    GibbsSolver::State start = last;
    for (size_t j = 0; j < start.lnAmounts.size(); ++j)
        start.lnAmounts[j] = carried([j](const GibbsSolver::State& s) { return s.lnAmounts[j]; });
    start.lnTotal = carried([](const GibbsSolver::State& s) { return s.lnTotal; });
    return start;
}

} // namespace

CompositionRequest compositionRequest(const ReactionFields& fields, bool graphite,
                                      bool tetraPrecision)
{
    CompositionRequest request;
    request.graphite = graphite;
    request.tetraPrecision = tetraPrecision;
    try {
        for (size_t row = 0; row < fields.react.size(); ++row) {
            const QString name = trimmedBlanks(fields.react[row]);
            if (name.isEmpty())
                continue;
            if (fields.molar[row].isEmpty())
                refuse(u"分圧(比)を入力してください"_s);
            request.feedNames.append(name);
            request.feedMoles.push_back(finiteLeadingValue(fields.molar[row]));
        }
        request.totalPressure = finiteLeadingValue(fields.pressure);
    } catch (const Failure& failure) {
        fail(failure.code());
    }
    return request;
}

CompositionSystem compositionSystem(const CompositionRequest& request,
                                    const CompoundIndex& database)
{
    // Not owned: the ThermoData lives only for this call.
    const std::shared_ptr<const CompoundIndex> borrowed(std::shared_ptr<const CompoundIndex>(),
                                                        &database);
    return compositionSystem(request, ThermoData(nullptr, {}, borrowed));
}

namespace {

// The counts of `elements` in a compound, in that order.
std::vector<double> countsIn(const std::vector<ElementCount>& compound, const QStringList& elements)
{
    std::vector<double> counts(size_t(elements.size()), 0.0);
    for (const ElementCount& e : compound) {
        const qsizetype k = elements.indexOf(e.symbol);
        if (k >= 0)
            counts[size_t(k)] += e.count;
    }
    return counts;
}

bool madeOf(const std::vector<ElementCount>& compound, const QStringList& elements)
{
    return std::all_of(compound.begin(), compound.end(),
                       [&](const ElementCount& e) { return elements.contains(e.symbol); });
}

// The notice of a species its data leave out at some temperature.
QString coverageNotice(const GibbsSpecies& s)
{
    return s.name + u": "_s + generalNumberText(s.thermo->minKelvin) + u"～"_s +
           generalNumberText(s.thermo->maxKelvin) + u" K の範囲外の温度では除いています"_s;
}

// A name's data, a file that cannot be read ending the request with its
// failure number.
std::optional<CompoundThermo> findCompound(const ThermoData& thermo, const QString& name)
{
    try {
        return thermo.find(name);
    } catch (const Failure& failure) {
        fail(failure.code());
    }
}

// The system of a request with a temperature range (or an adiabatic
// equilibrium) when the polynomial file can be read: every gas of the
// polynomial file made of the feed's elements, and the Norvane.dat records it
// does not hold (their table, 300-1000 K), each taking part only at the
// temperatures its data cover; the condensed species asked for.
CompositionSystem polynomialSystem(const CompositionRequest& request, const ThermoData& thermo)
{
    const CompoundIndex& database = *thermo.database();
    std::vector<std::pair<CompoundThermo, double>> feed;
    for (qsizetype k = 0; k < request.feedNames.size(); ++k) {
        const QString& name = request.feedNames[k];
        if (name.isEmpty())
            continue;
        const std::optional<CompoundThermo> compound = findCompound(thermo, name);
        if (!compound)
            refuse(u"反応系(No."_s + QString::number(k + 1) + u")はファイルに登録されていません"_s);
        const double moles = feedMolesAt(request, k);
        // A table record of the nitrogen or sulfur genres shows only its
        // hydrogen: its elements are not known.
        const auto genre = [&] { return database.genre(*database.find(name)); };
        if (!compound->fromPolynomials && (genre() == u"窒素化合物"_s || genre() == u"硫黄化合物"_s))
            refuseOtherElements(k);
        feed.emplace_back(*compound, moles);
    }
    checkFeedAndPressures(request, feed.empty());
    // The adiabatic temperature is not known beforehand: a compound its
    // data do not cover is named once the temperature is found.
    const bool adiabatic = request.adiabaticFeedKelvin.has_value();
    const std::vector<double> temperatures =
        adiabatic ? std::vector<double>{} : request.range->kelvins();
    if (!adiabatic && (temperatures.empty() || temperatures.front() <= 0))
        refuse(u"温度の範囲を正しく入力してください"_s);
    if (adiabatic) {
        // The energy balance needs every compound's enthalpy: the polynomials'.
        for (const auto& [compound, moles] : feed) {
            if (!compound.fromPolynomials)
                refuse(kAdiabaticNeedsPolynomials);
            const double t0 = *request.adiabaticFeedKelvin;
            if (!(t0 > 0) || !compound.covers(t0))
                refuse(u"原料の温度が"_s + compound.name + u"のデータの範囲("_s +
                       generalNumberText(compound.minKelvin) + u"～"_s +
                       generalNumberText(compound.maxKelvin) + u" K)の外です"_s);
        }
    }

    QStringList elements;
    for (const auto& [compound, moles] : feed) {
        for (const ElementCount& e : compound.elements) {
            if (!elements.contains(e.symbol))
                elements.append(e.symbol);
        }
    }
    // A compound is known by its polynomial data's name, or for a table
    // compound by its name.
    const auto identity = [](const CompoundThermo& c) {
        return c.fromPolynomials ? u"P:"_s + c.dataName : u"T:"_s + c.name;
    };
    std::vector<CompoundThermo> candidates;
    if (request.species.isEmpty()) {
        candidates = thermo.speciesOf(elements, false);
        // Norvane.dat's records the polynomial file does not hold, aliases
        // (same counts and values) counted once.
        std::map<RecordKey, int> seen;
        // (Not for the adiabatic equilibrium: a table has no enthalpies.)
        const int records = adiabatic ? 0 : database.recordCount();
        for (int r = 0; r < records; ++r) {
            const QString name = database.name(r);
            if (thermo.polynomials()->find(name))
                continue;
            const QString genre = database.genre(r);
            if (genre == u"窒素化合物"_s || genre == u"硫黄化合物"_s)
                continue; // their counts show only their hydrogen
            const RecordValues v = readRecord(database, r);
            if (v.failure != 0 || v.species.inert())
                continue;
            std::optional<CompoundThermo> compound;
            try {
                compound = thermo.find(name);
            } catch (const Failure&) {
                continue;
            }
            if (compound && madeOf(compound->elements, elements) &&
                seen.emplace(keyOf(v.species), r).second)
                candidates.push_back(*compound);
        }
    } else {
        for (const QString& name : request.species) {
            const std::optional<CompoundThermo> compound = findCompound(thermo, name);
            if (!compound)
                refuse(name + u"はファイルに登録されていません"_s);
            if (!madeOf(compound->elements, elements))
                refuse(name + u"は反応系にない元素を含んでいます"_s);
            if (adiabatic && !compound->fromPolynomials)
                refuse(kAdiabaticNeedsPolynomials);
            candidates.push_back(*compound);
        }
    }
    for (const auto& [compound, moles] : feed)
        candidates.push_back(compound);

    CompositionSystem system;
    // A species its data leave out at some of the temperatures is named.
    const auto noteLeftOut = [&](const GibbsSpecies& s) {
        if (std::any_of(temperatures.begin(), temperatures.end(),
                        [&](double t) { return !s.thermo->covers(t); }))
            system.notices.append(coverageNotice(s));
    };
    std::map<QString, int> position; // compound key -> index in the system
    for (const CompoundThermo& c : candidates) {
        if (c.condensed || position.count(identity(c)))
            continue;
        position[identity(c)] = int(system.species.size());
        GibbsSpecies species;
        species.name = c.name;
        species.thermo = std::make_shared<const CompoundThermo>(c);
        system.species.push_back(species);
        system.feedMoles.push_back(0.0);
    }
    for (const auto& [compound, moles] : feed) {
        if (compound.condensed)
            refuse(compound.name + u"は気体ではありません"_s);
        const int i = position.at(identity(compound));
        system.feedMoles[size_t(i)] += moles;
        system.feedNames.append(compound.name);
        system.feedNameMoles.push_back(moles);
        system.feedSpecies.push_back(i);
    }
    // An element only one species holds (Ar, He) takes no part: that species
    // stays as fed.
    QStringList balanced;
    for (const QString& symbol : elements) {
        int holders = 0;
        for (const GibbsSpecies& s : system.species) {
            for (const ElementCount& e : s.thermo->elements)
                holders += e.symbol == symbol && e.count != 0;
        }
        if (holders > 1)
            balanced.append(symbol);
    }
    if (balanced.size() > GibbsSolver::kMaxElements)
        refuse(u"反応系の元素が多すぎます(8種類まで)"_s);
    system.elements = balanced;
    const QStringList carbonHydrogenOxygen{u"C"_s, u"H"_s, u"O"_s};
    for (GibbsSpecies& s : system.species) {
        const bool lone = std::any_of(s.thermo->elements.begin(), s.thermo->elements.end(),
                                      [&](const ElementCount& e) { return !balanced.contains(e.symbol); });
        s.counts = lone ? std::vector<double>(size_t(balanced.size()), 0.0)
                        : countsIn(s.thermo->elements, balanced);
        // Water, hydrogen and carbon monoxide are found by these counts.
        if (madeOf(s.thermo->elements, carbonHydrogenOxygen)) {
            const std::vector<double> chO = countsIn(s.thermo->elements, carbonHydrogenOxygen);
            s.atoms = {chO[0], chO[1], chO[2]};
        }
        if (s.inert())
            continue;
        noteLeftOut(s);
    }
    system.totalPressure = request.totalPressure;
    system.graphite = request.graphite || request.condensed;
    system.tetraPrecision = request.tetraPrecision;
    system.condensed = request.condensed;
    system.range = request.range;
    system.pressures = request.pressures;
    system.adiabaticFeedKelvin = request.adiabaticFeedKelvin;
    // The condensed species: every one of the balanced elements, or graphite.
    std::vector<CompoundThermo> condensed;
    if (request.condensed) {
        for (const CompoundThermo& c : thermo.speciesOf(balanced, true)) {
            if (c.condensed && madeOf(c.elements, balanced))
                condensed.push_back(c);
        }
    } else if (request.graphite) {
        if (const std::optional<CompoundThermo> graphite = findCompound(thermo, kGraphite))
            condensed.push_back(*graphite);
    }
    for (const CompoundThermo& c : condensed) {
        GibbsSpecies species;
        species.name = c.dataName.isEmpty() ? c.name : c.dataName;
        species.thermo = std::make_shared<const CompoundThermo>(c);
        species.counts = countsIn(c.elements, balanced);
        if (madeOf(c.elements, carbonHydrogenOxygen)) {
            const std::vector<double> chO = countsIn(c.elements, carbonHydrogenOxygen);
            species.atoms = {chO[0], chO[1], chO[2]};
        }
        system.condensedPhases.push_back(species);
    }
    if (request.graphite && system.condensedPhases.empty())
        system.condensedPhases.push_back(tableGraphite());
    for (const GibbsSpecies& s : system.condensedPhases) {
        if (s.thermo)
            noteLeftOut(s);
    }
    return system;
}

} // namespace

CompositionSystem compositionSystem(const CompositionRequest& request, const ThermoData& thermo)
{
    if ((request.range || request.adiabaticFeedKelvin) && thermo.hasPolynomials())
        return polynomialSystem(request, thermo);
    const CompoundIndex& database = *thermo.database();
    // Records whose compound holds (or may hold) elements besides C, H and O.
    std::vector<bool> otherElements(static_cast<size_t>(database.recordCount()), false);
    for (int r = 0; r < database.recordCount(); ++r) {
        try {
            const auto elements = thermo.recordElements(r);
            otherElements[size_t(r)] =
                !elements || std::any_of(elements->begin(), elements->end(), [](const auto& e) {
                    return e.symbol != u"C"_s && e.symbol != u"H"_s && e.symbol != u"O"_s;
                });
        } catch (const Failure&) {
            // Counts that cannot be read are dealt with below, as for any record.
        }
    }
    const auto referenceElement = [](const GibbsSpecies& species) {
        return species.inert() && std::all_of(species.formationG.begin(), species.formationG.end(),
                                              [](double g) { return g == 0; });
    };
    // The feed: each name's record and its moles, names without text skipped
    // as empty rows are.
    std::vector<std::pair<int, double>> feed;
    for (qsizetype k = 0; k < request.feedNames.size(); ++k) {
        const QString& name = request.feedNames[k];
        if (name.isEmpty())
            continue;
        const auto record = database.find(name);
        if (!record)
            refuse(u"反応系(No."_s + QString::number(k + 1) + u")はファイルに登録されていません"_s);
        const double moles = feedMolesAt(request, k);
        const RecordValues fed = readRecord(database, *record);
        if (otherElements[size_t(*record)] && fed.failure == 0 && !referenceElement(fed.species))
            refuseOtherElements(k);
        feed.emplace_back(*record, moles);
    }
    checkFeedAndPressures(request, feed.empty());
    QStringList notices;
    if (request.range && request.range->kelvins().empty())
        refuse(u"温度の範囲を正しく入力してください"_s);
    if (request.range && request.range->kelvins().front() <= 0)
        refuse(u"温度の範囲を正しく入力してください"_s);
    if (request.range) {
        // Norvane.dat's values stop at 300 and 1000 K; beyond them the lines
        // are extended, and the user is told so.
        const std::vector<double> temperatures = request.range->kelvins();
        if (temperatures.front() < 300 || temperatures.back() > 1000)
            notices.append(u"Norvane.dat の dG は 300～1000 K の値です。この範囲の外は直線で外挿しています"_s);
    }
    if (request.adiabaticFeedKelvin)
        refuse(kAdiabaticNeedsPolynomials);

    // Every record read once; a record that cannot be read matters only
    // when the request uses it.
    const int records = database.recordCount();
    std::vector<RecordValues> values(static_cast<size_t>(records));
    for (int r = 0; r < records; ++r)
        values[size_t(r)] = readRecord(database, r);
    const auto usable = [&](int record) {
        if (values[size_t(record)].failure != 0)
            fail(values[size_t(record)].failure);
        return values[size_t(record)].species;
    };

    // An alias (same counts, same eight dG values) stands for the first
    // record with those numbers. Records without C, H or O all share the same
    // numbers (N2 and Ar alike), so each of them stands for itself.
    std::vector<int> canonical(static_cast<size_t>(records));
    std::map<RecordKey, int> firstOf;
    for (int r = 0; r < records; ++r) {
        canonical[size_t(r)] = r;
        if (values[size_t(r)].failure != 0 || values[size_t(r)].species.inert())
            continue;
        const auto [it, inserted] = firstOf.emplace(keyOf(values[size_t(r)].species), r);
        canonical[size_t(r)] = it->second;
    }

    std::array<bool, 3> elements{};
    std::map<int, double> feedMoles; // canonical record -> moles
    for (const auto& [record, moles] : feed) {
        const GibbsSpecies species = usable(record);
        for (int k = 0; k < 3; ++k) {
            if (species.atoms[k] != 0)
                elements[k] = true;
        }
        feedMoles[canonical[size_t(record)]] += moles;
    }

    std::vector<bool> included(static_cast<size_t>(records), false);
    for (const auto& entry : feedMoles)
        included[size_t(entry.first)] = true;
    if (request.species.isEmpty()) {
        for (int r = 0; r < records; ++r) {
            const RecordValues& v = values[size_t(r)];
            // A record whose counts cannot be read is no species of the feed's.
            bool countsKnown = v.failure == 0;
            if (!countsKnown) {
                try {
                    GibbsSpecies counts;
                    for (int k = 0; k < 3; ++k)
                        counts.atoms[k] = database.atomCount(r, k);
                    countsKnown = !counts.inert() && madeOf(counts, elements);
                } catch (const Failure&) {
                }
                if (countsKnown)
                    fail(v.failure);
                continue;
            }
            if (canonical[size_t(r)] == r && !v.species.inert() && madeOf(v.species, elements) &&
                !otherElements[size_t(r)])
                included[size_t(r)] = true;
        }
    } else {
        for (const QString& name : request.species) {
            const auto record = database.find(name);
            if (!record)
                refuse(name + u"はファイルに登録されていません"_s);
            const GibbsSpecies species = usable(*record);
            if (!madeOf(species, elements) || (otherElements[size_t(*record)] && !species.inert()))
                refuse(name + u"は反応系にない元素を含んでいます"_s);
            // A compound without C, H or O takes part only as fed.
            if (!species.inert())
                included[size_t(canonical[size_t(*record)])] = true;
        }
    }

    CompositionSystem system;
    system.totalPressure = request.totalPressure;
    // Graphite is the one condensed species today's data describe.
    system.graphite = request.graphite || request.condensed;
    system.tetraPrecision = request.tetraPrecision;
    system.condensed = request.condensed;
    system.range = request.range;
    system.pressures = request.pressures;
    system.adiabaticFeedKelvin = request.adiabaticFeedKelvin;
    system.notices = notices;
    if (system.graphite)
        system.condensedPhases.push_back(tableGraphite());
    std::map<int, int> position; // record -> index in the system
    for (int r = 0; r < records; ++r) {
        if (!included[size_t(r)])
            continue;
        position[r] = int(system.species.size());
        system.species.push_back(usable(r));
        const auto moles = feedMoles.find(r);
        system.feedMoles.push_back(moles == feedMoles.end() ? 0.0 : moles->second);
    }
    for (const auto& [record, moles] : feed) {
        system.feedNames.append(database.name(record));
        system.feedNameMoles.push_back(moles);
        system.feedSpecies.push_back(position.at(canonical[size_t(record)]));
    }
    return system;
}

double formationGibbsAt(const GibbsSpecies& species, double kelvin)
{
    return tabulatedFormationGibbs(species.formationG, kelvin);
}

CompositionPoint equilibriumAt(const CompositionSystem& system, double kelvin,
                               const PhysicalConstants& constants)
{
    const CompositionSolve solve(system, constants);
    std::optional<GibbsSolver::State> state;
    return solve.pointAt(kelvin, system.totalPressure, state);
}

CompositionTable compositionTable(const CompositionSystem& system,
                                  const PhysicalConstants& constants)
{
    CompositionTable table;
    for (const GibbsSpecies& s : system.species)
        table.species.append(s.name);
    table.graphite = system.graphite;
    for (const GibbsSpecies& s : system.condensedPhases)
        table.condensed.append(s.name);
    table.pressuresGiven = !system.pressures.empty();
    table.notices = system.notices;
    table.feedNames = system.feedNames;
    table.feedMoles = system.feedNameMoles;
    table.feedSpecies = system.feedSpecies;
    for (size_t i = 0; i < system.species.size(); ++i) {
        const std::array<double, 3>& atoms = system.species[i].atoms;
        if (atoms == std::array<double, 3>{0, 2, 1})
            table.water = int(i);
        else if (atoms == std::array<double, 3>{0, 2, 0})
            table.hydrogen = int(i);
        else if (atoms == std::array<double, 3>{1, 0, 1})
            table.carbonMonoxide = int(i);
    }

    const CompositionSolve solve(system, constants);
    const std::vector<double> pressures =
        system.pressures.empty() ? std::vector<double>{system.totalPressure} : system.pressures;
    for (const double pressure : pressures) {
        if (system.adiabaticFeedKelvin) {
            table.series.push_back(
                {u"H"_s, pressure, {solve.adiabaticPointAt(*system.adiabaticFeedKelvin, pressure)}});
            continue;
        }
        if (system.range) {
            // Each point starts from the curve through its neighbours'
            // solutions below it.
            CompositionSeries series{u"K"_s, pressure, {}};
            std::vector<Solved> history;
            for (const double t : system.range->kelvins()) {
                std::optional<GibbsSolver::State> start = extrapolated(history, t);
                series.points.push_back(solve.checkedPointAt(t, pressure, start));
                if (series.points.back().failed())
                    continue;
                if (history.size() == 3)
                    history.erase(history.begin());
                history.push_back({std::move(*start), t});
            }
            table.series.push_back(std::move(series));
            continue;
        }
        // Each point starts from its neighbour's solution, a Celsius point from
        // the kelvin point just above it.
        CompositionSeries kelvinSeries{u"K"_s, pressure, {}};
        CompositionSeries celsiusSeries{u"C"_s, pressure, {}};
        const std::vector<double> kelvin = seriesTemperatures(true, system.tetraPrecision);
        std::vector<std::optional<GibbsSolver::State>> states;
        std::optional<GibbsSolver::State> state;
        for (const double t : kelvin) {
            kelvinSeries.points.push_back(solve.checkedPointAt(t, pressure, state));
            states.push_back(state);
        }
        for (const double t : seriesTemperatures(false, system.tetraPrecision)) {
            const auto above = std::lower_bound(kelvin.begin(), kelvin.end(), t);
            state = states[size_t(
                std::min(above - kelvin.begin(), std::ptrdiff_t(states.size() - 1)))];
            celsiusSeries.points.push_back(solve.checkedPointAt(t, pressure, state));
        }
        table.series.push_back(std::move(kelvinSeries));
        table.series.push_back(std::move(celsiusSeries));
    }
    // With condensed phases a column is shown only for a species that appears.
    if (system.condensed) {
        std::vector<bool> appears(system.condensedPhases.size(), false);
        for (const CompositionSeries& series : table.series) {
            for (const CompositionPoint& point : series.points) {
                for (size_t c = 0; c < point.condensedMoles.size(); ++c)
                    appears[c] = appears[c] || point.condensedMoles[c] > 0;
            }
        }
        QStringList shown;
        for (size_t c = 0; c < appears.size(); ++c) {
            if (appears[c])
                shown.append(table.condensed[qsizetype(c)]);
        }
        table.condensed = shown;
        table.graphite = shown.contains(kGraphite);
        for (CompositionSeries& series : table.series) {
            for (CompositionPoint& point : series.points) {
                if (point.failed())
                    continue;
                std::vector<double> kept;
                for (size_t c = 0; c < appears.size(); ++c) {
                    if (appears[c])
                        kept.push_back(point.condensedMoles[c]);
                }
                point.condensedMoles = kept;
            }
        }
    }
    if (system.adiabaticFeedKelvin) {
        // Compounds the data leave out at the temperature found.
        for (const CompositionSeries& series : table.series) {
            const CompositionPoint& point = series.points.front();
            const auto notice = [&](const GibbsSpecies& s) {
                if (point.failed() || !s.thermo || s.inert() || s.thermo->covers(point.kelvin))
                    return;
                const QString line = coverageNotice(s);
                if (!table.notices.contains(line))
                    table.notices.append(line);
            };
            std::for_each(system.species.begin(), system.species.end(), notice);
            std::for_each(system.condensedPhases.begin(), system.condensedPhases.end(), notice);
        }
    }
    if (!system.range && system.pressures.empty() && !system.adiabaticFeedKelvin) {
        table.kelvin = table.series[0].points;
        table.celsius = table.series[1].points;
    }
    return table;
}

bool CompositionTable::anyFailed() const
{
    return std::any_of(series.begin(), series.end(), [](const CompositionSeries& s) {
        return std::any_of(s.points.begin(), s.points.end(),
                           [](const CompositionPoint& p) { return p.failed(); });
    });
}

std::vector<double> TemperatureRange::kelvins() const
{
    if (!(step > 0) || !std::isfinite(from) || !std::isfinite(to) || !std::isfinite(step) ||
        to < from)
        return {};
    const double steps = std::floor((to - from) / step + 1e-9);
    if (steps + 1 > kMaxRangePoints)
        return {};
    const double offset = celsius ? kCelsiusZero : 0;
    std::vector<double> temperatures;
    for (int i = 0; i <= int(steps); ++i)
        temperatures.push_back(from + step * i + offset);
    return temperatures;
}

DerivedFigures derivedFigures(const CompositionTable& table, const CompositionPoint& point)
{
    DerivedFigures figures;
    if (point.failed())
        return figures;
    double fed = 0;
    for (const double moles : table.feedMoles)
        fed += moles;
    // Moles fed of each species, however many names stand for it.
    std::map<int, double> fedOf;
    for (size_t k = 0; k < table.feedMoles.size(); ++k)
        fedOf[table.feedSpecies[k]] += table.feedMoles[k] / fed;
    for (size_t k = 0; k < size_t(table.feedNames.size()); ++k) {
        const int s = table.feedSpecies[k];
        const double left = point.moleFractions[size_t(s)] * point.gasMoles;
        figures.conversion.push_back(1 - left / fedOf[s]);
    }
    if (table.hydrogen >= 0 && table.carbonMonoxide >= 0 &&
        point.moleFractions[size_t(table.carbonMonoxide)] > 0)
        figures.h2ToCo = point.moleFractions[size_t(table.hydrogen)] /
                         point.moleFractions[size_t(table.carbonMonoxide)];
    return figures;
}

std::vector<double> dryFractions(const CompositionTable& table, const CompositionPoint& point)
{
    std::vector<double> fractions = point.moleFractions;
    if (table.water < 0 || point.failed())
        return fractions;
    const double dry = 1 - fractions[size_t(table.water)];
    if (!(dry > 0))
        return fractions;
    fractions[size_t(table.water)] = 0;
    for (double& x : fractions)
        x /= dry;
    return fractions;
}

QString compositionText(const CompositionTable& table, const QString& lineEnd,
                        CompositionTextOptions options)
{
    const QChar tab = u'\t';
    QString header = u"系列\t温度(K)"_s;
    for (const QString& name : table.species)
        header += tab + name;
    for (const QString& name : table.condensed)
        header += tab + name;
    const bool ratio = options.derived && table.hydrogen >= 0 && table.carbonMonoxide >= 0;
    if (options.derived) {
        for (const QString& name : table.feedNames)
            header += u"\t転化率:"_s + name;
        if (ratio)
            header += u"\tH2/CO"_s;
    }
    header += lineEnd;
    const qsizetype columns = header.count(tab) - 1;

    const auto row = [&](const CompositionSeries& series, const CompositionPoint& point) {
        QString line = series.name + tab + generalNumberText(point.kelvin);
        if (point.failed())
            return line + QString(columns, tab) + lineEnd;
        for (const double x : options.dry ? dryFractions(table, point) : point.moleFractions)
            line += tab + generalNumberText(x);
        for (const double moles : point.condensedMoles)
            line += tab + generalNumberText(moles);
        if (options.derived) {
            const DerivedFigures figures = derivedFigures(table, point);
            for (const double conversion : figures.conversion)
                line += tab + generalNumberText(conversion);
            if (ratio)
                line += tab + (figures.h2ToCo ? generalNumberText(*figures.h2ToCo) : QString());
        }
        return line + lineEnd;
    };

    // One block per pressure: a Celsius series goes on with its kelvin series'.
    const auto startsBlock = [&](size_t i) { return table.series[i].name != u"C"_s; };
    QString text;
    for (size_t i = 0; i < table.series.size(); ++i) {
        const bool first = startsBlock(i);
        if (first) {
            if (table.pressuresGiven)
                text += u"# 全圧 "_s + generalNumberText(table.series[i].pressure) + u" atm"_s +
                        lineEnd;
            text += header;
        }
        for (const CompositionPoint& point : table.series[i].points)
            text += row(table.series[i], point);
        if (i + 1 == table.series.size() || startsBlock(i + 1))
            text += lineEnd;
    }
    return text;
}

} // namespace norvanta
