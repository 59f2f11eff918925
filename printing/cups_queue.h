#pragma once

#include <QString>

#include <optional>

namespace norvanta {

// What the system's print service says about a printer queue, where the
// program was built with it; elsewhere it says nothing, and printing relies
// on the print dialog layer's own checks.

// True when the queue is known to turn jobs away (it was told to reject them).
bool queueRefusesJobs(const QString& queue);

// The highest job number among this user's jobs on the queue, finished ones
// included (0 for none), or nothing when the print service cannot tell. A
// job sent in between shows as a higher number afterwards.
std::optional<int> lastJobNumber(const QString& queue);

} // namespace norvanta
