#pragma once

#include <QPointF>
#include <QSize>
#include <QSizeF>

#include <optional>

class QWidget;

namespace norvanta {

// A window's outer top-left corner in twips of the screen.
QPointF windowPositionTwips(const QWidget& window);

// Where a window of the given outer size goes so that all of it lies on the
// screen (any unit, the same for all three): a position that fits stays
// exactly as it is; otherwise the window moves straight onto the screen by
// the least distance. A window larger than the screen keeps its top-left
// corner, and so its caption, on the screen.
QPointF keepWholeOnScreen(QPointF position, QSizeF window, QSizeF screen);

// Moves the window's outer top-left corner to the edges given in twips; an
// edge that is not given stays where it is. A remembered place that would
// leave part of the window off the screen (of the given size in pixels,
// after a change of resolution or scale) is moved wholly onto it.
void moveWindowToTwips(QWidget& window, std::optional<float> left, std::optional<float> top,
                       QSize screen);

// Moves the window wholly onto the screen (its size in pixels) if part of
// its outer frame lies off it. A window gets its frame only when first
// shown: the program calls this again then.
void keepWindowOnScreen(QWidget& window, QSize screen);

} // namespace norvanta
