#include "app/termination_signal.h"

#include "common/termination_request.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace norvanta {

namespace {

constexpr std::array<int, 3> kSignals{SIGTERM, SIGINT, SIGHUP};

// The socket pair between the handler and the notifier: [0] is written, [1] read.
int signalSockets[2] = {-1, -1};
std::array<struct sigaction, kSignals.size()> previousActions;
volatile sig_atomic_t signalled = 0;

extern "C" void onTerminationSignal(int)
{
    // Only the first signal counts; the others would queue a second exit.
    if (signalled)
        return;
    signalled = 1;
    requestTermination();
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = savedErrno;
}

// The three signals in one set, for blocking and letting them through.
sigset_t terminationSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kSignals)
        sigaddset(&set, signal);
    return set;
}

} // namespace

void TerminationSignal::holdSignals()
{
    const sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

TerminationSignal::TerminationSignal(FinalStep finalStep, QObject* parent)
    : QObject(parent), m_finalStep(std::move(finalStep))
{
    install();
    // A signal held since the start of main arrives now, at the handler.
    const sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

void TerminationSignal::install()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0)
        return;
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::onSignal);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    // No signal of the three interrupts the handler of another.
    action.sa_mask = terminationSet();
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &previousActions[i]);
}

TerminationSignal::~TerminationSignal()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &previousActions[i], nullptr);
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void TerminationSignal::onSignal()
{
    for (const int signal : kSignals)
        std::signal(signal, SIG_IGN);
    m_notifier->setEnabled(false);
    if (m_finalStep)
        m_finalStep();
    // Straight out: returning to the event loop, or unwinding through an open
    // question's loop, would let the question's code go on as if answered.
    std::fflush(nullptr);
    ::_exit(0);
}

} // namespace norvanta
