#pragma once

#include <QPointF>
#include <QSizeF>

namespace norvanta {

// What decides where the results window goes when a calculation shows it.
// Positions and sizes are twips of the screen; positions are the window's
// outer top-left corner.
struct ResultsPlacementRequest {
    QPointF remembered; // ResultsLeft, ResultsTop
    QPointF current;    // where the window is now
    QSizeF window;      // outer size of the window
    QSizeF screen;
    // The first display since start-up, and the placement marker asked for centring.
    bool centreFirstDisplay = false;
    // The user closed the window after it was last shown, or it was never shown.
    bool closedSinceShown = false;
    bool normalState = true; // neither minimised nor maximised
};

struct ResultsWindowPlace {
    QPointF position;   // where the window is shown
    QPointF remembered; // the new ResultsLeft, ResultsTop
};

// Centres the window when both remembered coordinates are negative or the
// first display asks for it (remembering the centre of a normal window);
// otherwise a normal window that was closed goes back to the remembered
// position, and a window still open keeps its place. A coordinate that lies
// wholly off the screen is centred on that axis instead, so the window is
// never shown where the user cannot reach it; a restored or centred window
// that would still stick out of the screen is moved wholly onto it.
ResultsWindowPlace placeResultsWindow(const ResultsPlacementRequest& request);

} // namespace norvanta
