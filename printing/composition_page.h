#pragma once

#include "results/canvas.h"
#include "results/composition_view.h"
#include "results/results_graph.h"

#include <QDateTime>
#include <QString>

namespace norvanta {

// What the printed composition page shows: the window's heading, its
// composition in the unit shown, the species its table lists, the scale of
// its graph, and the text block's font.
struct CompositionPageInput {
    QString heading;
    CompositionView view;
    ListedSpecies listed;
    bool logarithmic = true;
    bool colour = true;
    QString fontFamily; // the family the printer took for the text
    double fontPoints = 10;
    QDateTime timestamp;
};

// The graph's box on the page, with room on the right for the line labels.
GraphPlacement compositionPagePlacement();

// The species columns of the printed table: the most abundant listed ones.
inline constexpr int kPrintedSpecies = 7;
// At most this many rows: longer series are printed at every second (third,
// ...) point.
inline constexpr int kPrintedRows = 28;

// Draws one A4 page in twips from the top-left of the printable area: the
// title and time stamp, the heading line, the graph, and a table of the main
// species' mole fractions, one row per printed point.
void DrawCompositionPage(Canvas& canvas, const CompositionPageInput& input);

} // namespace norvanta
