// The equilibrium composition against a reference written apart from it, the
// proven one-reaction run, and the requests it must refuse.
#include "engine_fixtures.h"

#include "engine/constants.h"
#include "engine/gibbs_equilibrium.h"
#include "engine/run_errors.h"
#include "engine/solver_library.h"
#include "engine/temperature_sweep.h"

#include "database/compound_index.h"

#include "common/text_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

using Real = long double;

const PhysicalConstants kConstants;

QString shippedDatabaseText()
{
    return readShiftJisFile(QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"));
}

// The shipped compounds and an N2 record (no C, H or O; dG 0 throughout).
CompoundIndex databaseWithNitrogen()
{
    return CompoundIndex::parse(shippedDatabaseText() +
                                compoundRecordLine(u"N2"_s, {0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}));
}

// The reference: at a fixed total N of gas moles, the element balances are the
// gradient of the convex function N sum_j exp(a_j.pi - g_j) - b.pi, minimised by
// Newton steps with backtracking in long double; N itself by bisection of
// sum_j n_j + inert = N on ln N. Graphite fixes carbon's potential at 0 and
// takes the carbon the gas leaves. Different unknowns, balances in element
// form and a bracketing outer loop: nothing shared with the product's solver.
struct Reference {
    std::vector<Real> fractions; // system order
    Real graphite = 0;           // per mole of feed
};

class ReferenceSolve {
public:
    ReferenceSolve(const CompositionSystem& system, double kelvin) : system_(system)
    {
        for (size_t i = 0; i < system.species.size(); ++i) {
            const GibbsSpecies& s = system.species[i];
            feedTotal_ += system.feedMoles[i];
            if (s.inert()) {
                inert_ += system.feedMoles[i];
                continue;
            }
            gases_.push_back(i);
            // dfG on the tabulated segment around T, end segments extended.
            const int k = std::min(6, std::max(0, int((kelvin - 300) / 100)));
            const Real t0 = 300 + 100 * k;
            const Real slope = (Real(s.formationG[k + 1]) - s.formationG[k]) / 100;
            const Real dG = s.formationG[k] + slope * (kelvin - t0);
            g_.push_back(dG * 1000 / Real(kConstants.r) / kelvin +
                         std::log(Real(system.totalPressure)));
            for (int e = 0; e < 3; ++e)
                b_[e] += Real(s.atoms[e]) * system.feedMoles[i];
        }
    }

    Reference solve()
    {
        std::array<Real, 3> pi{};
        Real lnN = gasSolve(false, pi);
        bool graphite = false;
        if (system_.graphite && b_[0] > 0 && pi[0] > 0) {
            graphite = true;
            pi[0] = 0;
            lnN = gasSolve(true, pi);
        }
        Reference reference;
        reference.fractions.assign(system_.species.size(), 0);
        const Real total = std::exp(lnN);
        Real carbonInGas = 0;
        for (size_t j = 0; j < gases_.size(); ++j) {
            const Real n = amount(j, pi, lnN);
            reference.fractions[gases_[j]] = n / total;
            carbonInGas += n * system_.species[gases_[j]].atoms[0];
        }
        for (size_t i = 0; i < system_.species.size(); ++i) {
            if (system_.species[i].inert())
                reference.fractions[i] = system_.feedMoles[i] / total;
        }
        if (graphite)
            reference.graphite = (b_[0] - carbonInGas) / feedTotal_;
        return reference;
    }

private:
    Real amount(size_t j, const std::array<Real, 3>& pi, Real lnN) const
    {
        const auto& a = system_.species[gases_[j]].atoms;
        return std::exp(lnN + a[0] * pi[0] + a[1] * pi[1] + a[2] * pi[2] - g_[j]);
    }

    // ln N of the gas, and its element potentials in `pi`.
    Real gasSolve(bool carbonFixed, std::array<Real, 3>& pi)
    {
        std::array<bool, 3> free{};
        Real gasAtoms = 0;
        int maxAtoms = 1;
        for (int e = 0; e < 3; ++e) {
            free[e] = b_[e] > 0 && !(carbonFixed && e == 0);
            gasAtoms += free[e] ? b_[e] : 0;
        }
        for (const size_t i : gases_) {
            const auto& a = system_.species[i].atoms;
            maxAtoms = std::max(maxAtoms, int(a[0] + a[1] + a[2]));
        }
        Real low = std::log(gasAtoms / maxAtoms / 2 + inert_);
        Real high = std::log(std::accumulate(b_.begin(), b_.end(), Real(0)) + inert_ + 1);
        // Every species far below its balance at first: from there the damped
        // Newton steps climb to the minimum in a few dozen steps.
        Real lowering = 0;
        for (size_t j = 0; j < gases_.size(); ++j) {
            const auto& a = system_.species[gases_[j]].atoms;
            Real freeAtoms = 0;
            for (int e = 0; e < 3; ++e)
                freeAtoms += free[e] ? a[e] : 0;
            if (freeAtoms > 0)
                lowering = std::max(lowering, (high - g_[j] + 10) / freeAtoms);
        }
        for (int e = 0; e < 3; ++e)
            pi[e] = free[e] ? -lowering : pi[e];
        for (int i = 0; i < 80; ++i) {
            const Real lnN = (low + high) / 2;
            minimise(free, lnN, pi);
            Real sum = inert_;
            for (size_t j = 0; j < gases_.size(); ++j)
                sum += amount(j, pi, lnN);
            (sum > std::exp(lnN) ? low : high) = lnN;
        }
        const Real lnN = (low + high) / 2;
        minimise(free, lnN, pi);
        return lnN;
    }

    void minimise(const std::array<bool, 3>& free, Real lnN, std::array<Real, 3>& pi) const
    {
        const auto objective = [&](const std::array<Real, 3>& p) {
            Real sum = 0;
            for (size_t j = 0; j < gases_.size(); ++j)
                sum += amount(j, p, lnN);
            for (int e = 0; e < 3; ++e)
                sum -= free[e] ? b_[e] * p[e] : 0;
            return sum;
        };
        for (int iteration = 0; iteration < 500; ++iteration) {
            std::array<Real, 3> gradient{};
            std::array<std::array<Real, 4>, 3> hessian{};
            for (int e = 0; e < 3; ++e) {
                gradient[e] = free[e] ? -b_[e] : 0;
                hessian[e][e] = free[e] ? 0 : 1;
            }
            for (size_t j = 0; j < gases_.size(); ++j) {
                const auto& a = system_.species[gases_[j]].atoms;
                const Real n = amount(j, pi, lnN);
                for (int e = 0; e < 3; ++e) {
                    if (!free[e])
                        continue;
                    gradient[e] += a[e] * n;
                    for (int f = 0; f < 3; ++f)
                        hessian[e][f] += free[f] ? a[e] * a[f] * n : 0;
                }
            }
            bool small = true;
            for (int e = 0; e < 3; ++e)
                small = small && std::abs(gradient[e]) <= 1e-16L * (b_[e] + 1e-300L);
            if (small)
                return;
            // A slight ridge keeps the step defined where one species rules.
            const Real ridge = 1e-12L * (hessian[0][0] + hessian[1][1] + hessian[2][2]) + 1e-4000L;
            for (int e = 0; e < 3; ++e) {
                hessian[e][3] = -gradient[e];
                hessian[e][e] += free[e] ? ridge : 0;
            }
            // Gauss-Jordan with partial pivoting.
            for (int c = 0; c < 3; ++c) {
                int p = c;
                for (int r = c + 1; r < 3; ++r)
                    if (std::abs(hessian[r][c]) > std::abs(hessian[p][c]))
                        p = r;
                std::swap(hessian[c], hessian[p]);
                for (int r = 0; r < 3; ++r) {
                    if (r == c || hessian[c][c] == 0)
                        continue;
                    const Real f = hessian[r][c] / hessian[c][c];
                    for (int k = c; k < 4; ++k)
                        hessian[r][k] -= f * hessian[c][k];
                }
            }
            std::array<Real, 3> step{};
            for (int e = 0; e < 3; ++e)
                step[e] = hessian[e][e] == 0 ? 0 : hessian[e][3] / hessian[e][e];
            const Real before = objective(pi);
            Real slope = 0;
            for (int e = 0; e < 3; ++e)
                slope += gradient[e] * step[e];
            Real t = 1;
            std::array<Real, 3> trial = pi;
            for (int halvings = 0; halvings < 60; ++halvings, t /= 2) {
                for (int e = 0; e < 3; ++e)
                    trial[e] = pi[e] + t * step[e];
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
    std::array<Real, 3> b_{};
    Real inert_ = 0;
    Real feedTotal_ = 0;
};

struct CompositionCase {
    const char* label;
    QStringList feed;
    std::vector<double> moles;
    double pressure;
    bool graphite;
    QStringList species;
    // Where graphite must deposit (kelvin, inclusive) and must not: -1 for none.
    double graphiteFrom, graphiteTo;
};

TEST(GibbsEquilibrium, MoleFractionsAgreeWithAnIndependentSolution)
{
    const CompoundIndex database = databaseWithNitrogen();
    const std::vector<CompositionCase> cases = {
        {"steam reforming 1:3, 1 atm", {u"CH4"_s, u"H2O"_s}, {1, 3}, 1, true, {}, -1, -1},
        {"steam reforming 1:3, 20 atm", {u"CH4"_s, u"H2O"_s}, {1, 3}, 20, false, {}, -1, -1},
        {"steam reforming with 5 N2",
         {u"CH4"_s, u"H2O"_s, u"N2"_s},
         {1, 3, 5},
         1,
         false,
         {},
         -1,
         -1},
        {"dry reforming 1:1 with graphite", {u"CH4"_s, u"CO2"_s}, {1, 1}, 1, true, {}, 600, 1000},
        {"methanol synthesis 1:2, 50 atm",
         {u"CO"_s, u"H2"_s},
         {1, 2},
         50,
         false,
         {u"CH3OH"_s, u"CO2"_s, u"H2O"_s, u"CH4"_s},
         -1,
         -1},
        {"hydrogen and oxygen 2:1, 1e-3 atm", {u"H2"_s, u"O2"_s}, {2, 1}, 1e-3, false, {}, -1, -1},
    };
    for (const CompositionCase& c : cases) {
        SCOPED_TRACE(c.label);
        CompositionRequest request;
        request.feedNames = c.feed;
        request.feedMoles = c.moles;
        request.totalPressure = c.pressure;
        request.graphite = c.graphite;
        request.species = c.species;
        const CompositionSystem system = compositionSystem(request, database);
        const CompositionTable table = compositionTable(system, kConstants);
        ASSERT_EQ(table.kelvin.size(), 9u);
        ASSERT_EQ(table.celsius.size(), 9u);
        for (const auto* series : {&table.kelvin, &table.celsius}) {
            for (const CompositionPoint& point : *series) {
                SCOPED_TRACE(point.kelvin);
                const Reference reference = ReferenceSolve(system, point.kelvin).solve();
                ASSERT_EQ(point.moleFractions.size(), reference.fractions.size());
                for (size_t i = 0; i < reference.fractions.size(); ++i) {
                    const double x = double(reference.fractions[i]);
                    EXPECT_NEAR(point.moleFractions[i], x, 1e-9 + 1e-6 * x)
                        << table.species[qsizetype(i)].toStdString();
                }
                const double graphite = double(reference.graphite);
                EXPECT_NEAR(point.graphite, graphite, 1e-9 + 1e-6 * graphite);
                if (c.graphite) {
                    const bool expected =
                        point.kelvin >= c.graphiteFrom && point.kelvin <= c.graphiteTo;
                    if (expected)
                        EXPECT_GT(point.graphite, 0);
                    if (c.graphiteFrom < 0)
                        EXPECT_EQ(point.graphite, 0);
                }
            }
        }
    }
}

// Where the species are those of one reaction, the composition's conversion of
// the limiting compound is the run's, at the tabulated temperatures.
TEST(GibbsEquilibrium, OneReactionMatchesTheRun)
{
    struct Case {
        const char* label;
        std::array<QString, 2> reactants;
        std::array<double, 2> ratios; // limiting compound first, at 1
        std::array<QString, 2> products;
        std::array<double, 2> productCoefficients;
        double reactantCoefficient; // of the second reactant
        double pressure;
    };
    const std::vector<Case> cases = {
        {"water gas shift, steam 3:1, 5 atm",
         {u"CO"_s, u"H2O"_s},
         {1, 3},
         {u"CO2"_s, u"H2"_s},
         {1, 1},
         1,
         5},
        {"water gas shift, 1:1, 1 atm",
         {u"CO"_s, u"H2O"_s},
         {1, 1},
         {u"CO2"_s, u"H2"_s},
         {1, 1},
         1,
         1},
        {"methanation, H2 4:1, 10 atm",
         {u"CO"_s, u"H2"_s},
         {1, 4},
         {u"CH4"_s, u"H2O"_s},
         {1, 1},
         3,
         10},
    };
    const QString databasePath = QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat");
    const CompoundIndex database = CompoundIndex::load(databasePath);
    SolverLibrary library(QStringLiteral(NORVANTA_SOLVER_PATH));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ReactionDefinition definition;
        definition.reactantCount = 2;
        definition.productCount = 2;
        definition.limitingCompound = 1;
        definition.totalPressure = c.pressure;
        for (int k = 0; k < 2; ++k) {
            definition.reactantNames[k] = c.reactants[k];
            definition.reactantRatios[k] = c.ratios[k];
            definition.productNames[k] = c.products[k];
            definition.productCoefficients[k] = c.productCoefficients[k];
        }
        definition.reactantCoefficients = {1, c.reactantCoefficient, 0, 0};
        TemperatureSweep sweep(definition, database, library, kConstants.kpFactor, false, {});
        sweep.computeFirstRows();
        sweep.computeMiddleRows(500, 1000);

        CompositionRequest request;
        request.feedNames = {c.reactants[0], c.reactants[1]};
        request.feedMoles = {c.ratios[0], c.ratios[1]};
        request.totalPressure = c.pressure;
        request.species = {c.products[0], c.products[1]};
        const CompositionSystem system = compositionSystem(request, database);
        ASSERT_EQ(system.species.size(), 4u);
        // CO is the limiting compound; its carbon is either still CO or in
        // the one carbon product.
        const auto indexOf = [&](const QString& name) {
            for (size_t i = 0; i < system.species.size(); ++i)
                if (system.species[i].name == name)
                    return i;
            ADD_FAILURE() << name.toStdString();
            return size_t(0);
        };
        const size_t co = indexOf(c.reactants[0]);
        const size_t product = indexOf(c.products[0]);
        for (int kelvin = 300; kelvin <= 1000; kelvin += 100) {
            SCOPED_TRACE(kelvin);
            const CompositionPoint point = equilibriumAt(system, kelvin, kConstants);
            const double x = point.moleFractions[co];
            const double conversion =
                point.moleFractions[product] / (x + point.moleFractions[product]);
            const double expected = sweep.table().kelvin[size_t((kelvin - 300) / 25)].conversion;
            EXPECT_NEAR(conversion, expected, 1e-12 * expected);
        }
    }
}

// A request that cannot be computed gets its message and nothing else.
TEST(GibbsEquilibrium, RefusesBadRequests)
{
    const QString base = databaseText(gasCompounds());
    const QString huge = compoundRecordLine(u"Huge"_s, {1, 4, 0}, {1, 2, 3, 4, 5, 6, 7, 8})
                             .replace(u"8"_s, u"1e999"_s);
    const QString ethane = compoundRecordLine(u"C2H6"_s, {2, 6, 0}, {-7, -3, 1, 5, 9, 13, 17, 21});
    struct Case {
        const char* label;
        QString extra; // records after the usual gases
        QStringList feed;
        std::vector<double> moles;
        double pressure;
        QStringList species;
        QString message;
        int failureCode;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const QString ratio = u"反応系(No.2)の分圧(比)を正しく入力してください"_s;
    const QString overflow = runFailureMessage(6).text;
    const std::vector<Case> cases = {
        {"no feed", {}, {}, {}, 1, {}, u"反応系を入力してください"_s, 0},
        {"only empty names", {}, {u""_s}, {1}, 1, {}, u"反応系を入力してください"_s, 0},
        {"unknown feed",
         {},
         {u"H2"_s, u"XeF6"_s},
         {1, 1},
         1,
         {},
         u"反応系(No.2)はファイルに登録されていません"_s,
         0},
        {"names are exact",
         {},
         {u"H2"_s, u"h2o"_s},
         {1, 1},
         1,
         {},
         u"反応系(No.2)はファイルに登録されていません"_s,
         0},
        {"zero ratio", {}, {u"H2"_s, u"O2"_s}, {1, 0}, 1, {}, ratio, 0},
        {"negative ratio", {}, {u"H2"_s, u"O2"_s}, {1, -2}, 1, {}, ratio, 0},
        {"infinite ratio", {}, {u"H2"_s, u"O2"_s}, {1, inf}, 1, {}, ratio, 0},
        {"NaN ratio", {}, {u"H2"_s, u"O2"_s}, {1, std::nan("")}, 1, {}, ratio, 0},
        {"missing ratio", {}, {u"H2"_s, u"O2"_s}, {1}, 1, {}, ratio, 0},
        {"zero pressure",
         {},
         {u"H2"_s, u"O2"_s},
         {2, 1},
         0,
         {},
         u"全圧を正しく入力してください"_s,
         0},
        {"unknown species",
         {},
         {u"H2"_s, u"O2"_s},
         {2, 1},
         1,
         {u"H2O2"_s},
         u"H2O2はファイルに登録されていません"_s,
         0},
        {"species of other elements",
         {},
         {u"H2"_s, u"O2"_s},
         {2, 1},
         1,
         {u"H2O"_s, u"CH4"_s},
         u"CH4は反応系にない元素を含んでいます"_s,
         0},
        {"non-finite feed record", huge, {u"Huge"_s, u"H2O"_s}, {1, 1}, 1, {}, overflow, 6},
        {"non-finite record among the species",
         huge,
         {u"CO"_s, u"H2"_s},
         {1, 1},
         1,
         {},
         overflow,
         6},
        {"non-finite record in the species list",
         huge,
         {u"CO"_s, u"H2"_s},
         {1, 1},
         1,
         {u"Huge"_s},
         overflow,
         6},
        {"record cut short",
         u"\"Short\", 1, 4, 0, -12"_s,
         {u"Short"_s, u"H2O"_s},
         {1, 1},
         1,
         {},
         runFailureMessage(62).text,
         62},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const CompoundIndex database = CompoundIndex::parse(base + ethane + c.extra + u"\r\n"_s);
        CompositionRequest request;
        request.feedNames = c.feed;
        request.feedMoles = c.moles;
        request.totalPressure = c.pressure;
        request.species = c.species;
        try {
            compositionSystem(request, database);
            ADD_FAILURE() << "accepted";
        } catch (const CompositionError& error) {
            EXPECT_EQ(error.message.text, c.message);
            EXPECT_EQ(error.failureCode, c.failureCode);
        }
    }
    // A broken record of other elements is no species of this feed.
    const CompoundIndex database = CompoundIndex::parse(base + huge + u"\r\n"_s);
    CompositionRequest request;
    request.feedNames = {u"H2"_s, u"O2"_s};
    request.feedMoles = {2, 1};
    EXPECT_EQ(compositionSystem(request, database).species.size(), 3u);
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
        QStringList feed;
        std::vector<double> moles;
        QStringList species;
        QStringList expected;
        std::vector<double> feedMoles; // per species
    };
    const std::vector<Case> cases = {
        {"hydrogen and oxygen",
         {u"H2"_s, u"O2"_s},
         {2, 1},
         {},
         {u"H2"_s, u"H2O"_s, u"O2"_s},
         {2, 0, 1}},
        {"every C, H, O compound once, an alias as its first name",
         {u"methane"_s, u"H2O"_s, u"CH4"_s},
         {1, 3, 0.5},
         {},
         {u"CO2"_s, u"CH4"_s, u"CO"_s, u"H2"_s, u"H2O"_s, u"CH3OH"_s, u"O2"_s},
         {0, 1.5, 0, 0, 3, 0, 0}},
        {"an inert as fed, the other not",
         {u"H2"_s, u"O2"_s, u"Ar"_s},
         {2, 1, 5},
         {},
         {u"H2"_s, u"H2O"_s, u"O2"_s, u"Ar"_s},
         {2, 0, 1, 5}},
        {"a species list and the feed",
         {u"CO"_s, u"H2"_s},
         {1, 2},
         {u"CH3OH"_s, u"methane"_s, u"N2"_s},
         {u"CH4"_s, u"CO"_s, u"H2"_s, u"CH3OH"_s},
         {0, 1, 2, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CompositionRequest request;
        request.feedNames = c.feed;
        request.feedMoles = c.moles;
        request.species = c.species;
        const CompositionSystem system = compositionSystem(request, database);
        QStringList names;
        for (const GibbsSpecies& s : system.species)
            names.append(s.name);
        EXPECT_EQ(names, c.expected);
        EXPECT_EQ(system.feedMoles, c.feedMoles);
    }
}

} // namespace

namespace {

// With no species to take up its hydrogen, methane and steam cannot react:
// the feed's stoichiometry rules the other species out, exactly.
TEST(GibbsEquilibrium, SpeciesTheFeedCannotMakeStayAtZero)
{
    const CompoundIndex database =
        CompoundIndex::load(QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"));
    CompositionRequest request;
    request.feedNames = {u"CH4"_s, u"H2O"_s};
    request.feedMoles = {1, 3};
    request.species = {u"CO"_s, u"CH3OH"_s, u"O3"_s};
    const CompositionSystem system = compositionSystem(request, database);
    for (const double kelvin : {300.0, 700.0, 1100.0}) {
        const CompositionPoint point = equilibriumAt(system, kelvin, kConstants);
        for (size_t i = 0; i < system.species.size(); ++i) {
            const QString& name = system.species[i].name;
            const double expected = name == u"CH4"_s ? 0.25 : name == u"H2O"_s ? 0.75 : 0;
            EXPECT_NEAR(point.moleFractions[i], expected, 1e-14) << name.toStdString();
        }
    }
}

} // namespace
