#pragma once

#include "canvas.h"

#include <QByteArray>
#include <QSizeF>

namespace norvanta {

// A drawing area's picture as a file holds it: an area `twips` in size, on
// white, its window-text lines in black.

// PNG at twice the screen's resolution (192 dpi), so the saved graph stays
// sharp when it is placed in a document.
QByteArray picturePng(const RecordingCanvas& picture, QSizeF twips);

// SVG, every line and text kept as it was drawn.
QByteArray pictureSvg(const RecordingCanvas& picture, QSizeF twips);

} // namespace norvanta
