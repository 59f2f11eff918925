// The generator as a program: it reproduces the committed database and,
// when it fails, leaves what was there before.
#include "shipped_files.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace norvanta::testing {
namespace {

class GeneratorRun : public ::testing::Test {
protected:
    // Runs norvanta-gen-database; the exit code, or -1 when it crashed or hung.
    int run(const QString& input, const QString& output, const QString& polynomials = {})
    {
        QProcess process;
        QStringList arguments{input, output};
        if (!polynomials.isEmpty())
            arguments.append(polynomials);
        process.start(QStringLiteral(NORVANTA_GEN_DATABASE_PATH), arguments);
        if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
            return -1;
        errorOutput = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitCode();
    }

    QString inFolder(const QString& name) const { return folder.filePath(name); }

    void writeFile(const QString& path, const QByteArray& bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir folder;
    QString errorOutput;
};

TEST_F(GeneratorRun, ReproducesTheCommittedFilesByteForByte)
{
    const QString output = inFolder(QStringLiteral("Norvane.dat"));
    const QString polynomials = inFolder(QStringLiteral("NorvaneThermo.dat"));
    ASSERT_EQ(run(shippedThermoPath(), output, polynomials), 0) << errorOutput.toStdString();
    for (const auto& [written, committedPath] : {std::pair{output, shippedDatabasePath()},
                                                 std::pair{polynomials, shippedPolynomialPath()}}) {
        const QByteArray committed = fileBytes(committedPath);
        ASSERT_FALSE(committed.isEmpty());
        EXPECT_TRUE(fileBytes(written) == committed)
            << committedPath.toStdString() << " differs from what the generator writes";
    }
}

TEST_F(GeneratorRun, FailureKeepsThePreviousOutput)
{
    const QByteArray thermo = fileBytes(shippedThermoPath());
    ASSERT_FALSE(thermo.isEmpty());
    const struct {
        const char* what;
        QByteArray input; // empty: no input file at all
        const char* message;
    } cases[] = {
        {"missing input", {}, "cannot read"},
        {"input cut inside the data", thermo.left(thermo.size() / 2), "thermo.inp line"},
        {"input without data", QByteArray("! comments only\n"), "no \"thermo\" line"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString input = inFolder(QStringLiteral("thermo.inp"));
        QFile::remove(input);
        if (!c.input.isEmpty())
            writeFile(input, c.input);
        const QString output = inFolder(QStringLiteral("Norvane.dat"));
        writeFile(output, "previous\r\n");

        EXPECT_EQ(run(input, output), 1);
        EXPECT_TRUE(errorOutput.contains(QLatin1String(c.message))) << errorOutput.toStdString();
        EXPECT_EQ(fileBytes(output), QByteArray("previous\r\n"));
    }
}

TEST_F(GeneratorRun, MissingOutputFolderFails)
{
    const QString output = inFolder(QStringLiteral("no such folder/Norvane.dat"));
    EXPECT_EQ(run(shippedThermoPath(), output), 1);
    EXPECT_TRUE(errorOutput.contains(QLatin1String("cannot write"))) << errorOutput.toStdString();
    EXPECT_FALSE(QFile::exists(output));
}

} // namespace
} // namespace norvanta::testing
