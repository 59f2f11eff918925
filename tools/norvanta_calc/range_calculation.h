#pragma once

#include "calc_options.h"

#include "engine/reaction_definition.h"
#include "engine/solver_functions.h"
#include "engine/temperature_sweep.h"
#include "thermo/thermo_data.h"

#include <QString>

#include <optional>
#include <vector>

namespace norvanta::calc {

// One point of --range: dG and dH in kcal per mol of limiting compound, dS in
// cal/(mol K), Kp and the conversion as a fraction.
struct RangePoint {
    double kelvin = 0;
    double dG = 0;
    double kp = 0;
    double conversion = 0;
    double dH = 0;
    double dS = 0;
};

// The temperatures of a range: FROM, FROM + STEP, ..., up to TO inclusive
// when it falls on the grid.
std::vector<double> rangeTemperatures(const TemperatureRange& range);

// Why the reaction cannot be computed over the range, the program's words:
// the first compound whose data do not cover it, with their range; empty when
// every compound covers every temperature.
std::optional<QString> uncoveredCompound(const std::vector<CompoundThermo>& reactants,
                                         const std::vector<CompoundThermo>& products,
                                         const TemperatureRange& range);

// The reaction's points over the range from the compounds' thermochemistry
// and CalCv. The definition is validated and normalised. Throws Failure{6}
// when Kp overflows, and SolverUnavailable as the run does.
std::vector<RangePoint> rangePoints(const ReactionDefinition& definition,
                                    const std::vector<CompoundThermo>& reactants,
                                    const std::vector<CompoundThermo>& products,
                                    const TemperatureRange& range, double kpFactor,
                                    SolverFunctions& solver);

// --range's text: one tab-separated line per point ("K", T, dG, Kp,
// conversion, dH, dS; 15 significant digits; LF), under a header line
// unless it is the --table form.
QString rangeText(const std::vector<RangePoint>& points, bool table);

} // namespace norvanta::calc
