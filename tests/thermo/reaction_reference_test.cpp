// ln Kp of three reactions from the door against a reference computed from
// thermo.inp by a script of its own (lnkp_reference.py).
#include "thermo/thermo_data.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace norvanta::testing {
namespace {

using namespace Qt::StringLiterals;

TEST(ReactionReference, LnKpAgreesWithThermoInpFrom300To3000K)
{
    const QString source = QStringLiteral(NORVANTA_SOURCE_DIR);
    QProcess script;
    script.start(u"python3"_s,
                 {source + u"/tests/thermo/lnkp_reference.py"_s, source + u"/data/thermo.inp"_s});
    ASSERT_TRUE(script.waitForFinished(60000));
    ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    const ThermoData data =
        ThermoData::load(source + u"/data/NorvaneThermo.dat"_s, source + u"/data/Norvane.dat"_s);
    const std::map<QString, std::map<QString, double>> reactions{
        {u"steam reforming"_s, {{u"CH4"_s, -1}, {u"H2O"_s, -1}, {u"CO"_s, 1}, {u"H2"_s, 3}}},
        {u"shift"_s, {{u"CO"_s, -1}, {u"H2O"_s, -1}, {u"CO2"_s, 1}, {u"H2"_s, 1}}},
        {u"ammonia synthesis"_s, {{u"N2"_s, -1}, {u"H2"_s, -3}, {u"NH3"_s, 2}}},
    };
    const double kpFactor = 1000 / 1.987216; // the calculation's 1000 / R
    int points = 0;
    for (const QString& line : QString::fromUtf8(script.readAllStandardOutput()).split(u'\n')) {
        const QStringList fields = line.split(u'\t');
        if (fields.size() != 3)
            continue;
        const double kelvin = fields[1].toDouble();
        double dG = 0;
        for (const auto& [name, nu] : reactions.at(fields[0]))
            dG += nu * data.find(name)->formationGibbs(kelvin);
        EXPECT_NEAR(-dG * kpFactor / kelvin, fields[2].toDouble(), 0.02)
            << fields[0].toStdString() << " at " << kelvin << " K";
        ++points;
    }
    EXPECT_EQ(points, 3 * 28);
}

} // namespace
} // namespace norvanta::testing
