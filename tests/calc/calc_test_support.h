#pragma once

#include "tools/norvanta_calc/calc_command.h"

#include "engine/calculation_run.h"
#include "engine/solver_library.h"

#include "files/reaction_file.h"

#include "support/example_reactions.h"
#include "support/test_files.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace norvanta::testing {

using namespace Qt::StringLiterals;

inline QString shippedDatabasePath()
{
    return QStringLiteral(NORVANTA_SOURCE_DIR "/data/Norvane.dat");
}

inline QString builtLibraryPath()
{
    return QStringLiteral(NORVANTA_SOLVER_PATH);
}

inline const QDateTime& fixedTime()
{
    static const QDateTime time(QDate(2024, 3, 5), QTime(7, 8, 9));
    return time;
}

// What the main window holds after a run on the fields: the fields as the run
// wrote them back and the table.
struct EngineResult {
    TickOutcome outcome = TickOutcome::Idle;
    ReactionFields fields;
    ResultTable table;
};

inline EngineResult runEngine(ReactionFields fields, bool tetraPrecision,
                              double kpFactor = 1000 / 1.987216)
{
    RunHost host;
    SolverLibrary library(builtLibraryPath());
    ReactionDefinition definition;
    EngineResult result;
    CalculationRun run(
        {shippedDatabasePath(), QFileInfo(builtLibraryPath()).absolutePath(), kpFactor}, fields,
        definition, result.table, library, host);
    run.start(tetraPrecision);
    result.outcome = run.runToEnd().outcome;
    result.fields = fields;
    return result;
}

// What one call of norvanta-calc wrote and returned.
struct CalcRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// A working folder for the calculator with reaction files written by the
// program's own writer.
class CalcFolder {
public:
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    QString writeReaction(const QString& name, const ReactionFields& fields) const
    {
        const QString path = filePath(name);
        EXPECT_FALSE(saveReactionFile(path, fields, fixedTime()).has_value());
        return path;
    }

    QString writeBytes(const QString& name, const QByteArray& bytes) const
    {
        testing::writeBytes(filePath(name), bytes);
        return filePath(name);
    }

    // The calculator in process, with the shipped database and the built
    // library unless the arguments name others.
    CalcRun run(const QStringList& arguments) const
    {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const QStringList withFiles =
            QStringList{u"--data"_s, shippedDatabasePath(), u"--library"_s, builtLibraryPath()} +
            arguments;
        const int status = calc::runCalc(withFiles, path(), out, err);
        return {status, out.data(), err.data()};
    }

private:
    QTemporaryDir dir_;
};

} // namespace norvanta::testing
