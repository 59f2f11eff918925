#pragma once

#include "tools/norvanta_calc/calc_command.h"

#include "engine/calculation_run.h"
#include "engine/solver_library.h"

#include "files/reaction_file.h"

#include "common/reaction_fields.h"

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
    return QStringLiteral(NORVANTA_STAGE_DIR "/Norvane.dat");
}

inline QString builtLibraryPath()
{
    return QStringLiteral(NORVANTA_SOLVER_PATH);
}

// The fields of a reaction with up to four reactants (name, coefficient,
// ratio) and products (name, coefficient), row by row from the first.
inline ReactionFields reaction(const std::vector<std::array<QString, 3>>& reactants,
                               const std::vector<std::array<QString, 2>>& products, int restrict,
                               const QString& pressure = u"1"_s)
{
    ReactionFields fields;
    for (std::size_t row = 0; row < reactants.size(); ++row) {
        fields.react[row] = reactants[row][0];
        fields.reactNum[row] = reactants[row][1];
        fields.molar[row] = reactants[row][2];
    }
    for (std::size_t row = 0; row < products.size(); ++row) {
        fields.product[row] = products[row][0];
        fields.productNum[row] = products[row][1];
    }
    fields.restrict = restrict;
    fields.pressure = pressure;
    return fields;
}

// CO2 + CH4 = 2 CO + 2 H2, 1:1, CO2 limiting, 1 atm.
inline ReactionFields reforming()
{
    return reaction({{u"CO2"_s, u"1"_s, u"1"_s}, {u"CH4"_s, u"1"_s, u"1"_s}},
                    {{u"CO"_s, u"2"_s}, {u"H2"_s, u"2"_s}}, 0);
}

// CO + H2O = CO2 + H2 with steam in excess at 5 atm, CO limiting.
inline ReactionFields waterGasShift()
{
    return reaction({{u"CO"_s, u"1"_s, u"1"_s}, {u"H2O"_s, u"1"_s, u"3"_s}},
                    {{u"CO2"_s, u"1"_s}, {u"H2"_s, u"1"_s}}, 0, u"5"_s);
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
        QFile file(filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
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
