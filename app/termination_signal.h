#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace norvanta {

// Ends the program on SIGTERM, SIGINT or SIGHUP (a session that ends, a
// Ctrl+C, a closed terminal) without asking anything: the final step given
// here runs on the user-interface thread, then the process exits with 0 at
// once. Nothing is shown, and a question that is open stays unanswered: it
// was put to the user, and no answer may be made up for it. The signal
// handler only writes one byte to a socket; every later signal is ignored.
class TerminationSignal : public QObject {
public:
    using FinalStep = std::function<void()>;

    // Holds the three signals back from the first line of main until a
    // TerminationSignal is made, so that one sent while the program starts
    // is handled then instead of killing the process.
    static void holdSignals();

    // Installs the handler, then lets held signals through to it.
    explicit TerminationSignal(FinalStep finalStep, QObject* parent = nullptr);
    ~TerminationSignal() override;
    TerminationSignal(const TerminationSignal&) = delete;
    TerminationSignal& operator=(const TerminationSignal&) = delete;

private:
    void install();
    void onSignal();

    FinalStep m_finalStep;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace norvanta
