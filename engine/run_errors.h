#pragma once

#include "engine/run_message.h"

#include <QString>

namespace norvanta {

// The run's error handler: the message for a failure that stopped a
// calculation run in steps 1 to 5, 8 or 9.

// Norvane.dll could not be loaded or bound: the message tells a damaged file
// in the start folder from a missing one.
RunMessage unusableSolverMessage(const QString& startFolder);

// The same message for the library file at `libraryPath`, whatever its name.
RunMessage unusableLibraryMessage(const QString& libraryPath);

// A failure by number: 62 is the compound data file's own message, every
// other number an internal error.
RunMessage runFailureMessage(int code);

} // namespace norvanta
