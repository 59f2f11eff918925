#pragma once

#include <QString>

namespace norvanta {

// Norvane.env holds one letter: "B" while the program runs and after a normal
// exit, "A" after an exit while the main window was minimised. Anything but
// "B" makes the results window centre itself the first time it is shown.

// The marker's name in the start-up folder.
QString placementMarkerFileName();

// True when the results window is to be centred at its first display: the
// marker does not hold "B" (in any case), is missing or cannot be read. In
// that case the marker is rewritten holding "B".
bool CheckPlacementMarker(const QString& path);

// Writes the marker holding the letter; false when it could not be written.
bool writePlacementMarker(const QString& path, const QString& letter);

} // namespace norvanta
