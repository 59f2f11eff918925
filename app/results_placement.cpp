#include "app/results_placement.h"

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
    const QPointF remembered = keepOnScreen(request.remembered, window, screen);

    const bool bothNegative = request.remembered.x() < 0 && request.remembered.y() < 0;
    if (bothNegative || request.centreFirstDisplay) {
        const QPointF centre((screen.width() - window.width()) / 2,
                             (screen.height() - window.height()) / 2);
        return {centre, request.normalState ? centre : remembered};
    }
    if (request.normalState && request.closedSinceShown)
        return {remembered, remembered};
    return {keepOnScreen(request.current, window, screen), remembered};
}

} // namespace norvanta
