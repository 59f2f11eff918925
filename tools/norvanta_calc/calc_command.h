#pragma once

#include "calc_options.h"

#include "engine/constants.h"
#include "engine/reaction_definition.h"
#include "engine/result_table.h"
#include "engine/solver_library.h"

#include "database/compound_index_cache.h"
#include "thermo/thermo_data.h"

#include "common/reaction_fields.h"

#include <QIODevice>
#include <QString>
#include <QStringList>

namespace norvanta::calc {

// What the calculation of one reaction file gave.
struct ReactionOutcome {
    int status = ExitStatus::Success;
    QString output;  // the report or the point table; empty when it failed
    QString message; // why it failed, the program's own message; empty when it worked
};

// The calculations of one command line. constants.txt is read once;
// Norvane.dll is bound at the first calculation and stays bound, so a batch
// pays for loading it once; Norvane.dat is parsed again only when it changed.
class CalcCommand {
public:
    explicit CalcCommand(CalcOptions options);

    // The start-up warnings of constants.txt, one for each value it ignored.
    const QStringList& constantWarnings() const { return constantWarnings_; }

    // Reads the reaction file and runs the calculation the main window runs on
    // it: the validation, the temperature sweep and Norvane.dll.
    ReactionOutcome calculate(const QString& reactionFile);

private:
    // The --composition block of the reaction file's reactants.
    ReactionOutcome compose(const QString& reactionFile, const ReactionFields& fields);

    // The --range lines of the reaction from the compounds' thermochemistry.
    ReactionOutcome calculateRange(const ReactionFields& fields);

    // The --summary line of a reaction the run computed.
    ReactionOutcome summarise(const QString& reactionFile, const ReactionDefinition& definition,
                              const ResultTable& table);

    const CalcOptions options_;
    PhysicalConstants constants_;
    QStringList constantWarnings_;
    SolverLibrary library_;
    CompoundIndexCache databaseCache_;
    PolynomialFileCache polynomialCache_;
    ThermoDataCache thermoCache_;
};

// One tab-separated line per computed point, kelvin series first: series
// ("K" or "C"), temperature in K, dG in kcal/mol, Kp and the conversion as a
// fraction, to 15 significant digits; every line ends in LF.
QString pointTable(const ResultTable& table);

// The text in the chosen encoding.
QByteArray encodedText(const QString& text, OutputEncoding encoding);

// norvanta-calc with the arguments after its name: the results go to `out`,
// usage, warnings and messages to `err`. Returns the exit status, the largest
// of all reaction files when there are several, or OutputFailed as soon as a
// write to `out` fails. The layout says where the program's own copies of
// Norvane.dat and Norvane.dll are.
int runCalc(const QStringList& arguments, const QString& workingFolder, QIODevice& out,
            QIODevice& err, ProgramLayout layout = ProgramLayout::BuildTree);

} // namespace norvanta::calc
