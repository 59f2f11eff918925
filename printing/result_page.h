#pragma once

#include "results/canvas.h"
#include "results/report_text.h"
#include "results/results_graph.h"

#include <QString>

#include <functional>

namespace norvanta {

// What the printed result page shows: the report's inputs (fields, units,
// step mode, table, time stamp), the colour mode and the text block's font.
struct ResultPageInput {
    ResultReportInput report;
    bool colour = true;
    // The family the printer took for the text block (the print font or its fallback).
    QString fontFamily;
    double fontPoints = 10;
};

// The plot box of the printed graph whose top edge is y0, with the page's
// label places, titles and colours; lines keep the printer's own pen.
GraphPlacement printedGraphPlacement(double y0, bool colour);

// Draws the page in twips from the top-left of the printable area: the text
// block on the left (title, time stamp, reaction, ratio, pressure, table) and
// the dG, log Kp and conversion graphs stacked on the right. `progress`
// receives 20, 30, … 90 as the stages are drawn.
void DrawResultPage(Canvas& canvas, const ResultPageInput& input,
                    const std::function<void(int)>& progress);

} // namespace norvanta
