#include "app/window_placement.h"

#include "common/twips.h"

#include <QWidget>

#include <algorithm>

namespace norvanta {

QPointF windowPositionTwips(const QWidget& window)
{
    const QPoint topLeft = window.frameGeometry().topLeft();
    return {pixelsToTwips(topLeft.x(), window.logicalDpiX()),
            pixelsToTwips(topLeft.y(), window.logicalDpiY())};
}

namespace {

double keepWholeOnScreen(double coordinate, double windowExtent, double screenExtent)
{
    // The far edge first, so that an oversized window ends at 0, not beyond it.
    return std::max(0.0, std::min(coordinate, screenExtent - windowExtent));
}

} // namespace

QPointF keepWholeOnScreen(QPointF position, QSizeF window, QSizeF screen)
{
    return {keepWholeOnScreen(position.x(), window.width(), screen.width()),
            keepWholeOnScreen(position.y(), window.height(), screen.height())};
}

void moveWindowToTwips(QWidget& window, std::optional<float> left, std::optional<float> top,
                       QSize screen)
{
    const QPoint now = window.frameGeometry().topLeft();
    const int x = left ? twipsToPixels(*left, window.logicalDpiX()) : now.x();
    const int y = top ? twipsToPixels(*top, window.logicalDpiY()) : now.y();
    window.move(x, y);
    keepWindowOnScreen(window, screen);
}

void keepWindowOnScreen(QWidget& window, QSize screen)
{
    // Without a screen size there is nothing to keep the window on.
    if (screen.isEmpty())
        return;
    const QRect frame = window.frameGeometry();
    const QPointF place =
        keepWholeOnScreen(QPointF(frame.topLeft()), QSizeF(frame.size()), QSizeF(screen));
    if (place != QPointF(frame.topLeft()))
        window.move(int(place.x()), int(place.y()));
}

} // namespace norvanta
