#pragma once

#include <QPointF>

#include <optional>

class QWidget;

namespace norvanta {

// A window's outer top-left corner in twips of the screen.
QPointF windowPositionTwips(const QWidget& window);

// Moves the window's outer top-left corner to the edges given in twips; an
// edge that is not given stays where it is.
void moveWindowToTwips(QWidget& window, std::optional<float> left, std::optional<float> top);

} // namespace norvanta
