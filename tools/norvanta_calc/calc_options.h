#pragma once

#include "results/display_units.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace norvanta::calc {

// The exit status of norvanta-calc, for the scripts that call it.
namespace ExitStatus {
constexpr int Success = 0;
constexpr int InvalidReaction = 1;   // a check of the reaction failed
constexpr int CalculationFailed = 2; // the reaction file, Norvane.dat or Norvane.dll
constexpr int NotConverged = 3;      // some composition points could not be computed
constexpr int Usage = 64;            // the command line is wrong
constexpr int OutputFailed = 74;     // the results could not be written (a full disk)
} // namespace ExitStatus

enum class OutputEncoding { Utf8, ShiftJis };

// --range FROM:TO:STEP in kelvin.
struct TemperatureRange {
    double from = 0;
    double to = 0;
    double step = 0;
};

// The most points a range may have.
constexpr int kMaxRangePoints = 10000;

// Which norvanta-calc this is, decided when it was built: the installed
// program keeps its copies under its prefix, the build tree's beside it.
enum class ProgramLayout { BuildTree, Installed };

// The folders of the copies that come with norvanta-calc: share/norvanta and
// lib/norvanta under the prefix of an installed program (the parent of its
// bin folder), the program's own folder in the build tree. A build-tree
// program never looks beyond its folder, whatever lies beside a copy of it.
struct ProgramFolders {
    QString data;
    QString library;
};

// Everything the command line chooses.
struct CalcOptions {
    bool tetraPrecision = true; // 25 K steps
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;
    EnergyUnit energyUnit = EnergyUnit::Kcal;
    QString databasePath;
    QString libraryPath;
    QString constantsPath;
    // Whether --data or --library named the file; the others are looked up.
    bool databaseGiven = false;
    bool libraryGiven = false;
    std::optional<QDateTime> timestamp; // the date line; the local clock when absent
    OutputEncoding encoding = OutputEncoding::Utf8;
    bool table = false;
    bool summary = false;
    std::vector<double> targets{0.5, 0.9}; // conversions of --summary, as fractions
    // --composition: the equilibrium composition over every species instead
    // of the reaction, optionally with graphite and a list of species.
    bool composition = false;
    bool graphite = false;
    QStringList species;
    // --range: the reaction from the polynomials at these temperatures.
    std::optional<TemperatureRange> range;
    // --condensed, --pressures, --adiabatic, --dry, --derived (and --range) for --composition.
    bool condensed = false;
    std::vector<double> pressures; // atm
    std::optional<double> adiabaticFeedKelvin;
    bool dry = false;
    bool derived = false;
    QStringList reactionFiles;
};

struct ParsedArguments {
    CalcOptions options;
    bool help = false;
    // Why the command line cannot be used; empty when it can.
    QString error;
};

// Reads the arguments after the program name. The data, library and
// constants files default to Norvane.dat, Norvane.dll and constants.txt in
// the working folder; applyLookup then decides the first two where no
// option named them.
// Options take their value as the next argument or after "="; "--" ends the
// options.
ParsedArguments parseCalcArguments(const QStringList& arguments, const QString& workingFolder);

// The short text shown after a wrong command line.
QString usageText();

// The text of --help: every option, the places looked in (naming the
// program's own folders) and the exit statuses.
QString helpText(const ProgramFolders& own, ProgramLayout layout);

} // namespace norvanta::calc
