#pragma once

#include "canvas.h"
#include "display_units.h"

#include "engine/result_table.h"

#include <QPointF>
#include <QString>

#include <optional>

namespace norvanta {

// What the graph shows: one of the three plots of the last run's table in
// the current display units.
struct GraphInputs {
    const ResultTable& table;
    int plotMode = 0; // 0 dG, 1 log10 Kp, 2 conversion in %
    TemperatureUnit temperatureUnit = TemperatureUnit::Celsius;
    EnergyUnit energyUnit = EnergyUnit::Kcal;
    bool tetraPrecision = false; // 25 K steps: all 33 points; otherwise every fourth
    double caltoj = 4.184;       // kJ per kcal
};

// Where the graph's parts stand and how it is drawn. The results window's
// drawing area uses `screen()`; the printed page places three boxes on the
// page, with its own label places and colours, and leaves pens alone.
struct GraphPlacement {
    double x0 = 650; // plot box, twips
    double y0 = 250;
    double width = 3500;
    double height = 2500;

    QPointF temperatureTitle{2050, 3000};
    QString kelvinTitle = QStringLiteral("Temp./ K");
    QString celsiusTitle = QStringLiteral("Temp./ ﾟC");
    QPointF valueTitle{650, 50};

    double temperatureLabelY = 2800;  // top of the temperature labels
    double temperatureLabelDx = -125; // from the point's x
    double valueLabelX = 200;         // ticks, ymax and ymin labels
    double valueLabelDy = -100;       // from the line (or box edge) they label

    CanvasColour curveColour = kBlue;
    CanvasColour zeroLineColour = kRed;
    bool setsLineWidths = true; // 1 for the grid, 2 for frame and curve
    bool clearsArea = true;     // the screen clears its area; the page does not

    static GraphPlacement screen() { return {}; }
};

// The title of the vertical axis for a plot mode; empty for an unknown mode.
QString valueAxisTitle(int plotMode, EnergyUnit energyUnit);

// The value range of the vertical axis.
struct ValueRange {
    double ymin = 0;
    double ymax = 0;
};

// The plotted value of point i in the inputs' mode and units; not finite
// when the point has no value to plot (log10 of a Kp of 0).
double plottedValue(const GraphInputs& inputs, int i);

// The axis range over the usable points of the sample set: automatic for
// dG and log10 Kp (dG in kJ with both ends on whole tick steps), 0..100 for
// the conversion. Empty when no point is usable
// or the plot mode is unknown.
std::optional<ValueRange> graphRange(const GraphInputs& inputs);

// Distance between the value-axis ticks for a range r; ranges of 110000 and
// more use 10000 scaled by powers of ten so that there are at most 11 ticks.
double tickStep(double range);

// Clears (on screen) and draws the whole graph: titles, grid, frame, curve,
// temperature labels and the value axis. Points not computed and values that
// are not finite are left out of the range and break the curve.
void DrawResultGraph(Canvas& canvas, const GraphInputs& inputs, const GraphPlacement& placement);

// The vertical grid, every eighth of the box's width, and the box's frame.
void DrawPlotFrame(Canvas& canvas, const GraphPlacement& placement);

// Horizontal grid lines (red at 0) and value labels for ymin..ymax of the
// box (x0, y0, width, height), and the ymax and ymin labels.
void DrawValueAxis(Canvas& canvas, const GraphPlacement& placement, double x0, double y0,
                   double width, double height, double ymin, double ymax);

} // namespace norvanta
