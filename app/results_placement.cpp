#include "app/results_placement.h"

#include "app/window_placement.h"

namespace norvanta {

namespace {

// A coordinate further left (up) than the window is wide (high), or beyond
// the screen's right (bottom) edge, is centred on the screen.
double keepOnScreen(double coordinate, double windowExtent, double screenExtent)
{
    if (coordinate < -windowExtent || coordinate > screenExtent)
        return (screenExtent - windowExtent) / 2;
    return coordinate;
}

QPointF keepOnScreen(QPointF position, QSizeF window, QSizeF screen)
{
    return {keepOnScreen(position.x(), window.width(), screen.width()),
            keepOnScreen(position.y(), window.height(), screen.height())};
}

} // namespace

ResultsWindowPlace placeResultsWindow(const ResultsPlacementRequest& request)
{
    const QSizeF window = request.window;
    const QSizeF screen = request.screen;
    // A restored or centred place shows all of the window, even after the
    // screen shrank (a new resolution or scale factor) under a remembered one.
    const QPointF remembered =
        keepWholeOnScreen(keepOnScreen(request.remembered, window, screen), window, screen);

    const bool bothNegative = request.remembered.x() < 0 && request.remembered.y() < 0;
    if (bothNegative || request.centreFirstDisplay) {
        const QPointF centre = keepWholeOnScreen(
            {(screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2},
            window, screen);
        return {centre, request.normalState ? centre : remembered};
    }
    if (request.normalState && request.closedSinceShown)
        return {remembered, remembered};
    return {keepOnScreen(request.current, window, screen), remembered};
}

} // namespace norvanta
