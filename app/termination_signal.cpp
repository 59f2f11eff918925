#include "app/termination_signal.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QWidget>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace norvanta {

namespace {

// The socket pair between the handler and the notifier: [0] is written, [1] read.
int signalSockets[2] = {-1, -1};
struct sigaction previousTerm;
struct sigaction previousInt;

extern "C" void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

} // namespace

TerminationSignal::TerminationSignal(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0)
        return;
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::onSignal);
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &previousTerm);
    ::sigaction(SIGINT, &action, &previousInt);
}

TerminationSignal::~TerminationSignal()
{
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void TerminationSignal::onSignal()
{
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(signalSockets[1], &byte, 1);
    QApplication::closeAllWindows();
    // Nothing left open (or nothing was shown yet): end here. A window that
    // stayed open kept the program running by the user's answer. Outside an
    // event loop there is nothing to end.
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            return;
    }
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::quit();
}

} // namespace norvanta
