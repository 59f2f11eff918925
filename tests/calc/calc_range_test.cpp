// norvanta-calc --range: the points, the report form and the refusals.
#include "calc_test_support.h"

#include "support/example_reactions.h"

#include "common/text_file.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace norvanta;
using namespace norvanta::testing;
using namespace Qt::StringLiterals;

namespace {

TEST(CalcRange, PointsOverTheRangeAndCompoundsOutsideTheirData)
{
    CalcFolder folder;
    const QString steam = folder.writeReaction(
        u"steam.txt"_s, reaction({{u"CH4"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"3"_s}},
                                 {{u"CO"_s, u"1"_s}, {u"H2"_s, u"3"_s}}, 0));
    // A working folder with a registered compound, the shipped polynomials beside it.
    const QString data = QStringLiteral(NORVANTA_SOURCE_DIR "/data/");
    QFile::copy(data + u"NorvaneThermo.dat"_s, folder.filePath(u"NorvaneThermo.dat"_s));
    const QString registered = folder.writeBytes(
        u"Norvane.dat"_s, readFileBytes(data + u"Norvane.dat"_s) +
                              "\"Biogas\",1,4,0,-12.7,-10.2,-7.8,-5.5,-3.1,-0.6,1.8,4.3\r\n");
    const QString biogas = folder.writeReaction(
        u"biogas.txt"_s, reaction({{u"Biogas"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"3"_s}},
                                  {{u"CO"_s, u"1"_s}, {u"H2"_s, u"3"_s}}, 0));
    const struct {
        const char* name;
        QStringList arguments;
        int status;
        int lines;       // point lines written
        QString first;   // the first line's start
        QString message; // on standard error
    } cases[] = {
        {"steam reforming to 3000 K",
         {u"--table"_s, u"--range"_s, u"300:3000:100"_s, steam},
         0,
         28,
         u"K\t300\t"_s,
         {}},
        {"the report's header",
         {u"--range=300:1300:500"_s, steam},
         0,
         3,
         u"系列\t温度(K)\tdG(kcal/mol)\tKp\t転化率\tdH(kcal/mol)\tdS(cal/(mol・K))"_s,
         {}},
        {"TO off the grid",
         {u"--table"_s, u"--range=300:1000:300"_s, steam},
         0,
         3,
         u"K\t300\t"_s,
         {}},
        {"a registered compound inside its data",
         {u"--data"_s, registered, u"--table"_s, u"--range=300:1000:350"_s, biogas},
         0,
         3,
         u"K\t300\t"_s,
         {}},
        {"a registered compound beyond them",
         {u"--data"_s, registered, u"--table"_s, u"--range=300:3000:100"_s, biogas},
         1,
         0,
         {},
         u"Biogasのデータは 300～1000 K の範囲です"_s},
        {"a compound beyond its polynomials",
         {u"--table"_s, u"--range=100:3000:100"_s, steam},
         1,
         0,
         {},
         u"CH4のデータは 200～6000 K の範囲です"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CalcRun run = folder.run(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(c.message)) << run.err.toStdString();
        QStringList lines = QString::fromUtf8(run.out).split(u'\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines.takeLast(), QString());
        EXPECT_EQ(lines.takeLast(), QString()) << "an empty line after each file";
        if (c.lines == 0) {
            EXPECT_TRUE(lines.isEmpty());
            continue;
        }
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.first().startsWith(c.first)) << lines.first().toStdString();
        if (lines.first().startsWith(u"系列"))
            lines.removeFirst();
        EXPECT_EQ(lines.size(), c.lines);
        for (const QString& line : lines)
            EXPECT_EQ(line.split(u'\t').size(), 7) << line.toStdString();
    }
}

} // namespace
