// norvanta-calc --summary against temperatures worked out here from the
// data alone: dG's zero on its straight line, and the conversion of an
// independent Newton solution bisected on temperature.
#include "calc_test_support.h"

#include "solver/equilibrium_reference.h"

#include "database/compound_index.h"

#include "common/text_file.h"

#include <cmath>

using namespace norvanta;
using namespace norvanta::testing;

namespace {

constexpr double kKpFactor = 1000 / 1.987216;

// A = B (or C = D) with dG = intercept + slope·T kcal/mol at every data
// temperature; A and C have dG of formation 0.
QString linearPairLine(const QString& name, double intercept, double slope)
{
    QString line = u'"' + name + u"\", 2, 6, 1"_s;
    for (int kelvin = 300; kelvin <= 1000; kelvin += 100)
        line += u", "_s + QString::number(intercept + slope * kelvin, 'g', 17);
    return line;
}

// The temperature where dG = intercept + slope·T gives A = B the conversion
// x: Kp = x / (1 − x), so dG = −ln(Kp)·T / kKpFactor.
double isomerisationKelvin(double intercept, double slope, double x)
{
    const double perKelvin = std::log(x / (1 - x)) / kKpFactor;
    return -intercept / (slope + perKelvin);
}

// The columns of the line after the header, which names as many columns.
QStringList summaryColumns(const CalcRun& run)
{
    const QStringList lines = QString::fromUtf8(run.out).chopped(1).split(u'\n');
    if (lines.size() != 2)
        return {};
    const QStringList columns = lines[1].split(u'\t');
    EXPECT_EQ(lines[0].split(u'\t').size(), columns.size()) << "header";
    return columns;
}

void expectKelvin(const QString& kelvinText, const QString& celsiusText, double expected,
                  const char* what)
{
    EXPECT_NEAR(kelvinText.toDouble(), expected, 0.051) << what;
    EXPECT_NEAR(celsiusText.toDouble(), expected - 273, 0.051) << what;
}

} // namespace

TEST(CalcSummary, LinearReactionsAgainstClosedForms)
{
    CalcFolder folder;
    const QString data = folder.writeBytes(
        u"Norvane.dat"_s,
        encodeShiftJis(
            QStringList{u";*Test"_s, linearPairLine(u"A"_s, 0, 0),
                        linearPairLine(u"B"_s, 11, -0.02), linearPairLine(u"D"_s, 30, -0.01),
                        linearPairLine(u"E"_s, -20, -0.01), linearPairLine(u"F"_s, -11, 0.02)}
                .join(u"\r\n"_s) +
            u"\r\n"_s));
    const auto file = [&](const QString& name, const QString& product) {
        return folder.writeReaction(name + u".txt"_s,
                                    reaction({{u"A"_s, u"1"_s, u"1"_s}}, {{product, u"1"_s}}, 0));
    };
    const struct {
        const char* name;
        QString product;
        QString targets;
        // Expected K for dG = 0 and each target; NaN where a word stands.
        std::vector<double> kelvin;
        QStringList words;
        // The direction word of each target.
        QStringList directions;
    } cases[] = {
        // dG = 11 − 0.02 T: +1 at 500 K, −1 at 600 K, zero at 550 K, where
        // the conversion is one half.
        {"SignChangeBetweenDataPoints",
         u"B"_s,
         u"50,90"_s,
         {550, 550, isomerisationKelvin(11, -0.02, 0.9)},
         {},
         {u"rises"_s, u"rises"_s}},
        // At 1100 K Kp is 153, the conversion 99.35 %: 99.9 % is not reached;
        // at 300 K it is 2.3e-4, already past 0.01 %.
        {"TargetsOutsideTheRange",
         u"B"_s,
         u"99.9,0.01"_s,
         {550, NAN, NAN},
         {u"above"_s, u"below"_s},
         {u"rises"_s, u"rises"_s}},
        // dG = −11 + 0.02 T: the conversion falls through one half at 550 K
        // and through 90 % before; at 1100 K it is still 0.65 %, over
        // 0.01 % (crossed above the range), and under 100 % throughout
        // (crossed below it).
        {"FallingConversion",
         u"F"_s,
         u"50,90,0.01,100"_s,
         {550, 550, isomerisationKelvin(-11, 0.02, 0.9), NAN, NAN},
         {u"above"_s, u"below"_s},
         {u"falls"_s, u"falls"_s, u"falls"_s, u"falls"_s}},
        // dG = 30 − 0.01 T falls towards zero and stays above it.
        {"NeverZeroComingNearer",
         u"D"_s,
         u"50"_s,
         {NAN, NAN},
         {u"above"_s, u"above"_s},
         {u"rises"_s}},
        // dG = −20 − 0.01 T moves away from zero, yet Kp = exp(−dG/RT) falls
        // with temperature: the conversion falls from 1 and is still over
        // one half at 1100 K, so its crossing lies above the range.
        {"NeverZeroMovingAway",
         u"E"_s,
         u"50"_s,
         {NAN, NAN},
         {u"below"_s, u"above"_s},
         {u"falls"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(QString::fromUtf8(c.name), c.product);
        const CalcRun run =
            folder.run({u"--data"_s, data, u"--summary"_s, u"--targets"_s, c.targets, path});
        ASSERT_EQ(run.status, 0) << run.err.constData();
        const QStringList columns = summaryColumns(run);
        ASSERT_EQ(columns.size(), qsizetype(3 * c.kelvin.size())) << run.out.constData();
        EXPECT_EQ(columns[0], path);
        qsizetype word = 0;
        for (std::size_t k = 0; k < c.kelvin.size(); ++k) {
            // dG's two columns, then three per target.
            const qsizetype at = k == 0 ? 1 : qsizetype(3 * k);
            const QString& kelvin = columns[at];
            const QString& celsius = columns[at + 1];
            if (k > 0) {
                EXPECT_EQ(columns[at + 2], c.directions[qsizetype(k - 1)]) << "target " << k;
            }
            if (std::isnan(c.kelvin[k])) {
                EXPECT_EQ(kelvin, c.words[word]) << "column pair " << k;
                EXPECT_EQ(celsius, c.words[word++]) << "column pair " << k;
            } else {
                expectKelvin(kelvin, celsius, c.kelvin[k], "a temperature");
            }
        }
    }
}

// Steam reforming at 1 atm, 1:1, on the shipped data: dG crosses zero just
// below 900 K and the conversion one half between 875 and 900 K.
TEST(CalcSummary, SteamReformingOnTheShippedData)
{
    const CompoundIndex database = CompoundIndex::load(shippedDatabasePath());
    const auto gibbs = [&](const char16_t* name, int kelvin) {
        return database.gibbsEnergy(*database.find(QString::fromUtf16(name)), kelvin);
    };
    const auto reactionDg = [&](int kelvin) {
        return gibbs(u"CO", kelvin) + 3 * gibbs(u"H2", kelvin) - gibbs(u"CH4", kelvin) -
               gibbs(u"H2O", kelvin);
    };
    const double dG800 = reactionDg(800);
    const double dG900 = reactionDg(900);
    const double zero = 800 + 100 * dG800 / (dG800 - dG900);
    ASSERT_GT(zero, 850);
    ASSERT_LT(zero, 900);

    const test::SolverReaction steamReforming{2, 2, {1, 1}, {1, 1}, {1, 3}};
    const auto conversion = [&](double kelvin) {
        const double dG = dG800 + (dG900 - dG800) * (kelvin - 800) / 100;
        return test::referenceConversion(steamReforming, std::exp(-dG * kKpFactor / kelvin), 1);
    };
    double lo = 875, hi = 900;
    ASSERT_LT(conversion(lo), 0.5);
    ASSERT_GT(conversion(hi), 0.5);
    while (hi - lo > 1e-4)
        (conversion((lo + hi) / 2) < 0.5 ? lo : hi) = (lo + hi) / 2;

    CalcFolder folder;
    const QString path = folder.writeReaction(
        u"steam.txt"_s, reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"1"_s}},
                                 {{u"CO"_s, u"1"_s}, {u"H2"_s, u"3"_s}}, 0));
    const CalcRun run = folder.run({u"--summary"_s, u"--targets=50"_s, path});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    const QStringList columns = summaryColumns(run);
    ASSERT_EQ(columns.size(), 6);
    expectKelvin(columns[1], columns[2], zero, "dG = 0");
    expectKelvin(columns[3], columns[4], (lo + hi) / 2, "50 %");
    EXPECT_EQ(columns[5], u"rises"_s);
}

// The water-gas shift at 1 atm, 1:1, on the shipped data: exothermic, its
// conversion falls through one half where Kp = 1, on the line through the
// 900 and 1000 K values extended beyond 1000 K.
TEST(CalcSummary, WaterGasShiftFallsThroughOneHalf)
{
    const CompoundIndex database = CompoundIndex::load(shippedDatabasePath());
    const auto reactionDg = [&](int kelvin) {
        const auto g = [&](const char16_t* name) {
            return database.gibbsEnergy(*database.find(QString::fromUtf16(name)), kelvin);
        };
        return g(u"CO2") + g(u"H2") - g(u"CO") - g(u"H2O");
    };
    const double dG900 = reactionDg(900);
    const double zero = 900 + 100 * dG900 / (dG900 - reactionDg(1000));
    ASSERT_GT(zero, 1075);
    ASSERT_LT(zero, 1100);

    CalcFolder folder;
    const QString path = folder.writeReaction(
        u"shift.txt"_s, reaction({{u"CO"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"1"_s}},
                                 {{u"CO2"_s, u"1"_s}, {u"H2"_s, u"1"_s}}, 0));
    const CalcRun run = folder.run({u"--summary"_s, u"--targets=50"_s, path});
    ASSERT_EQ(run.status, 0) << run.err.constData();
    EXPECT_TRUE(run.out.startsWith("ファイル\tdG=0(K)\tdG=0(℃)\t50%(K)\t50%(℃)\t50%(向き)\n"))
        << run.out.constData();
    const QStringList columns = summaryColumns(run);
    ASSERT_EQ(columns.size(), 6);
    expectKelvin(columns[3], columns[4], zero, "50 %");
    EXPECT_EQ(columns[5], u"falls"_s);
}

TEST(CalcSummary, FailedFileKeepsItsLineAndTheTablesExitStatus)
{
    CalcFolder folder;
    const QString valid = folder.writeReaction(u"ok.txt"_s, reforming());
    const QString unknown = folder.writeReaction(
        u"unknown.txt"_s, reaction({{u"XYZ"_s, u"1"_s, u"1"_s}}, {{u"CO"_s, u"1"_s}}, 0));
    const CalcRun run = folder.run({u"--summary"_s, unknown, valid});
    EXPECT_EQ(run.status, calc::ExitStatus::InvalidReaction);
    const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], unknown + u"\t\t\t\t\t\t\t\t"_s);
    EXPECT_EQ(lines[2].count(u'\t'), 8);
    EXPECT_TRUE(QString::fromUtf8(run.err).startsWith(unknown + u": "_s));
}

TEST(CalcSummary, TargetsOptionAndItsRefusals)
{
    const auto parse = [](const QStringList& arguments) {
        return calc::parseCalcArguments(arguments, u"/work"_s);
    };
    const calc::ParsedArguments defaults = parse({u"--summary"_s, u"a"_s});
    EXPECT_TRUE(defaults.options.summary);
    EXPECT_EQ(defaults.options.targets, (std::vector<double>{0.5, 0.9}));
    EXPECT_EQ(parse({u"--summary"_s, u"--targets= 99.5, 10 ,100"_s, u"a"_s}).options.targets,
              (std::vector<double>{0.995, 0.1, 1.0}));

    const QString refusal =
        u"--targets には 0 より大きく 100 以下の転化率(%)をコンマで区切って指定してください"_s;
    for (const QString& targets : {u"0"_s, u"100.5"_s, u"50,"_s, u"fifty"_s, u"-10"_s, u"nan"_s})
        EXPECT_EQ(parse({u"--summary"_s, u"--targets"_s, targets, u"a"_s}).error, refusal)
            << targets.toStdString();
    EXPECT_EQ(parse({u"--summary"_s, u"--table"_s, u"a"_s}).error,
              u"--table と --summary は同時に指定できません"_s);

    const QString help = calc::helpText({}, calc::ProgramLayout::Installed);
    for (const QString& text :
         {u"--summary"_s, u"--targets 50,90"_s, u"below"_s, u"above"_s, u"rises"_s, u"falls"_s})
        EXPECT_TRUE(help.contains(text)) << text.toStdString();
}
