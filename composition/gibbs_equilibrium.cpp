#include "gibbs_equilibrium.h"

#include "composition/gibbs_solver.h"

#include "engine/constants.h"
#include "engine/run_errors.h"

#include "database/compound_index.h"

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
// Element balances and the sum of the fractions must hold to this, relative.
constexpr double kBalanceTolerance = 1e-12;

[[noreturn]] void refuse(const QString& text)
{
    throw CompositionError{RunMessage{text, MessageIcon::Exclamation}, 0};
}

[[noreturn]] void fail(int code)
{
    throw CompositionError{runFailureMessage(code), code};
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

// The temperatures of both series in kelvin.
std::vector<double> seriesTemperatures(bool kelvin, bool tetraPrecision)
{
    const int step = tetraPrecision ? 25 : 100;
    std::vector<double> temperatures;
    for (int t = 0; t <= 800; t += step)
        temperatures.push_back(kelvin ? 300.0 + t : t + 273.15);
    return temperatures;
}

// The solve of one system at many temperatures: the system's species split
// into reacting gases and inerts, and the element balances they must meet.
class CompositionSolve {
public:
    CompositionSolve(const CompositionSystem& system, const PhysicalConstants& constants)
        : system_(system), kpFactor_(constants.kpFactor)
    {
        for (const GibbsSpecies& s : system.species) {
            for (int k = 0; k < 3; ++k) {
                if (s.atoms[k] != 0)
                    used_[k] = true;
            }
        }
        for (int k = 0; k < 3; ++k) {
            if (used_[k])
                elementIndex_[k] = elements_++;
        }
        std::vector<GibbsSolver::Vector> atoms;
        GibbsSolver::Vector feed{};
        for (size_t i = 0; i < system.species.size(); ++i) {
            const GibbsSpecies& s = system.species[i];
            feedTotal_ += system.feedMoles[i];
            if (s.inert()) {
                inertMoles_ += system.feedMoles[i];
                continue;
            }
            GibbsSolver::Vector a{};
            for (int k = 0; k < 3; ++k) {
                if (used_[k])
                    a[elementIndex_[k]] = s.atoms[k];
            }
            for (int k = 0; k < elements_; ++k)
                feed[k] += a[k] * system.feedMoles[i];
            gases_.push_back(int(i));
            atoms.push_back(a);
        }
        feed_ = feed;
        const int carbon = system.graphite && used_[0] ? elementIndex_[0] : -1;
        solver_.emplace(std::move(atoms), elements_, feed, inertMoles_, carbon);
    }

    // The point at `kelvin`, from a nearby state when there is one; `state`
    // becomes this point's solution.
    CompositionPoint pointAt(double kelvin, std::optional<GibbsSolver::State>& state) const
    {
        std::vector<double> g(gases_.size());
        const double lnPressure = std::log(system_.totalPressure);
        for (size_t j = 0; j < gases_.size(); ++j) {
            const double dG = formationGibbsAt(system_.species[size_t(gases_[j])], kelvin);
            g[j] = dG * kpFactor_ / kelvin + lnPressure;
            if (!std::isfinite(g[j]))
                fail(FailureCode::Overflow);
        }
        const GibbsSolver::State start = state ? *state : solver_->initialState(g);
        GibbsSolver::State solution;
        if (!solver_->solve(g, start, solution))
            notSolved(kelvin);
        state = solution;
        return checkedPoint(kelvin, g, solution);
    }

private:
    CompositionPoint checkedPoint(double kelvin, const std::vector<double>& g,
                                  const GibbsSolver::State& solution) const
    {
        CompositionPoint point;
        point.kelvin = kelvin;
        point.moleFractions.assign(system_.species.size(), 0.0);
        const double total = std::exp(solution.lnTotal);
        std::array<double, 3> balance{};
        for (size_t j = 0; j < gases_.size(); ++j) {
            const double amount = std::exp(solver_->lnAmount(solution, g, int(j)));
            const GibbsSpecies& s = system_.species[size_t(gases_[j])];
            for (int k = 0; k < 3; ++k) {
                if (used_[k])
                    balance[elementIndex_[k]] += s.atoms[k] * amount;
            }
            point.moleFractions[size_t(gases_[j])] = amount / total;
        }
        for (size_t i = 0; i < system_.species.size(); ++i) {
            if (system_.species[i].inert())
                point.moleFractions[i] = system_.feedMoles[i] / total;
        }
        if (solution.graphitePresent) {
            balance[elementIndex_[0]] += solution.graphite;
            point.graphite = solution.graphite / feedTotal_;
        }

        for (int k = 0; k < elements_; ++k) {
            if (!(std::abs(balance[k] - feed_[k]) <= kBalanceTolerance * std::abs(feed_[k])))
                notSolved(kelvin);
        }
        double sum = 0;
        for (const double x : point.moleFractions) {
            if (!std::isfinite(x) || x < 0)
                notSolved(kelvin);
            sum += x;
        }
        if (!(std::abs(sum - 1) <= kBalanceTolerance) || !std::isfinite(point.graphite) ||
            point.graphite < 0)
            notSolved(kelvin);
        return point;
    }

    [[noreturn]] static void notSolved(double kelvin)
    {
        throw CompositionError{
            RunMessage{generalNumberText(kelvin) + u" Kの平衡組成を計算できませんでした"_s,
                       MessageIcon::Error},
            FailureCode::Overflow};
    }

    const CompositionSystem& system_;
    const double kpFactor_;
    std::array<bool, 3> used_{};
    std::array<int, 3> elementIndex_{};
    int elements_ = 0;
    std::vector<int> gases_;
    GibbsSolver::Vector feed_{};
    double inertMoles_ = 0;
    double feedTotal_ = 0;
    std::optional<GibbsSolver> solver_;
};

} // namespace

CompositionRequest compositionRequest(const ReactionFields& fields, bool graphite,
                                      bool tetraPrecision)
{
    CompositionRequest request;
    request.graphite = graphite;
    request.tetraPrecision = tetraPrecision;
    try {
        for (size_t row = 0; row < fields.react.size(); ++row) {
            QString name = fields.react[row];
            while (name.startsWith(u' '))
                name.remove(0, 1);
            while (name.endsWith(u' '))
                name.chop(1);
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
        const double moles =
            size_t(k) < request.feedMoles.size() ? request.feedMoles[size_t(k)] : std::nan("");
        if (!(moles > 0) || !std::isfinite(moles))
            refuse(u"反応系(No."_s + QString::number(k + 1) +
                   u")の分圧(比)を正しく入力してください"_s);
        feed.emplace_back(*record, moles);
    }
    if (feed.empty())
        refuse(u"反応系を入力してください"_s);
    if (!(request.totalPressure > 0) || !std::isfinite(request.totalPressure))
        refuse(u"全圧を正しく入力してください"_s);

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
            if (canonical[size_t(r)] == r && !v.species.inert() && madeOf(v.species, elements))
                included[size_t(r)] = true;
        }
    } else {
        for (const QString& name : request.species) {
            const auto record = database.find(name);
            if (!record)
                refuse(name + u"はファイルに登録されていません"_s);
            const GibbsSpecies species = usable(*record);
            if (!madeOf(species, elements))
                refuse(name + u"は反応系にない元素を含んでいます"_s);
            // A compound without C, H or O takes part only as fed.
            if (!species.inert())
                included[size_t(canonical[size_t(*record)])] = true;
        }
    }

    CompositionSystem system;
    system.totalPressure = request.totalPressure;
    system.graphite = request.graphite;
    system.tetraPrecision = request.tetraPrecision;
    for (int r = 0; r < records; ++r) {
        if (!included[size_t(r)])
            continue;
        system.species.push_back(usable(r));
        const auto moles = feedMoles.find(r);
        system.feedMoles.push_back(moles == feedMoles.end() ? 0.0 : moles->second);
    }
    return system;
}

double formationGibbsAt(const GibbsSpecies& species, double kelvin)
{
    const int segment = std::clamp(int(std::floor((kelvin - 300) / 100)), 0, kDataPoints - 2);
    const double w = (kelvin - (300 + 100 * segment)) / 100;
    // At a tabulated temperature the weights 1 and 0 give the value exactly.
    return (1 - w) * species.formationG[size_t(segment)] +
           w * species.formationG[size_t(segment) + 1];
}

CompositionPoint equilibriumAt(const CompositionSystem& system, double kelvin,
                               const PhysicalConstants& constants)
{
    const CompositionSolve solve(system, constants);
    std::optional<GibbsSolver::State> state;
    return solve.pointAt(kelvin, state);
}

CompositionTable compositionTable(const CompositionSystem& system,
                                  const PhysicalConstants& constants)
{
    CompositionTable table;
    for (const GibbsSpecies& s : system.species)
        table.species.append(s.name);
    table.graphite = system.graphite;

    const CompositionSolve solve(system, constants);
    // Each point starts from its neighbour's solution, a Celsius point from
    // the kelvin point just above it.
    const std::vector<double> kelvin = seriesTemperatures(true, system.tetraPrecision);
    std::vector<GibbsSolver::State> states;
    std::optional<GibbsSolver::State> state;
    for (const double t : kelvin) {
        table.kelvin.push_back(solve.pointAt(t, state));
        states.push_back(*state);
    }
    for (const double t : seriesTemperatures(false, system.tetraPrecision)) {
        const auto above = std::lower_bound(kelvin.begin(), kelvin.end(), t);
        state = states[size_t(std::min(above - kelvin.begin(), std::ptrdiff_t(states.size() - 1)))];
        table.celsius.push_back(solve.pointAt(t, state));
    }
    return table;
}

QString compositionText(const CompositionTable& table, const QString& lineEnd)
{
    const QChar tab = u'\t';
    QString text = u"系列\t温度(K)"_s;
    for (const QString& name : table.species)
        text += tab + name;
    if (table.graphite)
        text += u"\tC(gr)"_s;
    text += lineEnd;
    const auto appendSeries = [&](const std::vector<CompositionPoint>& points,
                                  const QString& series) {
        for (const CompositionPoint& point : points) {
            text += series + tab + generalNumberText(point.kelvin);
            for (const double x : point.moleFractions)
                text += tab + generalNumberText(x);
            if (table.graphite)
                text += tab + generalNumberText(point.graphite);
            text += lineEnd;
        }
    };
    appendSeries(table.kelvin, u"K"_s);
    appendSeries(table.celsius, u"C"_s);
    text += lineEnd;
    return text;
}

} // namespace norvanta
