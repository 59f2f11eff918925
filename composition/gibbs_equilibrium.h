#pragma once

#include "engine/run_message.h"

#include "common/reaction_fields.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace norvanta {

class CompoundIndex;
class CompoundThermo;
class ThermoData;
struct PhysicalConstants;

// The equilibrium composition: every species the feed's elements allow, at
// once, by minimising the Gibbs energy of an ideal gas mixture (standard
// state 1 atm) with, optionally, graphite as a pure solid at activity 1.

// One gas species: a record of Norvane.dat.
struct GibbsSpecies {
    QString name;
    std::array<double, 3> atoms{};      // C, H, O
    std::array<double, 8> formationG{}; // dfG at 300, 400, ..., 1000 K, kcal/mol
    // With the polynomial file: the compound's data (dfG wherever they cover
    // the temperature) and its counts of CompositionSystem::elements; the
    // table's atoms and formationG are then unused.
    std::shared_ptr<const CompoundThermo> thermo;
    std::vector<double> counts;
    bool inert() const
    {
        if (thermo)
            return std::all_of(counts.begin(), counts.end(), [](double c) { return c == 0; });
        return atoms[0] == 0 && atoms[1] == 0 && atoms[2] == 0;
    }
};

// Temperatures from `from` to `to` by `step`, in kelvin or in degrees Celsius;
// `to` itself is included when a whole number of steps reaches it (to 1e-9 of
// a step), never passed.
struct TemperatureRange {
    double from = 0;
    double to = 0;
    double step = 0;
    bool celsius = false;
    // The temperatures in kelvin; empty when the range is not usable (a step
    // that is not positive, `to` below `from`, more than kMaxRangePoints).
    std::vector<double> kelvins() const;
};
constexpr int kMaxRangePoints = 100000;

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
    // Every condensed species of the feed's elements as a pure phase, by the
    // phase rule (graphite alone stays `graphite`).
    bool condensed = false;
    // One series at these temperatures instead of the two default series.
    std::optional<TemperatureRange> range;
    // Several total pressures, atm, each its own series (or series pair);
    // empty: totalPressure alone, as the default output has it.
    std::vector<double> pressures;
    // Adiabatic mode: the feed's temperature, K; one point per pressure at the
    // temperature where the products' enthalpy equals the feed's.
    std::optional<double> adiabaticFeedKelvin;
};

// The species of a request, in the data file's order, aliases counted once
// under their first name; feed compounds with no C, H or O stay as inerts.
struct CompositionSystem {
    std::vector<GibbsSpecies> species;
    std::vector<double> feedMoles; // per species, in the same order
    double totalPressure = 1;
    bool graphite = false;
    bool tetraPrecision = false;
    // The request's options, as given.
    bool condensed = false;
    std::optional<TemperatureRange> range;
    std::vector<double> pressures;
    std::optional<double> adiabaticFeedKelvin;
    // The feed as the user named it, in order, with its moles (for the heading
    // and the conversions).
    QStringList feedNames;
    std::vector<double> feedNameMoles;
    // Why some species or data are left out, one line each.
    QStringList notices;
    // Index in `species` of each feed name.
    std::vector<int> feedSpecies;
    // With the polynomial file's species: the elements balanced, by symbol
    // (each species' counts follow this order); empty for Norvane.dat's C, H, O.
    QStringList elements;
    // The condensed species that may form, each a pure phase, named by their
    // data names: graphite alone ("C(gr)") with `graphite`, every condensed
    // species of the feed's elements with `condensed`.
    std::vector<GibbsSpecies> condensedPhases;
};

// A failed request or solve: the message to show or print, and the failure
// number where it has one (6 for non-finite data, as in the run).
struct CompositionError {
    RunMessage message;
    int failureCode = 0;
};
// The failure code of a point the solver could not compute (no failure number
// of the data's): the iteration did not converge or its answer failed the checks.
constexpr int kNotConverged = -1;

// The point at `kelvin`: mole fractions in the system's species order, and
// the moles of graphite per mole of feed (0 when none deposits or graphite
// is not included).
struct CompositionPoint {
    double kelvin = 0;
    std::vector<double> moleFractions;
    double graphite = 0;
    // Moles of each of the table's condensed species per mole of feed, in
    // CompositionTable::condensed's order (graphite's included).
    std::vector<double> condensedMoles;
    // Moles of gas per mole of feed (0 when no gas is left).
    double gasMoles = 0;
    // Not empty: this point could not be computed, and this says why; its
    // values are then empty.
    QString failure;
    bool failed() const { return !failure.isEmpty(); }
};

// One series: the points of one temperature list at one total pressure.
struct CompositionSeries {
    QString name;        // the text's first field: "K", "C" or "H" (adiabatic)
    double pressure = 1; // atm
    std::vector<CompositionPoint> points;
};

// By default both temperature series: 300..1100 K and 0..800 °C
// (t + 273.15 K), at 25 K steps or, without tetraPrecision, 100 K steps.
struct CompositionTable {
    QStringList species; // the gases, the system's species order
    bool graphite = false;
    // The default series at the one pressure (also the first two of `series`).
    std::vector<CompositionPoint> kelvin;
    std::vector<CompositionPoint> celsius;
    // Condensed species shown: C(gr) with graphite, with condensed phases
    // every one present at some point, by their data names.
    QStringList condensed;
    // Every series in order: per pressure, the kelvin and Celsius series, or
    // the range's one series "K", or the adiabatic row "H".
    std::vector<CompositionSeries> series;
    // Whether the pressures were chosen (each block then names its pressure).
    bool pressuresGiven = false;
    QStringList notices;
    QStringList feedNames;        // as fed, in order
    std::vector<double> feedMoles; // per feed name
    // Index in `species` of each feed name (-1 when it is condensed).
    std::vector<int> feedSpecies;
    // Index in `species` of water vapour, hydrogen and carbon monoxide, by
    // their formulas; -1 when absent.
    int water = -1;
    int hydrogen = -1;
    int carbonMonoxide = -1;
    bool anyFailed() const;
};

// Figures that follow from one point: the conversion of each feed compound
// (1 - its moles at equilibrium / its moles fed), in the table's feed order,
// and the H2/CO ratio where the table holds both and CO is not 0.
struct DerivedFigures {
    std::vector<double> conversion;
    std::optional<double> h2ToCo;
};
DerivedFigures derivedFigures(const CompositionTable& table, const CompositionPoint& point);

// The point's mole fractions without water vapour, renormalised (water's
// entry 0); the fractions as they are when the table has no water or the
// gas is all water.
std::vector<double> dryFractions(const CompositionTable& table, const CompositionPoint& point);

// What the text adds to the default: fractions on a dry basis, derived figures.
struct CompositionTextOptions {
    bool dry = false;
    bool derived = false;
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
//
// The solve balances carbon, hydrogen and oxygen only, so a record whose
// compound holds any other element (NH3, H2S: their records show only their
// H) is no species, and such a feed compound is refused; the elements in
// their reference state without C, H or O (N2, Ar, He: dG 0) stay inerts.
// The elements come from the polynomial file where it holds the record's
// name. Without it, the records of the nitrogen and sulfur genres are taken
// as holding other elements, which the shipped ones do.
CompositionSystem compositionSystem(const CompositionRequest& request, const ThermoData& thermo);
// The same with Norvane.dat alone, as without the polynomial file.
CompositionSystem compositionSystem(const CompositionRequest& request,
                                    const CompoundIndex& database);

// dfG of a species at any temperature, kcal/mol: the straight line between
// the tabulated temperatures that bracket T, extended from the end segments.
double formationGibbsAt(const GibbsSpecies& species, double kelvin);

// The equilibrium at one temperature, at the system's total pressure. Throws
// CompositionError when the solve does not meet its checks (element balances,
// finite non-negative fractions summing to 1, the equilibrium condition).
CompositionPoint equilibriumAt(const CompositionSystem& system, double kelvin,
                               const PhysicalConstants& constants);

// Every series of the system. A point that cannot be computed is marked
// with its reason (CompositionPoint::failure); the others are kept.
CompositionTable compositionTable(const CompositionSystem& system,
                                  const PhysicalConstants& constants);

// The text norvanta-calc --composition prints for one table and the window's
// copy button puts on the clipboard: per pressure block (with chosen
// pressures a line "# 全圧 P atm" first) a header line, one row per point, an
// empty line; lines ended by `lineEnd`. A failed point's row holds its series
// and temperature and empty fields.
QString compositionText(const CompositionTable& table, const QString& lineEnd,
                        CompositionTextOptions options = {});

} // namespace norvanta
