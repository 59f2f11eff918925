// Total pressures far beyond a chemist's range: every conversion
// norvanta-calc writes is the equilibrium's, against an independent solution.
#include "calc_test_support.h"

#include "tests/solver/equilibrium_reference.h"

namespace norvanta::testing {
namespace {

TEST(CalcExtremePressure, EveryConversionIsTheExactSolution)
{
    const CalcFolder folder;
    const struct {
        const char* what;
        ReactionFields fields;
        test::SolverReaction normalised;
    } reactions[] = {
        {"steam reforming",
         reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"1"_s}},
                  {{u"CO"_s, u"1"_s}, {u"H2"_s, u"3"_s}}, 0),
         {2, 2, {1, 1}, {1, 1}, {1, 3}}},
        {"water-gas shift",
         reaction({{u"CO"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"1"_s}},
                  {{u"CO2"_s, u"1"_s}, {u"H2"_s, u"1"_s}}, 0),
         {2, 2, {1, 1}, {1, 1}, {1, 1}}},
    };
    for (const auto& r : reactions) {
        for (const QString& pressure :
             {u"1e-300"_s, u"1e-200"_s, u"1e-150"_s, u"1e155"_s, u"1e200"_s, u"1e300"_s}) {
            SCOPED_TRACE(std::string(r.what) + " at " + pressure.toStdString() + " atm");
            ReactionFields fields = r.fields;
            fields.pressure = pressure;
            const CalcRun run = folder.run(
                {u"--table"_s, u"--step"_s, u"25"_s, folder.writeReaction(u"r.txt"_s, fields)});
            ASSERT_EQ(run.status, calc::ExitStatus::Success) << run.err.toStdString();
            const QStringList lines = QString::fromUtf8(run.out).split(u'\n', Qt::SkipEmptyParts);
            ASSERT_EQ(lines.size(), 2 * ResultTable::kPoints);
            for (const QString& line : lines) {
                const QStringList row = line.split(u'\t');
                const double kp = row[3].toDouble();
                EXPECT_NEAR(row[4].toDouble(),
                            test::referenceConversion(r.normalised, kp, pressure.toDouble()), 1e-12)
                    << line.toStdString();
            }
        }
    }
}

} // namespace
} // namespace norvanta::testing
