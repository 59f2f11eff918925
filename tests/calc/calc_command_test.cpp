#include "calc_test_support.h"
#include "tools/norvanta_calc/file_lookup.h"

#include <QCoreApplication>

#include "results/report_text.h"

#include "common/number_text.h"
#include "common/text_file.h"

#include <cmath>

using namespace norvanta;
using namespace norvanta::calc;
using namespace norvanta::testing;

namespace {

const QString kTime = u"03-05-2024 07:08:09"_s;

QStringList reportLines(const QByteArray& utf8)
{
    return QString::fromUtf8(utf8).split(u"\r\n"_s);
}

// The lines of a --table block, split into their five texts.
std::vector<QStringList> tableRows(const QString& block)
{
    std::vector<QStringList> rows;
    for (const QString& line : block.split(u'\n', Qt::SkipEmptyParts))
        rows.push_back(line.split(u'\t'));
    return rows;
}

} // namespace

// The report is the one the results window copies after the same calculation.
TEST(CalcCommand, ReportIsTheWindowsReportByteForByte)
{
    const struct {
        const char* name;
        QStringList options;
        bool tetraPrecision;
        TemperatureUnit temperature;
        EnergyUnit energy;
    } cases[] = {
        {"defaults: 25 K, Celsius, kcal", {}, true, TemperatureUnit::Celsius, EnergyUnit::Kcal},
        {"100 K, kelvin, kJ",
         {u"--step"_s, u"100"_s, u"--temperature"_s, u"K"_s, u"--energy"_s, u"kJ"_s},
         false,
         TemperatureUnit::Kelvin,
         EnergyUnit::KJ},
        {"25 K, kelvin, kcal",
         {u"--temperature=K"_s},
         true,
         TemperatureUnit::Kelvin,
         EnergyUnit::Kcal},
        {"100 K, Celsius, kJ",
         {u"--step=100"_s, u"--energy=kJ"_s},
         false,
         TemperatureUnit::Celsius,
         EnergyUnit::KJ},
    };
    const CalcFolder folder;
    const ReactionFields fields = waterGasShift();
    const QString file = folder.writeReaction(u"shift.txt"_s, fields);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CalcRun run = folder.run(c.options + QStringList{u"--timestamp"_s, kTime, file});
        ASSERT_EQ(run.status, ExitStatus::Success) << run.err.toStdString();
        EXPECT_EQ(run.err, QByteArray());

        const EngineResult engine = runEngine(fields, c.tetraPrecision);
        ASSERT_EQ(engine.outcome, TickOutcome::Finished);
        ResultReportInput input;
        input.fields = engine.fields;
        input.limitPos = 0;
        input.temperatureUnit = c.temperature;
        input.energyUnit = c.energy;
        input.tetraPrecision = c.tetraPrecision;
        input.table = engine.table;
        input.timestamp = fixedTime();
        EXPECT_EQ(run.out, MakeResultText(input).toUtf8());

        const QStringList lines = reportLines(run.out);
        EXPECT_EQ(lines[2], u"日時 03-05-2024 07:08:09"_s);
        EXPECT_EQ(lines[5], u"ﾟCO+H2O=CO2+H2"_s);
        EXPECT_EQ(lines[9], u"CO:H2O=1:3"_s);
        EXPECT_EQ(lines[12], u"全圧:5 atm"_s);
        EXPECT_EQ(lines.size(), 16 + (c.tetraPrecision ? 33 : 9) + 1);
        const bool kelvin = c.temperature == TemperatureUnit::Kelvin;
        EXPECT_TRUE(lines[16].startsWith(kelvin ? u"+300\t"_s : u"+0\t"_s));
        EXPECT_TRUE(lines[lines.size() - 2].startsWith(kelvin ? u"+1100\t"_s : u"+800\t"_s));
    }
}

// The window shows the fields as the run wrote them back: the empty first row
// closed up and the limiting option moved with its row.
TEST(CalcCommand, ReportShowsTheFieldsAsTheRunLeftThem)
{
    const CalcFolder folder;
    ReactionFields fields =
        reaction({{QString(), QString(), QString()},
                  {u" CO2 "_s, QString(), u"1"_s},
                  {u"CH4"_s, u"1"_s, u"2.50"_s}},
                 {{u"CO"_s, u"2"_s}, {QString(), QString()}, {u"H2"_s, u"2"_s}}, 1, u"1.0"_s);
    const QString file = folder.writeReaction(u"gaps.txt"_s, fields);
    const CalcRun run = folder.run({u"--timestamp"_s, kTime, file});
    ASSERT_EQ(run.status, ExitStatus::Success) << run.err.toStdString();
    const QStringList lines = reportLines(run.out);
    EXPECT_EQ(lines[5], u"ﾟCO2+CH4=2CO+2H2"_s);
    EXPECT_EQ(lines[9], u"CO2:CH4=1:2.5"_s);
    EXPECT_EQ(lines[12], u"全圧:1.0 atm"_s);
}

// Every computed point, kelvin series first, with the run's values to 15
// significant digits; Kp agrees with dG through Kp = exp(-dG × 1000 / R / T).
TEST(CalcCommand, TableHoldsTheRunsPoints)
{
    const CalcFolder folder;
    const QString file = folder.writeReaction(u"reforming.txt"_s, reforming());
    for (const bool tetraPrecision : {true, false}) {
        SCOPED_TRACE(tetraPrecision ? "25 K" : "100 K");
        const CalcRun run =
            folder.run({u"--table"_s, u"--step"_s, tetraPrecision ? u"25"_s : u"100"_s, file});
        ASSERT_EQ(run.status, ExitStatus::Success) << run.err.toStdString();
        const EngineResult engine = runEngine(reforming(), tetraPrecision);

        const std::vector<QStringList> rows = tableRows(QString::fromUtf8(run.out));
        const int stride = tetraPrecision ? 1 : 4;
        ASSERT_EQ(rows.size(), size_t(2 * (32 / stride + 1)));
        size_t r = 0;
        for (const bool kelvin : {true, false}) {
            for (int i = 0; i < ResultTable::kPoints; i += stride, ++r) {
                SCOPED_TRACE(r);
                const QStringList& row = rows[r];
                ASSERT_EQ(row.size(), 5);
                const ResultPoint& point =
                    (kelvin ? engine.table.kelvin : engine.table.celsius)[size_t(i)];
                const int temperature = kelvin ? 300 + 25 * i : 273 + 25 * i;
                EXPECT_EQ(row[0], kelvin ? u"K"_s : u"C"_s);
                EXPECT_EQ(row[1].toInt(), temperature);
                const double dG = row[2].toDouble();
                const double kp = row[3].toDouble();
                const double conversion = row[4].toDouble();
                EXPECT_NEAR(dG, point.dG, 1e-13 * std::abs(point.dG));
                EXPECT_NEAR(kp, point.kp, 1e-13 * point.kp);
                EXPECT_NEAR(conversion, point.conversion, 1e-13 * point.conversion);
                EXPECT_NEAR(std::log(kp), -dG * (1000 / 1.987216) / temperature, 1e-9);
                EXPECT_GE(conversion, 0);
                EXPECT_LE(conversion, 1);
            }
        }
    }
}

TEST(CalcCommand, FailuresTellTheProgramsMessageAndStatus)
{
    const CalcFolder folder;
    const QString good = folder.writeReaction(u"good.txt"_s, reforming());
    const QString unknown = folder.writeReaction(
        u"unknown.txt"_s,
        reaction({{u"CO2"_s, u"1"_s, u"1"_s}, {u"XYZ"_s, u"1"_s, u"1"_s}}, {{u"CO"_s, u"2"_s}}, 0));
    const QString unbalanced = folder.writeReaction(
        u"unbalanced.txt"_s, reaction({{u"CO2"_s, u"1"_s, u"1"_s}}, {{u"CO"_s, u"1"_s}}, 0));
    const QString noPressure = folder.writeReaction(
        u"pressure.txt"_s, reaction({{u"CO2"_s, u"1"_s, u"1"_s}, {u"CH4"_s, u"1"_s, u"1"_s}},
                                    {{u"CO"_s, u"2"_s}, {u"H2"_s, u"2"_s}}, 0, u"0"_s));
    ReactionFields huge = reforming();
    huge.pressure = u"1e999"_s;
    const QString hugePressure = folder.writeReaction(u"huge.txt"_s, huge);
    const QString wrongHeader = folder.writeBytes(u"notes.txt"_s, "abc\r\n\"1\"\r\n");
    const QString notLibrary = folder.writeBytes(u"Norvane.dll"_s, "This is not a library.\r\n");
    QDir(folder.path()).mkdir(u"lib"_s);
    const QString renamedNotLibrary =
        folder.writeBytes(u"lib/solver.so"_s, "This is not a library either.\r\n");
    const QString missing = folder.filePath(u"missing.txt"_s);

    const struct {
        const char* name;
        QStringList arguments;
        int status;
        QString message;
    } cases[] = {
        {"unregistered compound",
         {unknown},
         ExitStatus::InvalidReaction,
         u"反応系(No.2)はファイルに登録されていません"_s},
        {"unbalanced",
         {unbalanced},
         ExitStatus::InvalidReaction,
         u"炭素,水素,酸素の化学量論が合っていません"_s},
        {"no pressure",
         {noPressure},
         ExitStatus::InvalidReaction,
         u"全圧を正しく入力してください"_s},
        {"a pressure too large for a double",
         {hugePressure},
         ExitStatus::InvalidReaction,
         u"全圧を正しく入力してください"_s},
        {"missing reaction file",
         {missing},
         ExitStatus::CalculationFailed,
         u"そのファイルは存在しません。ファイル名を確認して下さい。"_s},
        {"not a reaction file",
         {wrongHeader},
         ExitStatus::CalculationFailed,
         u"このファイルはNorvantaの標準ファイル形式と異なります。別のファイルを指定して下さい。"_s},
        {"missing database",
         {u"--data"_s, folder.filePath(u"Norvane.dat"_s), good},
         ExitStatus::CalculationFailed,
         u"内部エラー(No: 53)が発生しました"_s},
        {"missing library",
         {u"--library"_s, folder.filePath(u"lib/Norvane.dll"_s), good},
         ExitStatus::CalculationFailed,
         u"Norvane.dllファイルがないため計算できません"_s},
        {"damaged library",
         {u"--library"_s, notLibrary, good},
         ExitStatus::CalculationFailed,
         u"Norvane.dllファイルが異常なため計算できません"_s},
        // The named file decides, not a Norvane.dll beside it.
        {"damaged library of another name",
         {u"--library"_s, renamedNotLibrary, good},
         ExitStatus::CalculationFailed,
         u"Norvane.dllファイルが異常なため計算できません"_s},
        {"missing library of another name",
         {u"--library"_s, folder.filePath(u"solver.so"_s), good},
         ExitStatus::CalculationFailed,
         u"Norvane.dllファイルがないため計算できません"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CalcRun run = folder.run(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.out, QByteArray());
        const QString err = QString::fromUtf8(run.err);
        EXPECT_TRUE(err.startsWith(c.arguments.last() + u": "_s + c.message + u'\n'))
            << err.toStdString();
    }
}

// Several files are computed in turn; one that fails does not stop the
// others, and the status is the worst of them.
TEST(CalcCommand, SeveralFilesInTurn)
{
    const CalcFolder folder;
    const QString first = folder.writeReaction(u"first.txt"_s, reforming());
    const QString invalid = folder.writeReaction(
        u"invalid.txt"_s, reaction({{u"CO2"_s, u"1"_s, u"1"_s}}, {{u"CO"_s, u"1"_s}}, 0));
    const QString second = folder.writeReaction(u"second.txt"_s, waterGasShift());

    const CalcRun single = folder.run({u"--timestamp"_s, kTime, first});
    const CalcRun other = folder.run({u"--timestamp"_s, kTime, second});
    const CalcRun batch = folder.run({u"--timestamp"_s, kTime, first, invalid, second});
    EXPECT_EQ(batch.status, ExitStatus::InvalidReaction);
    EXPECT_EQ(batch.out, single.out + "\r\n" + other.out);
    EXPECT_EQ(QString::fromUtf8(batch.err),
              invalid + u": 炭素,水素,酸素の化学量論が合っていません\n"_s);

    const CalcRun missingLast = folder.run({first, folder.filePath(u"none.txt"_s)});
    EXPECT_EQ(missingLast.status, ExitStatus::CalculationFailed);

    // Each file's lines end with an empty line; the file that failed has none.
    const CalcRun table = folder.run({u"--table"_s, u"--step=100"_s, first, invalid, second});
    QStringList blocks(1);
    for (const QString& line : QString::fromUtf8(table.out).split(u'\n')) {
        if (line.isEmpty())
            blocks.append(QString());
        else
            blocks.last() += line + u'\n';
    }
    ASSERT_EQ(blocks.size(), 5) << table.out.toStdString();
    EXPECT_EQ(blocks[0],
              QString::fromUtf8(folder.run({u"--table"_s, u"--step=100"_s, first}).out).chopped(1));
    EXPECT_EQ(blocks[1], QString());
    EXPECT_EQ(
        blocks[2],
        QString::fromUtf8(folder.run({u"--table"_s, u"--step=100"_s, second}).out).chopped(1));
    EXPECT_EQ(tableRows(blocks[2]).size(), 18u);
    EXPECT_NE(blocks[0], blocks[2]);
    EXPECT_EQ(blocks[3], QString()) << "the last file's lines end with an empty line";
    EXPECT_EQ(blocks[4], QString()) << "the output ends with a line end";
}

TEST(CalcCommand, ShiftJisOutput)
{
    const CalcFolder folder;
    const QString file = folder.writeReaction(u"r.txt"_s, reforming());
    const CalcRun utf8 = folder.run({u"--timestamp"_s, kTime, file});
    const CalcRun sjis =
        folder.run({u"--encoding"_s, u"shift_jis"_s, u"--timestamp"_s, kTime, file});
    ASSERT_EQ(sjis.status, ExitStatus::Success);
    EXPECT_EQ(decodeShiftJis(sjis.out), QString::fromUtf8(utf8.out));
    EXPECT_TRUE(sjis.out.contains("\r\n\xDF"
                                  "CO2+CH4=2CO+2H2\r\n("
                                  "\xDF:"));
    EXPECT_TRUE(sjis.out.contains("Temp./\xDF"
                                  "C\tdG/kcal\tKp\tConv./%\r\n"));

    const CalcRun refused = folder.run(
        {u"--encoding=shift_jis"_s, folder.writeReaction(u"bad.txt"_s, reaction({}, {}, 0))});
    EXPECT_EQ(refused.status, ExitStatus::InvalidReaction);
    EXPECT_TRUE(refused.err.endsWith(encodeShiftJis(u": 反応系を入力してください\n"_s)));
}

// constants.txt changes R and CALTOJ as it does in the program; a value it
// cannot use is warned about and the default stays.
TEST(CalcCommand, ConstantsFile)
{
    const CalcFolder folder;
    const QString file = folder.writeReaction(u"r.txt"_s, reforming());
    const QString constants = folder.writeBytes(u"constants.txt"_s, "R=2\r\nCALTOJ=4\r\n");
    const CalcRun table = folder.run({u"--table"_s, u"--step=100"_s, file});
    ASSERT_EQ(table.status, ExitStatus::Success);
    for (const QStringList& row : tableRows(QString::fromUtf8(table.out)))
        EXPECT_NEAR(std::log(row[3].toDouble()), -row[2].toDouble() * 500 / row[1].toDouble(),
                    1e-9);

    const CalcRun kcal = folder.run({u"--temperature=K"_s, u"--step=100"_s, file});
    const CalcRun kj = folder.run({u"--temperature=K"_s, u"--step=100"_s, u"--energy=kJ"_s, file});
    const QStringList kcalLines = reportLines(kcal.out);
    const QStringList kjLines = reportLines(kj.out);
    EXPECT_EQ(kjLines[15], u"Temp./K\tdG/kJ\tKp\tConv./%"_s);
    for (int row = 16; row < 25; ++row) {
        const QStringList kcalRow = kcalLines[row].split(u'\t');
        const QStringList kjRow = kjLines[row].split(u'\t');
        EXPECT_NEAR(kjRow[1].toDouble(), 4 * kcalRow[1].toDouble(), 1e-9);
        EXPECT_EQ(kjRow[2], kcalRow[2]);
        EXPECT_EQ(kjRow[3], kcalRow[3]);
    }

    folder.writeBytes(u"constants.txt"_s, "R=abc\r\n");
    const CalcRun warned = folder.run({u"--constants"_s, constants, u"--table"_s, file});
    EXPECT_EQ(warned.status, ExitStatus::Success);
    EXPECT_TRUE(QString::fromUtf8(warned.err).startsWith(constants + u": "_s))
        << warned.err.toStdString();
    const CalcRun plain =
        folder.run({u"--constants"_s, folder.filePath(u"none.txt"_s), u"--table"_s, file});
    EXPECT_EQ(warned.out, plain.out);
    EXPECT_EQ(plain.err, QByteArray());
}

TEST(CalcCommand, UsageAndHelp)
{
    const CalcFolder folder;
    const CalcRun wrong = folder.run({u"--step"_s, u"50"_s, u"r.txt"_s});
    EXPECT_EQ(wrong.status, ExitStatus::Usage);
    EXPECT_EQ(wrong.out, QByteArray());
    EXPECT_EQ(QString::fromUtf8(wrong.err),
              u"norvanta-calc: --step には 100 か 25 を指定してください\n"_s + usageText());

    const CalcRun help = folder.run({u"--help"_s});
    EXPECT_EQ(help.status, ExitStatus::Success);
    EXPECT_EQ(
        QString::fromUtf8(help.out),
        helpText(programFolders(QCoreApplication::applicationDirPath(), ProgramLayout::BuildTree),
                 ProgramLayout::BuildTree));
    EXPECT_EQ(help.err, QByteArray());
}

namespace {

// An output that takes `room` bytes and then refuses every write, as a full disk does.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 room) : room_(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override
    {
        if (size > room_)
            return -1;
        room_ -= size;
        return size;
    }

private:
    qint64 room_;
};

} // namespace

// A write that fails ends the calculator at once with its own status.
TEST(CalcCommand, FailedWriteEndsWithOutputFailed)
{
    const CalcFolder folder;
    const QString first = folder.writeReaction(u"first.txt"_s, reforming());
    const QString second = folder.writeReaction(u"second.txt"_s, waterGasShift());
    const qint64 firstReport = folder.run({u"--table"_s, first}).out.size();
    for (const qint64 room : {qint64(0), firstReport}) {
        SCOPED_TRACE(room);
        FullDevice out(room);
        QBuffer err;
        err.open(QIODevice::WriteOnly);
        const int status =
            calc::runCalc({u"--data"_s, shippedDatabasePath(), u"--library"_s, builtLibraryPath(),
                           u"--table"_s, first, second, u"missing.txt"_s},
                          folder.path(), out, err);
        EXPECT_EQ(status, ExitStatus::OutputFailed);
        // Nothing is calculated after the failed write: no message for the missing file.
        EXPECT_EQ(QString::fromUtf8(err.data()), u"norvanta-calc: 計算結果を書き込めませんでした\n"_s);
    }
}
