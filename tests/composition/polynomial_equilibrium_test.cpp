// The composition over a temperature range, with condensed phases and at the
// adiabatic temperature, from the polynomial file, checked against thermo.inp
// read here on its own: each species' G/RT and H/RT from its coefficients,
// the element counts from its record.
#include "composition/gibbs_equilibrium.h"
#include "engine/constants.h"
#include "thermo/thermo_data.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace norvanta;
using namespace Qt::StringLiterals;

namespace {

using Real = long double;

// One species of thermo.inp: its counts and temperature intervals (T range,
// a1..a7, b1, b2).
struct Inp {
    std::map<QString, Real> counts;
    std::vector<std::array<Real, 11>> intervals;
    bool condensed = false;

    Real count(const QString& element) const
    {
        const auto found = counts.find(element);
        return found == counts.end() ? 0 : found->second;
    }
    // H/RT and S/R at T; NaN outside the data.
    std::pair<Real, Real> reduced(Real t) const
    {
        for (const auto& c : intervals) {
            if (t < c[0] || t > c[1])
                continue;
            const Real h = -c[2] / (t * t) + c[3] * std::log(t) / t + c[4] + c[5] * t / 2 +
                           c[6] * t * t / 3 + c[7] * t * t * t / 4 + c[8] * t * t * t * t / 5 +
                           c[9] / t;
            const Real s = -c[2] / (2 * t * t) - c[3] / t + c[4] * std::log(t) + c[5] * t +
                           c[6] * t * t / 2 + c[7] * t * t * t / 3 + c[8] * t * t * t * t / 4 +
                           c[10];
            return {h, s};
        }
        return {NAN, NAN};
    }
    // G/RT, for a gas at 1 atm: G/RT(1 bar) + ln 1.01325 (a condensed phase
    // taken as pressure independent), with thermo.inp's R (8.314510
    // J/(mol K)), taken to the run's R (1.987216 cal/(mol K)) as the
    // composition divides dfG in kcal by it.
    Real gOverRT(Real t) const
    {
        const auto [h, s] = reduced(t);
        return (h - s + (condensed ? 0 : std::log(1.01325L))) * 8.314510L / 4.184L / 1.987216L;
    }
    // H in units of R K.
    Real enthalpy(Real t) const { return reduced(t).first * t; }
};

std::map<QString, Inp> readInp()
{
    QFile file(QStringLiteral(NORVANTA_SOURCE_DIR "/data/thermo.inp"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n');
    std::map<QString, Inp> all;
    const auto number = [](const QString& line, int at, int width) {
        return Real(line.mid(at, width).trimmed().replace(u'D', u'E').toDouble());
    };
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QString& head = lines[i];
        const QString& next = lines[i + 1];
        bool ok = false;
        const int intervals = next.left(2).trimmed().toInt(&ok);
        bool phaseRead = false;
        const int phase = next.mid(50, 2).trimmed().toInt(&phaseRead);
        if (head.isEmpty() || head[0] == u' ' || head[0] == u'!' || !ok || next.size() < 52 ||
            !phaseRead || intervals < 1 || intervals > 9)
            continue; // not a species record
        const QString name = head.left(18).trimmed();
        if (all.count(name))
            continue;
        Inp inp;
        inp.condensed = phase != 0;
        for (int e = 0; e < 5; ++e) {
            const QString symbol = next.mid(10 + 8 * e, 2).trimmed();
            if (!symbol.isEmpty() && number(next, 12 + 8 * e, 6) != 0)
                inp.counts[symbol.left(1) + symbol.mid(1).toLower()] += number(next, 12 + 8 * e, 6);
        }
        for (int k = 0; k < intervals; ++k) {
            const QString& range = lines[i + 2 + 3 * k];
            const QString& a = lines[i + 3 + 3 * k];
            const QString& b = lines[i + 4 + 3 * k];
            std::array<Real, 11> c{number(range, 0, 11), number(range, 11, 11)};
            for (int n = 0; n < 5; ++n)
                c[2 + n] = number(a, 16 * n, 16);
            c[7] = number(b, 0, 16), c[8] = number(b, 16, 16);
            c[9] = number(b, 48, 16), c[10] = number(b, 64, 16);
            inp.intervals.push_back(c);
        }
        all[name] = inp;
    }
    return all;
}

ThermoData shippedThermo()
{
    return ThermoData::load(QStringLiteral(NORVANTA_SOURCE_DIR "/data/NorvaneThermo.dat"),
                            QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"));
}

const std::map<QString, Inp>& inpData()
{
    static const std::map<QString, Inp> inp = readInp();
    return inp;
}

// One point against thermo.inp: its element balances (gas and condensed),
// every gas at the amount its G/RT and the element potentials fitted to the
// abundant species and the condensed species present give, a condensed
// species present exactly at its elements' potentials and an absent one not
// below them.
void expectEquilibrium(const CompositionSystem& system, const CompositionTable& table,
                       const CompositionPoint& point, double pressure)
{
    SCOPED_TRACE(point.kelvin);
    ASSERT_FALSE(point.failed()) << point.failure.toStdString();
    const std::map<QString, Inp>& inp = inpData();
    std::vector<const Inp*> gases;
    QStringList elements;
    for (const GibbsSpecies& s : system.species) {
        ASSERT_TRUE(s.thermo && inp.count(s.thermo->dataName)) << s.name.toStdString();
        gases.push_back(&inp.at(s.thermo->dataName));
        for (const auto& [symbol, count] : gases.back()->counts)
            elements.append(symbol);
    }
    elements.removeDuplicates();
    // The table's condensed columns, and every condensed species the data
    // cover here.
    std::vector<std::pair<const Inp*, double>> condensed;
    for (const GibbsSpecies& s : system.condensedPhases) {
        ASSERT_TRUE(inp.count(s.name)) << s.name.toStdString();
        const qsizetype column = table.condensed.indexOf(s.name);
        const Inp* data = &inp.at(s.name);
        if (std::isnan(double(data->gOverRT(point.kelvin))))
            continue;
        condensed.emplace_back(data, column < 0 ? 0.0 : point.condensedMoles[size_t(column)]);
    }
    const size_t n = size_t(elements.size());
    const Real t = point.kelvin;

    Real fed = 0;
    for (const double m : system.feedMoles)
        fed += m;
    for (const QString& e : elements) {
        Real in = 0, out = 0;
        for (size_t j = 0; j < gases.size(); ++j) {
            in += gases[j]->count(e) * system.feedMoles[j] / fed;
            out += gases[j]->count(e) * point.moleFractions[j] * point.gasMoles;
        }
        for (const auto& [data, moles] : condensed)
            out += data->count(e) * moles;
        EXPECT_NEAR(double(out), double(in), 1e-10 * double(in)) << e.toStdString();
    }
    // Element potentials by least squares over the gases above 1e-30 (a
    // trace's log is as exact as the trace) and the condensed species present.
    std::vector<std::vector<Real>> m(n, std::vector<Real>(n + 1, 0));
    const auto fit = [&](const Inp& data, Real potential) {
        for (size_t e = 0; e < n; ++e) {
            for (size_t f = 0; f < n; ++f)
                m[e][f] += data.count(elements[e]) * data.count(elements[f]);
            m[e][n] += data.count(elements[e]) * potential;
        }
    };
    for (size_t j = 0; j < gases.size(); ++j) {
        const Real x = point.moleFractions[j];
        if (x > 1e-30)
            fit(*gases[j], gases[j]->gOverRT(t) + std::log(Real(pressure)) + std::log(x));
    }
    for (const auto& [data, moles] : condensed) {
        if (moles > 0)
            fit(*data, data->gOverRT(t));
    }
    for (size_t col = 0; col < n; ++col) {
        for (size_t r = col + 1; r < n; ++r)
            if (std::abs(m[r][col]) > std::abs(m[col][col]))
                std::swap(m[r], m[col]);
        ASSERT_GT(std::abs(m[col][col]), 1e-12L);
        for (size_t r = 0; r < n; ++r) {
            const Real f = r == col ? 0 : m[r][col] / m[col][col];
            for (size_t k = col; k <= n; ++k)
                m[r][k] -= f * m[col][k];
        }
    }
    const auto potential = [&](const Inp& data) {
        Real sum = 0;
        for (size_t e = 0; e < n; ++e)
            sum += data.count(elements[e]) * m[e][n] / m[e][e];
        return sum;
    };
    for (size_t j = 0; j < gases.size(); ++j) {
        const Real lnX = potential(*gases[j]) - gases[j]->gOverRT(t) - std::log(Real(pressure));
        const double x = double(std::exp(lnX));
        EXPECT_NEAR(point.moleFractions[j], x, 1e-9 + 1e-6 * x) << system.species[j].name.toStdString();
    }
    for (const auto& [data, moles] : condensed) {
        const Real gap = potential(*data) - data->gOverRT(t);
        if (moles > 0)
            EXPECT_NEAR(double(gap), 0, 1e-6);
        else
            EXPECT_LE(double(gap), 1e-6);
    }
}

// Each point of each case against thermo.inp, and the species that must
// appear where they do.
TEST(PolynomialEquilibrium, MeetsTheEquilibriumConditionOfThermoInp)
{
    const ThermoData thermo = shippedThermo();
    ASSERT_TRUE(thermo.hasPolynomials());
    enum Phases { GasOnly, Graphite, Condensed };
    struct Case {
        const char* label;
        QStringList feed;
        std::vector<double> moles;
        double pressure, from, to, step;
        Phases phases;
        QStringList present; // at the range's end, above 1e-6
        QString deposit;     // a condensed species present at `from`
        bool gone;           // and gone at `to`
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"ammonia synthesis", {u"N2"_s, u"H2"_s}, {1, 3}, 200, 500, 900, 100, GasOnly, {u"NH3"_s}, {}, false},
        {"sulfur dioxide oxidation", {u"SO2"_s, u"O2"_s, u"N2"_s}, {1, 0.5, 4}, 1, 600, 1100, 100, GasOnly, {u"SO3"_s}, {}, false},
        {"methane in air", {u"CH4"_s, u"O2"_s, u"N2"_s}, {1, 2, 7.52}, 1, 1500, 3000, 100, GasOnly, {u"NO"_s, u"OH"_s, u"H"_s, u"O"_s}, {}, false},
        {"hydrogen chloride oxidation", {u"HCl"_s, u"O2"_s}, {4, 1}, 1, 500, 900, 100, GasOnly, {u"Cl2"_s, u"H2O"_s}, {}, false},
        {"steam reforming", {u"CH4"_s, u"H2O"_s}, {1, 3}, 25, 700, 1300, 100, GasOnly, {u"CO"_s, u"H2"_s}, {}, false},
        {"Claus reaction with liquid sulfur", {u"H2S"_s, u"SO2"_s}, {2, 1}, 1, 500, 1500, 100, Condensed, {u"S2"_s, u"H2O"_s}, u"S(L)"_s, true},
        {"water condensing from hydrogen burnt in nitrogen", {u"H2"_s, u"O2"_s, u"N2"_s}, {2, 1, 4}, 1, 300, 400, 20, Condensed, {u"H2O"_s}, u"H2O(L)"_s, true},
        {"dry reforming beside graphite", {u"CH4"_s, u"CO2"_s}, {1, 1}, 1, 600, 1300, 100, Graphite, {u"CO"_s, u"H2"_s}, u"C(gr)"_s, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CompositionRequest request;
        request.feedNames = c.feed;
        request.feedMoles = c.moles;
        request.totalPressure = c.pressure;
        request.graphite = c.phases == Graphite;
        request.condensed = c.phases == Condensed;
        request.range = TemperatureRange{c.from, c.to, c.step, false};
        const CompositionSystem system = compositionSystem(request, thermo);
        const CompositionTable table = compositionTable(system, PhysicalConstants{});
        ASSERT_EQ(table.series.size(), 1u);
        const std::vector<CompositionPoint>& points = table.series[0].points;
        for (const CompositionPoint& point : points)
            expectEquilibrium(system, table, point, c.pressure);
        for (const QString& name : c.present) {
            const qsizetype j = table.species.indexOf(name);
            ASSERT_GE(j, 0) << name.toStdString();
            EXPECT_GT(points.back().moleFractions[size_t(j)], 1e-6) << name.toStdString();
        }
        if (!c.deposit.isEmpty()) {
            const qsizetype k = table.condensed.indexOf(c.deposit);
            ASSERT_GE(k, 0) << c.deposit.toStdString();
            EXPECT_GT(points.front().condensedMoles[size_t(k)], 0);
            if (c.gone) {
                EXPECT_EQ(points.back().condensedMoles[size_t(k)], 0);
            }
        }
    }
}

// The temperature a burner reaches: methane in air from 298.15 K, at 1 and
// 10 atm, the products' enthalpy at it equal to the feed's by thermo.inp and
// their composition the equilibrium's there.
TEST(PolynomialEquilibrium, AdiabaticTemperatureBalancesTheEnthalpy)
{
    CompositionRequest request;
    request.feedNames = {u"CH4"_s, u"O2"_s, u"N2"_s};
    request.feedMoles = {1, 2, 7.52};
    request.pressures = {1, 10};
    request.adiabaticFeedKelvin = 298.15;
    const CompositionSystem system = compositionSystem(request, shippedThermo());
    const CompositionTable table = compositionTable(system, PhysicalConstants{});
    ASSERT_EQ(table.series.size(), 2u);
    const std::map<QString, Inp>& inp = inpData();
    const double expected[] = {2224, 2267};
    for (size_t p = 0; p < 2; ++p) {
        const CompositionSeries& series = table.series[p];
        EXPECT_EQ(series.name, u"H"_s);
        ASSERT_EQ(series.points.size(), 1u);
        const CompositionPoint& point = series.points[0];
        ASSERT_FALSE(point.failed()) << point.failure.toStdString();
        EXPECT_NEAR(point.kelvin, expected[p], 0.5);
        Real feed = 0, products = 0;
        double fed = 0;
        for (size_t j = 0; j < system.species.size(); ++j) {
            const Inp& data = inp.at(system.species[j].thermo->dataName);
            fed += system.feedMoles[j];
            feed += system.feedMoles[j] * data.enthalpy(298.15L);
            products += point.moleFractions[j] * point.gasMoles * data.enthalpy(point.kelvin);
        }
        EXPECT_NEAR(double(products), double(feed / fed), 1e-7 * std::abs(double(feed / fed)));
        expectEquilibrium(system, table, point, series.pressure);
    }
}

// What adiabatic equilibrium refuses: data without enthalpies, a feed
// temperature its data do not cover; and a feed that releases no heat.
TEST(PolynomialEquilibrium, AdiabaticRefusalsAndAnInertFeed)
{
    const ThermoData thermo = shippedThermo();
    const auto adiabatic = [](QStringList feed, std::vector<double> moles, double kelvin) {
        CompositionRequest request;
        request.feedNames = feed;
        request.feedMoles = moles;
        request.adiabaticFeedKelvin = kelvin;
        return request;
    };
    const QString needs = u"断熱平衡には化合物の熱力学データ(多項式)が必要です"_s;
    struct Case {
        const char* label;
        CompositionRequest request;
        bool polynomials;
        QString message;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"Norvane.dat alone", adiabatic({u"CH4"_s, u"O2"_s}, {1, 2}, 298.15), false, needs},
        {"feed colder than its data", adiabatic({u"CH4"_s, u"O2"_s}, {1, 2}, 100), true,
         u"原料の温度がCH4のデータの範囲(200～6000 K)の外です"_s},
        {"feed at 0 K", adiabatic({u"CH4"_s, u"O2"_s}, {1, 2}, 0), true,
         u"原料の温度がCH4のデータの範囲(200～6000 K)の外です"_s},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        try {
            if (c.polynomials)
                compositionSystem(c.request, thermo);
            else
                compositionSystem(c.request, *thermo.database());
            ADD_FAILURE() << "accepted";
        } catch (const CompositionError& error) {
            EXPECT_EQ(error.message.text, c.message);
        }
    }
    // Argon alone holds its enthalpy at any temperature: no temperature but
    // the feed's balances it, and that is the answer.
    const CompositionTable argon =
        compositionTable(compositionSystem(adiabatic({u"Ar"_s}, {1}, 500), thermo), PhysicalConstants{});
    ASSERT_FALSE(argon.series[0].points[0].failed()) << argon.series[0].points[0].failure.toStdString();
    EXPECT_NEAR(argon.series[0].points[0].kelvin, 500, 1e-6);
}

} // namespace

namespace {

// Beyond a species' data it is left out (fraction exactly 0) and named once.
TEST(PolynomialEquilibrium, LeavesOutSpeciesBeyondTheirData)
{
    const ThermoData thermo = shippedThermo();
    CompositionRequest request;
    request.feedNames = {u"H2"_s, u"O2"_s};
    request.feedMoles = {2, 1};
    request.range = TemperatureRange{5900, 6100, 200, false};
    const CompositionTable table =
        compositionTable(compositionSystem(request, thermo), PhysicalConstants{});
    const qsizetype water = table.species.indexOf(u"H2O"_s);
    ASSERT_GE(water, 0);
    EXPECT_EQ(table.notices.filter(u"H2O: "_s).size(), 1);
    EXPECT_GT(table.series[0].points[0].moleFractions[size_t(water)], 0);
    EXPECT_EQ(table.series[0].points[1].moleFractions[size_t(water)], 0);
}

} // namespace
