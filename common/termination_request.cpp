#include "termination_request.h"

#include <csignal>

namespace norvanta {

namespace {

// Process-wide by nature: a signal handler reaches no object.
volatile std::sig_atomic_t requested = 0;

} // namespace

void requestTermination() noexcept
{
    requested = 1;
}

bool terminationRequested() noexcept
{
    return requested != 0;
}

} // namespace norvanta
