// The equilibrium composition against a reference written apart from it, the
// proven one-reaction run, and the requests it must refuse.
#include "engine_fixtures.h"

#include "engine/constants.h"
#include "composition/gibbs_equilibrium.h"
#include "engine/run_errors.h"
#include "engine/solver_library.h"
#include "engine/temperature_sweep.h"

#include "database/compound_index.h"

#include "common/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

using Real = long double;
using Vector3 = std::array<Real, 3>;

const PhysicalConstants kConstants;

CompoundIndex shippedDatabase(const QString& extra = {})
{
    return CompoundIndex::parse(
        readShiftJisFile(QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat")) + extra);
}

// The reference. At a fixed total N of gas moles the element balances are the
// gradient of the convex N sum_j exp(a_j.pi - g_j) - b.pi, minimised by Newton
// steps with backtracking in long double; N comes from bisecting
// sum_j n_j + inert = N on ln N. Graphite fixes carbon's potential at 0 and
// takes the carbon the gas leaves. Element-form balances, different unknowns
// and a bracketing outer loop: nothing is shared with the engine's solver.
class ReferenceSolve {
public:
    // The feed taken per mole: fractions do not depend on its scale.
    ReferenceSolve(const CompositionSystem& system, double kelvin) : system_(system)
    {
        for (const double moles : system.feedMoles)
            scale_ += moles;
        for (size_t i = 0; i < system.species.size(); ++i) {
            const GibbsSpecies& s = system.species[i];
            if (s.inert()) {
                inert_ += system.feedMoles[i] / scale_;
                continue;
            }
            gases_.push_back(i);
            const int k = std::clamp(int((kelvin - 300) / 100), 0, 6);
            const Real dG = s.formationG[k] + (Real(s.formationG[k + 1]) - s.formationG[k]) *
                                                  (kelvin - 300 - 100 * k) / 100;
            g_.push_back(dG * 1000 / Real(kConstants.r) / kelvin +
                         std::log(Real(system.totalPressure)));
            for (int e = 0; e < 3; ++e)
                b_[e] += Real(s.atoms[e]) * system.feedMoles[i] / scale_;
        }
    }

    // Mole fractions in the system's order, then graphite per mole of feed.
    std::vector<Real> solve()
    {
        Vector3 pi{};
        Real lnN = gasSolve(false, pi);
        const bool graphite = system_.graphite && b_[0] > 0 && pi[0] > 0;
        if (graphite)
            lnN = gasSolve(true, pi);
        std::vector<Real> result(system_.species.size() + 1, 0);
        Real carbonInGas = 0, feed = 0;
        for (size_t j = 0; j < gases_.size(); ++j) {
            result[gases_[j]] = amount(j, pi, lnN) / std::exp(lnN);
            carbonInGas += amount(j, pi, lnN) * system_.species[gases_[j]].atoms[0];
        }
        for (size_t i = 0; i < system_.species.size(); ++i) {
            feed += system_.feedMoles[i] / scale_;
            if (system_.species[i].inert())
                result[i] = system_.feedMoles[i] / scale_ / std::exp(lnN);
        }
        result.back() = graphite ? (b_[0] - carbonInGas) / feed : 0;
        return result;
    }

private:
    Real amount(size_t j, const Vector3& pi, Real lnN) const
    {
        const auto& a = system_.species[gases_[j]].atoms;
        return std::exp(lnN + a[0] * pi[0] + a[1] * pi[1] + a[2] * pi[2] - g_[j]);
    }

    Real gasSolve(bool carbonFixed, Vector3& pi)
    {
        std::array<bool, 3> free{};
        Real gasAtoms = 0, atoms = 0, most = 1;
        for (int e = 0; e < 3; ++e) {
            free[e] = b_[e] > 0 && !(carbonFixed && e == 0);
            gasAtoms += free[e] ? b_[e] : 0;
            atoms += b_[e];
        }
        for (const size_t i : gases_) {
            const auto& a = system_.species[i].atoms;
            most = std::max(most, Real(a[0] + a[1] + a[2]));
        }
        Real low = std::log(gasAtoms / most / 2 + inert_);
        Real high = std::log(atoms + inert_ + 1);
        // Every species far below its balance at first: damped Newton steps
        // climb from there without overflow.
        Real lowering = 0;
        for (size_t j = 0; j < gases_.size(); ++j) {
            const auto& a = system_.species[gases_[j]].atoms;
            const Real freeAtoms =
                (free[0] ? a[0] : 0) + (free[1] ? a[1] : 0) + (free[2] ? a[2] : 0);
            if (freeAtoms > 0)
                lowering = std::max(lowering, (high - g_[j] + 10) / freeAtoms);
        }
        for (int e = 0; e < 3; ++e)
            pi[e] = free[e] ? -lowering : 0;
        for (int i = 0; i < 80; ++i) {
            const Real lnN = (low + high) / 2;
            minimise(free, lnN, pi);
            Real sum = inert_;
            for (size_t j = 0; j < gases_.size(); ++j)
                sum += amount(j, pi, lnN);
            (sum > std::exp(lnN) ? low : high) = lnN;
        }
        minimise(free, (low + high) / 2, pi);
        return (low + high) / 2;
    }

    void minimise(const std::array<bool, 3>& free, Real lnN, Vector3& pi) const
    {
        const auto objective = [&](const Vector3& p) {
            Real sum = 0;
            for (size_t j = 0; j < gases_.size(); ++j)
                sum += amount(j, p, lnN);
            for (int e = 0; e < 3; ++e)
                sum -= free[e] ? b_[e] * p[e] : 0;
            return sum;
        };
        for (int iteration = 0; iteration < 100; ++iteration) {
            std::array<std::array<Real, 4>, 3> m{}; // Hessian | -gradient
            for (int e = 0; e < 3; ++e)
                m[e][3] = free[e] ? b_[e] : 0;
            for (size_t j = 0; j < gases_.size(); ++j) {
                const auto& a = system_.species[gases_[j]].atoms;
                const Real n = amount(j, pi, lnN);
                for (int e = 0; e < 3; ++e) {
                    for (int f = 0; f < 3 && free[e]; ++f)
                        m[e][f] += free[f] ? a[e] * a[f] * n : 0;
                    m[e][3] -= free[e] ? a[e] * n : 0;
                }
            }
            bool small = true;
            Vector3 gradient{};
            const Real ridge = 1e-12L * (m[0][0] + m[1][1] + m[2][2]) + 1e-4000L;
            for (int e = 0; e < 3; ++e) {
                gradient[e] = -m[e][3];
                small = small && std::abs(m[e][3]) <= 1e-16L * b_[e];
                m[e][e] += free[e] ? ridge : 1;
            }
            if (small)
                return;
            for (int c = 0; c < 3; ++c) { // Gauss-Jordan, partial pivoting
                for (int r = c + 1; r < 3; ++r)
                    if (std::abs(m[r][c]) > std::abs(m[c][c]))
                        std::swap(m[r], m[c]);
                for (int r = 0; r < 3; ++r) {
                    const Real f = r == c ? 0 : m[r][c] / m[c][c];
                    for (int k = c; k < 4; ++k)
                        m[r][k] -= f * m[c][k];
                }
            }
            const Real before = objective(pi);
            Vector3 trial = pi;
            for (Real t = 1; t > 1e-18L; t /= 2) {
                Real slope = 0;
                for (int e = 0; e < 3; ++e) {
                    trial[e] = pi[e] + t * m[e][3] / m[e][e];
                    slope += gradient[e] * m[e][3] / m[e][e];
                }
                if (objective(trial) <= before + 1e-4L * t * slope)
                    break;
            }
            if (trial == pi)
                return;
            pi = trial;
        }
    }

    const CompositionSystem& system_;
    std::vector<size_t> gases_;
    std::vector<Real> g_;
    Vector3 b_{};
    Real inert_ = 0;
    Real scale_ = 0;
};

CompositionRequest request(QStringList feed, std::vector<double> moles, double pressure,
                           bool graphite = false, QStringList species = {})
{
    CompositionRequest r;
    r.feedNames = feed;
    r.feedMoles = moles;
    r.totalPressure = pressure;
    r.graphite = graphite;
    r.species = species;
    return r;
}

// Graphite deposits exactly where the reference finds it, and for dry reforming
// at every point from 600 to 1000 K; steam reforming deposits none.
TEST(GibbsEquilibrium, MoleFractionsAgreeWithAnIndependentSolution)
{
    const CompoundIndex database =
        shippedDatabase(compoundRecordLine(u"N2"_s, {0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}));
    struct Case {
        const char* label;
        CompositionRequest request;
        double graphiteFrom, graphiteTo; // kelvin; -1: graphite must stay 0
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"steam reforming 1:3, 1 atm", request({u"CH4"_s, u"H2O"_s}, {1, 3}, 1, true), -1, -1},
        {"steam reforming 1:3, 20 atm", request({u"CH4"_s, u"H2O"_s}, {1, 3}, 20), -1, -1},
        {"steam reforming with 5 N2", request({u"CH4"_s, u"H2O"_s, u"N2"_s}, {1, 3, 5}, 1), -1, -1},
        {"dry reforming 1:1, graphite", request({u"CH4"_s, u"CO2"_s}, {1, 1}, 1, true), 600, 1000},
        {"methanol synthesis 1:2, 50 atm",
         request({u"CO"_s, u"H2"_s}, {1, 2}, 50, false, {u"CH3OH"_s, u"CO2"_s, u"H2O"_s, u"CH4"_s}), -1, -1},
        {"hydrogen and oxygen 2:1, 1e-3 atm", request({u"H2"_s, u"O2"_s}, {2, 1}, 1e-3), -1, -1},
        // No species takes up the hydrogen: the others stay at exactly 0.
        {"methane and steam alone", request({u"CH4"_s, u"H2O"_s}, {1, 3}, 1, false, {u"CO"_s, u"CH3OH"_s, u"O3"_s}), -1, -1},
        // The feed's formula on the boundary of what the species make: n-pentane forms, C2H4 cannot.
        {"isopentane with n-pentane and C2H4", request({u"isopentane"_s}, {1}, 1, false, {u"n-pentane"_s, u"C2H4"_s}), -1, -1},
        {"steam reforming 1:3, 1e20 atm", request({u"CH4"_s, u"H2O"_s}, {1, 3}, 1e20), -1, -1},
        {"feed ratios of 1e-300", request({u"CH4"_s, u"H2O"_s}, {1e-300, 3e-300}, 1), -1, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const CompositionSystem system = compositionSystem(c.request, database);
        const CompositionTable table = compositionTable(system, kConstants);
        ASSERT_EQ(table.kelvin.size() + table.celsius.size(), 18u);
        for (const auto* series : {&table.kelvin, &table.celsius}) {
            for (const CompositionPoint& point : *series) {
                SCOPED_TRACE(point.kelvin);
                ASSERT_FALSE(point.failed()) << point.failure.toStdString();
                const std::vector<Real> reference = ReferenceSolve(system, point.kelvin).solve();
                ASSERT_EQ(point.moleFractions.size() + 1, reference.size());
                for (size_t i = 0; i < reference.size(); ++i) {
                    const double x = double(reference[i]);
                    const double got =
                        i < point.moleFractions.size() ? point.moleFractions[i] : point.graphite;
                    EXPECT_NEAR(got, x, 1e-9 + 1e-6 * x)
                        << (i < point.moleFractions.size() ? system.species[i].name.toStdString()
                                                           : "C(gr)");
                }
                if (point.kelvin >= c.graphiteFrom && point.kelvin <= c.graphiteTo)
                    EXPECT_GT(point.graphite, 0);
                if (c.graphiteFrom < 0)
                    EXPECT_EQ(point.graphite, 0);
            }
        }
    }
}

// Where the answer is known apart from any solver: carbon alone beside
// graphite is all graphite with no gas left; n-pentane from isopentane as the
// issue's engineers computed it.
TEST(GibbsEquilibrium, GasVanishesAndBoundaryFeeds)
{
    const CompoundIndex database = shippedDatabase();
    struct Case {
        const char* label;
        CompositionRequest request;
        double kelvin;
        QString species; // empty: no gas, every fraction 0
        double fraction, graphite;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"C2 beside graphite", request({u"C2"_s}, {1}, 1, true), 300, {}, 0, 2},
        {"C5 beside graphite at 1000 K", request({u"C5"_s}, {1}, 1, true), 1000, {}, 0, 5},
        {"isopentane, 300 K", request({u"isopentane"_s}, {1}, 1, false, {u"n-pentane"_s, u"C2H4"_s}), 300, u"n-pentane"_s, 0.1109, 0},
        {"isopentane, 1000 K", request({u"isopentane"_s}, {1}, 1, false, {u"n-pentane"_s, u"C2H4"_s}), 1000, u"n-pentane"_s, 0.4583, 0},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const CompositionSystem system = compositionSystem(c.request, database);
        const CompositionPoint point = equilibriumAt(system, c.kelvin, kConstants);
        EXPECT_EQ(point.graphite, c.graphite);
        for (size_t i = 0; i < system.species.size(); ++i) {
            if (system.species[i].name == c.species)
                EXPECT_NEAR(point.moleFractions[i], c.fraction, 5e-5);
            else if (c.species.isEmpty())
                EXPECT_EQ(point.moleFractions[i], 0);
        }
    }
}

// With condensed phases a column stands only for a species that appears.
TEST(GibbsEquilibrium, CondensedColumnsOnlyForWhatAppears)
{
    const CompoundIndex database = shippedDatabase();
    for (const auto& [feed, columns] :
         std::vector<std::pair<QStringList, QStringList>>{{{u"CH4"_s, u"CO2"_s}, {u"C(gr)"_s}},
                                                          {{u"H2"_s, u"O2"_s}, {}}}) {
        CompositionRequest r = request(feed, {1, 1}, 1);
        r.condensed = true;
        const CompositionTable table = compositionTable(compositionSystem(r, database), kConstants);
        EXPECT_EQ(table.condensed, columns);
        EXPECT_EQ(table.kelvin[0].condensedMoles.size(), size_t(columns.size()));
    }
}

// Where the species are those of one reaction, the composition's conversion of
// the limiting compound (CO) is the run's at the tabulated temperatures.
TEST(GibbsEquilibrium, OneReactionMatchesTheRun)
{
    struct Case {
        const char* label;
        QString second, carbonProduct, otherProduct;
        double ratio, coefficient, pressure; // of the second reactant; atm
    };
    const std::vector<Case> cases = {
        {"water gas shift, steam 3:1, 5 atm", u"H2O"_s, u"CO2"_s, u"H2"_s, 3, 1, 5},
        {"water gas shift, 1:1, 1 atm", u"H2O"_s, u"CO2"_s, u"H2"_s, 1, 1, 1},
        {"methanation, H2 4:1, 10 atm", u"H2"_s, u"CH4"_s, u"H2O"_s, 4, 3, 10},
    };
    const CompoundIndex database = shippedDatabase();
    SolverLibrary library(QStringLiteral(NORVANTA_SOLVER_PATH));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ReactionDefinition definition;
        definition.reactantNames = {u"CO"_s, c.second, {}, {}};
        definition.reactantCoefficients = {1, c.coefficient, 0, 0};
        definition.reactantRatios = {1, c.ratio, 0, 0};
        definition.productNames = {c.carbonProduct, c.otherProduct, {}, {}};
        definition.productCoefficients = {1, 1, 0, 0};
        definition.reactantCount = definition.productCount = 2;
        definition.limitingCompound = 1;
        definition.totalPressure = c.pressure;
        TemperatureSweep sweep(definition, database, library, kConstants.kpFactor, false, {});
        sweep.computeFirstRows();
        sweep.computeMiddleRows(500, 1000);

        const CompositionSystem system =
            compositionSystem(request({u"CO"_s, c.second}, {1, c.ratio}, c.pressure, false,
                                      {c.carbonProduct, c.otherProduct}),
                              database);
        ASSERT_EQ(system.species.size(), 4u);
        size_t co = 0, product = 0;
        for (size_t i = 0; i < system.species.size(); ++i) {
            co = system.species[i].name == u"CO"_s ? i : co;
            product = system.species[i].name == c.carbonProduct ? i : product;
        }
        for (int kelvin = 300; kelvin <= 1000; kelvin += 100) {
            SCOPED_TRACE(kelvin);
            const std::vector<double> x = equilibriumAt(system, kelvin, kConstants).moleFractions;
            const double expected = sweep.table().kelvin[size_t((kelvin - 300) / 25)].conversion;
            EXPECT_NEAR(x[product] / (x[co] + x[product]), expected, 1e-12 * expected);
        }
    }
}

// A request that cannot be computed gets its message and nothing else.
TEST(GibbsEquilibrium, RefusesBadRequests)
{
    const QString huge = compoundRecordLine(u"Huge"_s, {1, 4, 0}, {1, 2, 3, 4, 5, 6, 7, 8})
                             .replace(u"8"_s, u"1e999"_s);
    const QString base = databaseText(gasCompounds()) +
                         compoundRecordLine(u"C2H6"_s, {2, 6, 0}, {-7, -3, 1, 5, 9, 13, 17, 21});
    struct Case {
        const char* label;
        QString extra; // records after the usual gases
        CompositionRequest request;
        QString message;
        int failureCode;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const QString ratio = u"反応系(No.2)の分圧(比)を正しく入力してください"_s;
    const QString unknown = u"反応系(No.2)はファイルに登録されていません"_s;
    const QString overflow = runFailureMessage(6).text;
    const QStringList water = {u"H2"_s, u"O2"_s};
    const QString range = u"温度の範囲を正しく入力してください"_s;
    const auto withOptions = [](CompositionRequest r, std::vector<double> pressures,
                                std::optional<TemperatureRange> temperatures) {
        r.pressures = pressures;
        r.range = temperatures;
        return r;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"no feed", {}, request({}, {}, 1), u"反応系を入力してください"_s, 0},
        {"only empty names", {}, request({u""_s}, {1}, 1), u"反応系を入力してください"_s, 0},
        {"unknown feed", {}, request({u"H2"_s, u"XeF6"_s}, {1, 1}, 1), unknown, 0},
        {"names are exact", {}, request({u"H2"_s, u"h2o"_s}, {1, 1}, 1), unknown, 0},
        {"zero ratio", {}, request(water, {1, 0}, 1), ratio, 0},
        {"negative ratio", {}, request(water, {1, -2}, 1), ratio, 0},
        {"infinite ratio", {}, request(water, {1, inf}, 1), ratio, 0},
        {"NaN ratio", {}, request(water, {1, std::nan("")}, 1), ratio, 0},
        {"missing ratio", {}, request(water, {1}, 1), ratio, 0},
        {"zero pressure", {}, request(water, {2, 1}, 0), u"全圧を正しく入力してください"_s, 0},
        {"unknown species", {}, request(water, {2, 1}, 1, false, {u"H2O2"_s}), u"H2O2はファイルに登録されていません"_s, 0},
        {"species of other elements", {}, request(water, {2, 1}, 1, false, {u"H2O"_s, u"CH4"_s}),
         u"CH4は反応系にない元素を含んでいます"_s, 0},
        {"non-finite feed record", huge, request({u"Huge"_s, u"H2O"_s}, {1, 1}, 1), overflow, 6},
        {"non-finite record among the species", huge, request({u"CO"_s, u"H2"_s}, {1, 1}, 1), overflow, 6},
        {"non-finite listed species", huge, request({u"CO"_s, u"H2"_s}, {1, 1}, 1, false, {u"Huge"_s}), overflow, 6},
        {"zero among the pressures", {}, withOptions(request(water, {2, 1}, 1), {1, 0}, {}), u"全圧を正しく入力してください"_s, 0},
        {"NaN among the pressures", {}, withOptions(request(water, {2, 1}, 1), {std::nan("")}, {}), u"全圧を正しく入力してください"_s, 0},
        {"range downwards", {}, withOptions(request(water, {2, 1}, 1), {}, TemperatureRange{900, 300, 100}), range, 0},
        {"range without a step", {}, withOptions(request(water, {2, 1}, 1), {}, TemperatureRange{300, 900, 0}), range, 0},
        {"range from 0 K", {}, withOptions(request(water, {2, 1}, 1), {}, TemperatureRange{0, 900, 100}), range, 0},
        {"range from -273.15 °C", {}, withOptions(request(water, {2, 1}, 1), {}, TemperatureRange{-273.15, 100, 10, true}), range, 0},
        {"record cut short", u"\"Short\", 1, 4, 0, -12"_s, request({u"Short"_s, u"H2O"_s}, {1, 1}, 1),
         runFailureMessage(62).text, 62},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        try {
            compositionSystem(c.request, CompoundIndex::parse(base + c.extra + u"\r\n"_s));
            ADD_FAILURE() << "accepted";
        } catch (const CompositionError& error) {
            EXPECT_EQ(error.message.text, c.message);
            EXPECT_EQ(error.failureCode, c.failureCode);
        }
    }
    // A broken record of other elements is no species of this feed.
    EXPECT_EQ(compositionSystem(request(water, {2, 1}, 1), CompoundIndex::parse(base + huge))
                  .species.size(),
              3u);
}

// Which records take part: the feed's elements only, an alias once under the
// first name, a compound without C, H or O only as fed.
TEST(GibbsEquilibrium, ChoosesTheSpeciesOfTheFeed)
{
    std::vector<Compound> compounds = gasCompounds();
    compounds.push_back({u"methane"_s, {1, 4, 0}, compounds[1].gibbs});
    compounds.push_back({u"Ar"_s, {0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}});
    compounds.push_back({u"N2"_s, {0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}});
    const CompoundIndex database = CompoundIndex::parse(databaseText(compounds));
    struct Case {
        const char* label;
        CompositionRequest request;
        QStringList species;
        std::vector<double> feedMoles; // per species
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"hydrogen and oxygen", request({u"H2"_s, u"O2"_s}, {2, 1}, 1), {u"H2"_s, u"H2O"_s, u"O2"_s}, {2, 0, 1}},
        {"every C, H, O compound once, an alias as its first name",
         request({u"methane"_s, u"H2O"_s, u"CH4"_s}, {1, 3, 0.5}, 1),
         {u"CO2"_s, u"CH4"_s, u"CO"_s, u"H2"_s, u"H2O"_s, u"CH3OH"_s, u"O2"_s}, {0, 1.5, 0, 0, 3, 0, 0}},
        {"an inert as fed, the other not", request({u"H2"_s, u"O2"_s, u"Ar"_s}, {2, 1, 5}, 1),
         {u"H2"_s, u"H2O"_s, u"O2"_s, u"Ar"_s}, {2, 0, 1, 5}},
        {"two inerts with the same numbers stay apart", request({u"H2"_s, u"O2"_s, u"N2"_s, u"Ar"_s}, {2, 1, 4, 1}, 1),
         {u"H2"_s, u"H2O"_s, u"O2"_s, u"Ar"_s, u"N2"_s}, {2, 0, 1, 1, 4}},
        {"a species list and the feed",
         request({u"CO"_s, u"H2"_s}, {1, 2}, 1, false, {u"CH3OH"_s, u"methane"_s, u"N2"_s}),
         {u"CH4"_s, u"CO"_s, u"H2"_s, u"CH3OH"_s}, {0, 1, 2, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const CompositionSystem system = compositionSystem(c.request, database);
        QStringList names;
        for (const GibbsSpecies& s : system.species)
            names.append(s.name);
        EXPECT_EQ(names, c.species);
        EXPECT_EQ(system.feedMoles, c.feedMoles);
    }
}

} // namespace
