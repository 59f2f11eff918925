#pragma once

#include <QObject>

namespace norvanta {

class NorvantaApplication;

// The way out of the program: ExitMenu, ExitButton and closing the main
// window by its frame all run the exit sequence, which remembers the window
// position and the search text, asks before unsaved reaction data is lost,
// and ends the program through TerminateProcess.
class ExitSequence : public QObject {
public:
    explicit ExitSequence(NorvantaApplication& app);

    // The exit sequence. False when the user chose to keep working.
    bool exitProgram();

    // Writes the settings (and the placement marker "A" while the main window
    // is minimised) and ends the program.
    void TerminateProcess();

    // The end a termination signal asks for: stops a running calculation and
    // remembers what an ordinary exit remembers (window position, search
    // text, settings with the reaction fields, placement marker), asking
    // nothing. The caller ends the process.
    void finishOnSignal();

    bool ended() const { return m_ended; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rememberPosition();
    void writeExitFiles();

    NorvantaApplication& m_app;
    bool m_ended = false;
};

} // namespace norvanta
