#include "app/window_placement.h"

#include "common/twips.h"

#include <QWidget>

namespace norvanta {

QPointF windowPositionTwips(const QWidget& window)
{
    const QPoint topLeft = window.frameGeometry().topLeft();
    return {pixelsToTwips(topLeft.x(), window.logicalDpiX()),
            pixelsToTwips(topLeft.y(), window.logicalDpiY())};
}

void moveWindowToTwips(QWidget& window, std::optional<float> left, std::optional<float> top)
{
    const QPoint now = window.frameGeometry().topLeft();
    const int x = left ? twipsToPixels(*left, window.logicalDpiX()) : now.x();
    const int y = top ? twipsToPixels(*top, window.logicalDpiY()) : now.y();
    window.move(x, y);
}

} // namespace norvanta
