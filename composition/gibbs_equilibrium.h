#pragma once

#include "engine/run_message.h"

#include "common/reaction_fields.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace norvanta {

class CompoundIndex;
struct PhysicalConstants;

// The equilibrium composition: every species the feed's elements allow, at
// once, by minimising the Gibbs energy of an ideal gas mixture (standard
// state 1 atm) with, optionally, graphite as a pure solid at activity 1.

// One gas species: a record of Norvane.dat.
struct GibbsSpecies {
    QString name;
    std::array<double, 3> atoms{};      // C, H, O
    std::array<double, 8> formationG{}; // dfG at 300, 400, ..., 1000 K, kcal/mol
    bool inert() const { return atoms[0] == 0 && atoms[1] == 0 && atoms[2] == 0; }
};

// What the user asks for. The feed is the reaction's reactants: names and
// partial-pressure ratios, read as moles.
struct CompositionRequest {
    QStringList feedNames;
    std::vector<double> feedMoles;
    double totalPressure = 1; // atm
    bool graphite = false;
    // Restricts the species to these names (the feed's compounds are always
    // included); empty: every record made of the feed's elements.
    QStringList species;
    bool tetraPrecision = false; // 25 K steps; otherwise 100 K
};

// The species of a request, in the data file's order, aliases counted once
// under their first name; feed compounds with no C, H or O stay as inerts.
struct CompositionSystem {
    std::vector<GibbsSpecies> species;
    std::vector<double> feedMoles; // per species, in the same order
    double totalPressure = 1;
    bool graphite = false;
    bool tetraPrecision = false;
};

// A failed request or solve: the message to show or print, and the failure
// number where it has one (6 for non-finite data, as in the run).
struct CompositionError {
    RunMessage message;
    int failureCode = 0;
};

// The point at `kelvin`: mole fractions in the system's species order, and
// the moles of graphite per mole of feed (0 when none deposits or graphite
// is not included).
struct CompositionPoint {
    double kelvin = 0;
    std::vector<double> moleFractions;
    double graphite = 0;
};

// Both temperature series: 300..1100 K and 0..800 °C (t + 273.15 K), at 25 K
// steps or, without tetraPrecision, 100 K steps.
struct CompositionTable {
    QStringList species;
    bool graphite = false;
    std::vector<CompositionPoint> kelvin;
    std::vector<CompositionPoint> celsius;
};

// The request of the main window's reactant rows: each filled row's name
// without its surrounding blanks and its ratio's leading value, and the total
// pressure's. Throws CompositionError for a filled row without a ratio, with
// the run's message, and for a number too large for a double (failure 6).
CompositionRequest compositionRequest(const ReactionFields& fields, bool graphite,
                                      bool tetraPrecision);

// Builds the system of a request from the database. Throws CompositionError
// for an empty feed, an unknown name, a ratio that is not a positive finite
// number, a species outside the feed's elements, or a record with non-finite
// data (failure 6).
CompositionSystem compositionSystem(const CompositionRequest& request,
                                    const CompoundIndex& database);

// dfG of a species at any temperature, kcal/mol: the straight line between
// the tabulated temperatures that bracket T, extended from the end segments.
double formationGibbsAt(const GibbsSpecies& species, double kelvin);

// The equilibrium at one temperature. Throws CompositionError when the solve
// does not meet its checks (element balances, finite non-negative fractions
// summing to 1).
CompositionPoint equilibriumAt(const CompositionSystem& system, double kelvin,
                               const PhysicalConstants& constants);

// Both series of the system.
CompositionTable compositionTable(const CompositionSystem& system,
                                  const PhysicalConstants& constants);

// The text norvanta-calc --composition prints for one table and the window's
// copy button puts on the clipboard: a header line, one row per point, an
// empty line, lines ended by `lineEnd`.
QString compositionText(const CompositionTable& table, const QString& lineEnd);

} // namespace norvanta
