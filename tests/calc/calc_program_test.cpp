#include "calc_test_support.h"

#include <QProcess>

using namespace norvanta;
using namespace norvanta::calc;
using namespace norvanta::testing;

namespace {

// The built program, started in a working folder that holds a copy of
// Norvane.dat and a planted Norvane.dll that is no library: every run that
// calculates shows the program took its own library instead.
class CalcProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(shippedDatabasePath(), folder_.filePath(u"Norvane.dat"_s)));
        writeBytes(folder_.filePath(u"Norvane.dll"_s), "planted");
    }

    CalcRun start(const QStringList& arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(folder_.path());
        process.start(QStringLiteral(NORVANTA_STAGE_DIR "/norvanta-calc"), arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return {};
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    CalcFolder folder_;
};

} // namespace

TEST_F(CalcProgramTest, ExitStatuses)
{
    const QString good = folder_.writeReaction(u"good.txt"_s, reforming());
    const QString invalid = folder_.writeReaction(
        u"invalid.txt"_s, reaction({{u"CO2"_s, u"1"_s, u"1"_s}}, {{u"CO"_s, u"1"_s}}, 0));
    const struct {
        const char* name;
        QStringList arguments;
        int status;
    } cases[] = {
        {"calculated", {u"good.txt"_s}, ExitStatus::Success},
        {"invalid reaction", {good, invalid}, ExitStatus::InvalidReaction},
        {"missing file", {u"none.txt"_s, invalid}, ExitStatus::CalculationFailed},
        {"missing library", {u"--library=lib/Norvane.dll"_s, good}, ExitStatus::CalculationFailed},
        {"bad usage", {u"--step=10"_s, good}, ExitStatus::Usage},
        {"no file", {}, ExitStatus::Usage},
        {"help", {u"--help"_s}, ExitStatus::Success},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CalcRun run = start(c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_EQ(run.err.isEmpty(), c.status == ExitStatus::Success) << run.err.toStdString();
    }
}

// The program finds Norvane.dat in its working folder and writes what the
// calculator writes in process.
TEST_F(CalcProgramTest, OutputIsTheCalculatorsOutput)
{
    const QString file = folder_.writeReaction(u"shift.txt"_s, waterGasShift());
    for (const QStringList& options : {QStringList{u"--timestamp"_s, u"03-05-2024 07:08:09"_s},
                                       QStringList{u"--table"_s, u"--step"_s, u"100"_s},
                                       QStringList{u"--encoding=shift_jis"_s, u"--temperature=K"_s,
                                                   u"--timestamp=12-31-1999 23:59:59"_s}}) {
        SCOPED_TRACE(options.join(u' ').toStdString());
        const CalcRun program = start(options + QStringList{file});
        const CalcRun inProcess = folder_.run(options + QStringList{file});
        ASSERT_EQ(program.status, ExitStatus::Success) << program.err.toStdString();
        EXPECT_EQ(program.out, inProcess.out);
        EXPECT_FALSE(program.out.isEmpty());
    }
}

// A report that cannot be written is not reported as calculated: the last of
// it waits in the C library's buffer until the final flush, which fails.
TEST_F(CalcProgramTest, FullDiskIsAFailure)
{
    const QString file = folder_.writeReaction(u"shift.txt"_s, waterGasShift());
    for (const QStringList& arguments :
         {QStringList{file}, QStringList{u"--table"_s, file}, QStringList{u"--help"_s}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        QProcess process;
        process.setWorkingDirectory(folder_.path());
        process.setStandardOutputFile(u"/dev/full"_s);
        process.start(QStringLiteral(NORVANTA_STAGE_DIR "/norvanta-calc"), arguments);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), ExitStatus::OutputFailed);
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()),
                  u"norvanta-calc: 計算結果を書き込めませんでした\n"_s);
    }
}

// Where each program looks for its own Norvane.dll: the installed one under
// its prefix, the build tree's in its own folder only, even when a copy of it
// stands beside a lib/norvanta folder. --help names the folder looked in.
TEST_F(CalcProgramTest, OwnLibraryFolderIsFixedWhenBuilt)
{
    const QString good = folder_.writeReaction(u"good.txt"_s, reforming());
    const struct {
        const char* program;
        int status;
        const char* named; // the library folder --help names
    } cases[] = {
        {NORVANTA_STAGE_DIR "/norvanta-calc", ExitStatus::CalculationFailed, "bin"},
        {NORVANTA_INSTALLED_CALC_PATH, ExitStatus::Success, "lib/norvanta"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        const QTemporaryDir prefix;
        const QString program = prefix.filePath(u"bin/norvanta-calc"_s);
        ASSERT_TRUE(QDir(prefix.path()).mkpath(u"bin"_s));
        ASSERT_TRUE(QDir(prefix.path()).mkpath(u"lib/norvanta"_s));
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(c.program), program));
        ASSERT_TRUE(QFile::copy(QStringLiteral(NORVANTA_SOLVER_PATH),
                                prefix.filePath(u"lib/norvanta/Norvane.dll"_s)));
        QProcess process;
        process.setWorkingDirectory(folder_.path());
        process.start(program, {u"--help"_s});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_TRUE(QString::fromUtf8(process.readAllStandardOutput())
                        .contains(u'(' + prefix.filePath(QString::fromUtf8(c.named)) + u')'));
        process.start(program, {good});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), c.status) << process.readAllStandardError().toStdString();
    }
}
