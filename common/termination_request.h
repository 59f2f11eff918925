#pragma once

namespace norvanta {

// Whether a termination signal asked the program to end. The signal's
// handler sets it (safe inside a handler); a wait that would otherwise hold
// the user-interface thread, such as the wait for Norvane.dat's lock, looks
// at it and gives up, so that the exit runs at once.
void requestTermination() noexcept;
bool terminationRequested() noexcept;

} // namespace norvanta
