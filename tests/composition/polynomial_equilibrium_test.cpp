// The composition over a temperature range from the polynomial file, checked
// against thermo.inp read here on its own: each species' G/RT from its
// coefficients, the element counts from its record.
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

// One gas of thermo.inp: its counts and temperature intervals (T range, a1..a7, b1, b2).
struct Inp {
    std::map<QString, Real> counts;
    std::vector<std::array<Real, 11>> intervals;
    // G/RT at 1 atm: G/RT(1 bar) + ln 1.01325, with thermo.inp's R (8.314510
    // J/(mol K)), taken to the run's R (1.987216 cal/(mol K)) as the
    // composition divides dfG in kcal by it.
    Real gOverRT(Real t) const
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
            return (h - s + std::log(1.01325L)) * 8.314510L / 4.184L / 1.987216L;
        }
        return NAN;
    }
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
        if (head.isEmpty() || head[0] == u' ' || head[0] == u'!' || !ok || next.size() < 52 ||
            next.mid(50, 2).trimmed() != u"0"_s)
            continue; // not a gas record
        const QString name = head.left(18).trimmed();
        if (all.count(name))
            continue;
        Inp inp;
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

// Each point: its element balances, and every species at the amount its
// G/RT and the element potentials fitted to the abundant species give.
TEST(PolynomialEquilibrium, MeetsTheEquilibriumConditionOfThermoInp)
{
    const std::map<QString, Inp> inp = readInp();
    const ThermoData thermo =
        ThermoData::load(QStringLiteral(NORVANTA_SOURCE_DIR "/data/NorvaneThermo.dat"),
                         QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"));
    ASSERT_TRUE(thermo.hasPolynomials());
    struct Case {
        const char* label;
        QStringList feed;
        std::vector<double> moles;
        double pressure, from, to;
        QStringList present; // at the range's end, above 1e-6
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"ammonia synthesis", {u"N2"_s, u"H2"_s}, {1, 3}, 200, 500, 900, {u"NH3"_s}},
        {"sulfur dioxide oxidation", {u"SO2"_s, u"O2"_s, u"N2"_s}, {1, 0.5, 4}, 1, 600, 1100, {u"SO3"_s}},
        {"methane in air", {u"CH4"_s, u"O2"_s, u"N2"_s}, {1, 2, 7.52}, 1, 1500, 3000, {u"NO"_s, u"OH"_s, u"H"_s, u"O"_s}},
        {"hydrogen chloride oxidation", {u"HCl"_s, u"O2"_s}, {4, 1}, 1, 500, 900, {u"Cl2"_s, u"H2O"_s}},
        {"steam reforming", {u"CH4"_s, u"H2O"_s}, {1, 3}, 25, 700, 1300, {u"CO"_s, u"H2"_s}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        CompositionRequest request;
        request.feedNames = c.feed;
        request.feedMoles = c.moles;
        request.totalPressure = c.pressure;
        request.range = TemperatureRange{c.from, c.to, 100, false};
        const CompositionSystem system = compositionSystem(request, thermo);
        const CompositionTable table = compositionTable(system, PhysicalConstants{});
        ASSERT_EQ(table.series.size(), 1u);
        std::vector<const Inp*> data;
        QStringList elements;
        for (const GibbsSpecies& s : system.species) {
            ASSERT_TRUE(s.thermo && inp.count(s.thermo->dataName)) << s.name.toStdString();
            data.push_back(&inp.at(s.thermo->dataName));
            for (const auto& [symbol, count] : data.back()->counts)
                elements.append(symbol);
        }
        elements.removeDuplicates();
        for (const CompositionPoint& point : table.series[0].points) {
            SCOPED_TRACE(point.kelvin);
            ASSERT_FALSE(point.failed()) << point.failure.toStdString();
            const size_t n = size_t(elements.size());
            // Balances: moles per mole of feed, fed and found.
            Real fed = 0;
            for (const double m : c.moles)
                fed += m;
            for (const QString& e : elements) {
                Real in = 0, out = 0;
                for (size_t j = 0; j < data.size(); ++j) {
                    const Real a = data[j]->counts.count(e) ? data[j]->counts.at(e) : 0;
                    in += a * system.feedMoles[j] / fed;
                    out += a * point.moleFractions[j] * point.gasMoles;
                }
                EXPECT_NEAR(double(out), double(in), 1e-10 * double(in)) << e.toStdString();
            }
            // Element potentials by least squares over the species above 1e-7.
            std::vector<std::vector<Real>> m(n, std::vector<Real>(n + 1, 0));
            std::vector<Real> mu(data.size());
            for (size_t j = 0; j < data.size(); ++j) {
                const Real x = point.moleFractions[j];
                mu[j] = data[j]->gOverRT(point.kelvin) + std::log(Real(c.pressure)) + std::log(x);
                if (!(x > 1e-7))
                    continue;
                for (size_t e = 0; e < n; ++e) {
                    const Real ae = data[j]->counts.count(elements[e]) ? data[j]->counts.at(elements[e]) : 0;
                    for (size_t f = 0; f < n; ++f)
                        m[e][f] += ae * (data[j]->counts.count(elements[f]) ? data[j]->counts.at(elements[f]) : 0);
                    m[e][n] += ae * mu[j];
                }
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
            for (size_t j = 0; j < data.size(); ++j) {
                Real lnX = -data[j]->gOverRT(point.kelvin) - std::log(Real(c.pressure));
                for (size_t e = 0; e < n; ++e)
                    lnX += (data[j]->counts.count(elements[e]) ? data[j]->counts.at(elements[e]) : 0) *
                           m[e][n] / m[e][e];
                const double x = double(std::exp(lnX));
                EXPECT_NEAR(point.moleFractions[j], x, 1e-9 + 1e-6 * x) << system.species[j].name.toStdString();
            }
        }
        for (const QString& name : c.present) {
            const qsizetype j = table.species.indexOf(name);
            ASSERT_GE(j, 0) << name.toStdString();
            EXPECT_GT(table.series[0].points.back().moleFractions[size_t(j)], 1e-6) << name.toStdString();
        }
    }
}

} // namespace

namespace {

// Beyond a species' data it is left out (fraction exactly 0) and named once.
TEST(PolynomialEquilibrium, LeavesOutSpeciesBeyondTheirData)
{
    const ThermoData thermo =
        ThermoData::load(QStringLiteral(NORVANTA_SOURCE_DIR "/data/NorvaneThermo.dat"),
                         QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat"));
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
