#pragma once

#include "canvas.h"
#include "display_units.h"
#include "results_graph.h"

#include "composition/gibbs_equilibrium.h"

#include <QString>

#include <vector>

namespace norvanta {

// A species gets a line of its own when its mole fraction reaches this at
// some point of the shown series; the rest are in the number table only.
inline constexpr double kDrawnFraction = 1e-3;
// The bottom of the logarithmic value axis.
inline constexpr double kLogAxisBottom = 1e-6;

// What the composition graph shows: one series of the table in the current
// temperature unit, on a linear or a logarithmic value axis.
struct CompositionGraphInputs {
    const CompositionTable& table;
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;
    bool logarithmic = true;
};

// The series of the table in the unit.
const std::vector<CompositionPoint>& compositionSeries(const CompositionTable& table,
                                                       TemperatureUnit unit);

// The temperature of a point as the unit shows it: K, or °C from t + 273.15 K.
double shownTemperature(const CompositionPoint& point, TemperatureUnit unit);

// Indexes, in the table's species order, of the species drawn as lines.
std::vector<int> drawnSpecies(const CompositionTable& table, TemperatureUnit unit);

// The composition window's graph area: the results graph's look, a wider
// box and a margin on the right for the line labels.
GraphPlacement compositionPlacement();

// Clears and draws the graph: titles, grid, frame, value axis, one labelled
// line per drawn species and, when the table includes it, the graphite line
// in moles per mole of feed.
void DrawCompositionGraph(Canvas& canvas, const CompositionGraphInputs& inputs,
                          const GraphPlacement& placement);

} // namespace norvanta
