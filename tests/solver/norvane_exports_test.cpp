// Interp and WEP of the built Norvane.dll, and what the file itself exports
// and needs.
#include "norvane_exports.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace norvanta::test;

namespace {

QString solverPath() { return QString::fromUtf8(NORVANTA_SOLVER_PATH); }

// Standard output of a binutils tool run on the library; fails the test when it cannot run.
QString toolOutput(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: "
                      << process.readAllStandardError().toStdString();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(Interp, InterpolatesAndExtrapolatesTheStraightLine)
{
    const auto interp = norvaneExports().interp;
    const struct {
        float t1;
        double g1;
        float t2;
        double g2;
        float t;
        double expected;
    } cases[] = {
        {300, 10, 400, 20, 325, 12.5},        // inside the segment
        {300, 10, 400, 20, 400, 20},          // at its ends
        {300, 10, 400, 20, 300, 10},
        {300, 10, 400, 20, 273, 7.3},         // below it
        {900, -5, 1000, -15, 1100, -25},      // above it
        {900, -5, 1000, -15, 1073, -22.3},
        {400, 20, 300, 10, 350, 15},          // ends given in either order
        {300, 42.5, 400, 42.5, 1100, 42.5},   // constant dG
    };
    for (const auto& c : cases)
        EXPECT_NEAR(interp(c.t1, c.g1, c.t2, c.g2, c.t), c.expected, 1e-12)
            << c.t1 << ".." << c.t2 << " at " << c.t;
}

TEST(Interp, TakesTemperaturesAsSingleFloatsAndComputesInDouble)
{
    // 298.15 is not a float; the line is evaluated at the float nearest to it.
    const double atFloat = double(298.15f) - 300.0;
    const double result = norvaneExports().interp(300, 0, 400, 100, 298.15f);
    EXPECT_NEAR(result, atFloat, 1e-12);
    EXPECT_GT(std::fabs(result - (298.15 - 300.0)), 1e-7);
}

TEST(Interp, EqualAbscissaeGiveNoFiniteValue)
{
    EXPECT_FALSE(std::isfinite(norvaneExports().interp(300, 1, 300, 2, 350)));
}

TEST(Wep, ReturnsOneWhateverItIsGiven)
{
    for (const std::int32_t argument : {0, 1, -1, std::numeric_limits<std::int32_t>::max(),
                                        std::numeric_limits<std::int32_t>::min()})
        EXPECT_EQ(norvaneExports().wep(argument), 1) << argument;
}

TEST(NorvaneFile, KeepsItsNameOnThisPlatform)
{
    const QFileInfo file(solverPath());
    EXPECT_EQ(file.fileName(), QStringLiteral("Norvane.dll"));
    EXPECT_TRUE(file.isFile());
}

TEST(NorvaneFile, ExportsOnlyCalCvInterpAndWep)
{
    const QString symbols = toolOutput(QStringLiteral("nm"),
                                       {QStringLiteral("-D"), QStringLiteral("--defined-only"),
                                        QStringLiteral("--format=posix"), solverPath()});
    QSet<QString> ours;
    for (const QString& line : symbols.split(u'\n', Qt::SkipEmptyParts)) {
        const QString name = line.section(u' ', 0, 0);
        // Names with a leading underscore belong to the toolchain (_init,
        // _edata, sanitizer hooks), never to the solver's interface.
        if (!name.startsWith(u'_'))
            ours.insert(name);
    }
    EXPECT_EQ(ours, (QSet<QString>{QStringLiteral("CalCv"), QStringLiteral("Interp"),
                                   QStringLiteral("WEP")}))
        << symbols.toStdString();
}

TEST(NorvaneFile, NeedsNothingButTheCLibraries)
{
    const QString dynamic =
        toolOutput(QStringLiteral("readelf"), {QStringLiteral("-d"), solverPath()});
    static const QRegularExpression needed(QStringLiteral(R"(\(NEEDED\).*\[(.+)\])"));
    // The C maths and C libraries; the sanitizer runtimes in an instrumented build.
    static const QRegularExpression allowed(
        QStringLiteral(R"(^(libm|libc|libasan|libubsan)\.so\.\d+$)"));
    int count = 0;
    for (auto it = needed.globalMatch(dynamic); it.hasNext();) {
        const QString library = it.next().captured(1);
        ++count;
        EXPECT_TRUE(allowed.match(library).hasMatch()) << "needs " << library.toStdString();
    }
    EXPECT_GT(count, 0) << dynamic.toStdString();
}
