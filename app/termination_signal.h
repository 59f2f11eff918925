#pragma once

#include <QObject>

class QSocketNotifier;

namespace norvanta {

// Ends the program in order on SIGTERM or SIGINT, as closing its windows by
// the frame does: a session that ends or a Ctrl+C in a terminal runs the exit
// sequence (settings written, the question about unsaved reaction data)
// instead of killing the process. The signal handler only writes one byte to
// a socket; the windows are closed on the user-interface thread.
class TerminationSignal : public QObject {
public:
    explicit TerminationSignal(QObject* parent = nullptr);
    ~TerminationSignal() override;
    TerminationSignal(const TerminationSignal&) = delete;
    TerminationSignal& operator=(const TerminationSignal&) = delete;

private:
    void onSignal();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace norvanta
