#pragma once

#include "canvas.h"
#include "composition_view.h"
#include "results_graph.h"

#include <QString>

#include <vector>

namespace norvanta {

// A species gets a line of its own when its mole fraction reaches this at
// some point of the shown series; the rest are in the number table only.
inline constexpr double kDrawnFraction = 1e-3;
// The bottom of the logarithmic value axis.
inline constexpr double kLogAxisBottom = 1e-6;

// What the composition graph shows: every series of the view, on a linear or
// a logarithmic value axis.
struct CompositionGraphInputs {
    const CompositionView& view;
    bool logarithmic = true;
};

// Indexes, most abundant first, of the species drawn as lines.
std::vector<int> drawnSpecies(const CompositionView& view);

// The composition window's graph area: the results graph's look, a wider
// box and a margin on the right for the line labels.
GraphPlacement compositionPlacement();

// Clears (when the placement says so) and draws the graph: titles, grid,
// frame, value and temperature axes, and one line per drawn species and
// series. A species keeps its colour in every series; the series of the
// second and later pressures are dashed, each its own way, and a legend above
// the box names their pressures. The lines of the first series carry the
// species' labels; condensed phases are drawn in moles per mole of feed. A
// series of one point (adiabatic) is marked by a cross.
void DrawCompositionGraph(Canvas& canvas, const CompositionGraphInputs& inputs,
                          const GraphPlacement& placement);

} // namespace norvanta
