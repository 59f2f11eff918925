// The program's binding to Norvane.dll: loading by path, binding by name, and
// telling a missing file from one that is there but cannot be used.
#include "engine/solver_library.h"
#include "norvane_exports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace norvanta;

namespace {

class SolverLibraryTest : public ::testing::Test {
protected:
    QString libraryPath() const { return folder_->filePath(QStringLiteral("Norvane.dll")); }

    void placeCopyOf(const char* source)
    {
        QFile::remove(libraryPath());
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(source), libraryPath())) << source;
    }

    void placeText(const QByteArray& bytes)
    {
        QFile file(libraryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Both functions refuse, again on a second attempt, and the problem is the given one.
    static void expectUnavailable(SolverLibrary& library, SolverProblem problem)
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            EXPECT_THROW(library.calCv(1, 1, 1, 1, {1}, {1}, {1}, 1e-30), SolverUnavailable);
            EXPECT_THROW(library.interp(300, 1, 400, 2, 350), SolverUnavailable);
        }
        EXPECT_EQ(library.problem(), problem);
    }

    std::optional<QTemporaryDir> folder_{std::in_place};
};

} // namespace

TEST_F(SolverLibraryTest, MissingFileIsReportedAsMissing)
{
    SolverLibrary library(libraryPath());
    expectUnavailable(library, SolverProblem::FileMissing);
    EXPECT_FALSE(library.errorString().isEmpty());
}

TEST_F(SolverLibraryTest, FileThereButNotTheSolverIsUnusable)
{
    const struct {
        const char* what;
        const char* copyOf; // nullptr: the text below instead
        QByteArray text;
    } cases[] = {
        {"text file named like the library", nullptr, "This is not a library.\r\n"},
        {"empty file", nullptr, {}},
        {"library without the solver's functions", NORVANTA_FOREIGN_LIBRARY_PATH, {}},
        {"library lacking Interp, unusable even for CalCv", NORVANTA_CALCV_ONLY_LIBRARY_PATH, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        folder_.emplace(); // a fresh folder, so nothing loaded before is met again
        if (c.copyOf)
            placeCopyOf(c.copyOf);
        else
            placeText(c.text);
        SolverLibrary library(libraryPath());
        expectUnavailable(library, SolverProblem::FileUnusable);
    }
}

TEST_F(SolverLibraryTest, RealLibraryPassesEverySlotToItsPlace)
{
    placeCopyOf(NORVANTA_SOLVER_PATH);
    SolverLibrary library(libraryPath());

    // Every slot different, so a slot passed to the wrong place changes the result.
    test::SolverReaction r;
    r.reactantCount = 4;
    r.productCount = 4;
    r.reactantCoef = {1, 0.5, 2, 1.5};
    r.reactantAmount = {1, 3, 4.5, 2.5};
    r.productCoef = {1, 2, 0.5, 3};
    for (const double kp : {1e-3, 0.7, 40.0}) {
        const double bound = library.calCv(kp, 2.5, r.reactantCount, r.productCount,
                                           r.reactantCoef, r.reactantAmount, r.productCoef, 1e-30);
        EXPECT_EQ(bound, test::calCv(r, kp, 2.5)) << "Kp " << kp;
    }
    // The tolerance is passed on: A = B with Kp 2 stops at 0.6875 within 0.1.
    EXPECT_EQ(library.calCv(2, 1, 1, 1, {1}, {1}, {1}, 0.1), 0.6875);
    EXPECT_NEAR(library.interp(300, 10, 400, 20, 273), 7.3, 1e-12);
    EXPECT_TRUE(library.errorString().isEmpty());
}

TEST_F(SolverLibraryTest, LibraryPutInPlaceAfterAFailureIsUsedByTheNextCall)
{
    SolverLibrary library(libraryPath());
    EXPECT_THROW(library.interp(300, 1, 400, 2, 350), SolverUnavailable);
    placeCopyOf(NORVANTA_SOLVER_PATH);
    EXPECT_NEAR(library.interp(300, 1, 400, 2, 350), 1.5, 1e-12);
    EXPECT_EQ(library.calCv(1, 1, 1, 1, {1}, {1}, {1}, 1e-30), 0.5);
}

// Only the named file is loaded: an impostor in a hardware-capability
// subfolder beside it, or under another library name while it is missing, is
// never taken for it.
TEST_F(SolverLibraryTest, OnlyTheNamedFileIsLoaded)
{
    const struct {
        const char* plantedAs;
        bool realThere;
    } cases[] = {
        {"haswell/Norvane.dll", true}, {"glibc-hwcaps/x86-64-v3/Norvane.dll", true},
        {"Norvane.dll.so", false},     {"libNorvane.dll", false},
        {"libNorvane.dll.so", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plantedAs);
        folder_.emplace();
        const QString planted = folder_->filePath(QString::fromUtf8(c.plantedAs));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(planted).path()));
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(NORVANTA_IMPOSTOR_LIBRARY_PATH), planted));
        if (c.realThere)
            placeCopyOf(NORVANTA_SOLVER_PATH);
        // Loaded through a relative path too, as norvanta-calc --library ./Norvane.dll does.
        const QString current = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(folder_->path()));
        SolverLibrary library(QStringLiteral("./Norvane.dll"));
        if (c.realThere)
            EXPECT_EQ(library.calCv(1, 1, 1, 1, {1}, {1}, {1}, 1e-30), 0.5);
        else
            expectUnavailable(library, SolverProblem::FileMissing);
        QDir::setCurrent(current);
    }
}
