#pragma once

#include <QString>

#include <functional>

namespace norvanta {

// Whether the windowing system the program would start on can be reached,
// judged from the environment (the variable's value, empty when unset):
// without a display the toolkit would abort the program instead of
// returning. Platforms that need no display server are taken as available.
bool displayAvailable(const std::function<QString(const char* name)>& environment);

// The same for this process's environment.
bool displayAvailable();

} // namespace norvanta
