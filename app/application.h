#pragma once

#include "app/input_state.h"
#include "engine/constants.h"
#include "engine/reaction_definition.h"
#include "engine/result_table.h"
#include "files/file_state.h"
#include "files/settings_file.h"
#include "results/results_display_state.h"

#include <QDir>
#include <QString>

#include <memory>

namespace norvanta {

class CalculationController;
class ExitSequence;
class FileCommands;
class MainForm;
class Platform;
class ResultsForm;

// The program's composition root: owns the long-lived state and the windows,
// and hands the state to the windows by reference.
class NorvantaApplication {
public:
    // The start folder is where the program's files are: Norvane.dat and
    // Norvane.dll are looked for there.
    explicit NorvantaApplication(Platform& platform, QString startFolder = QDir::currentPath());
    ~NorvantaApplication();
    NorvantaApplication(const NorvantaApplication&) = delete;
    NorvantaApplication& operator=(const NorvantaApplication&) = delete;

    Platform& platform() { return m_platform; }
    InputState& inputState() { return m_input; }
    FileState& fileState() { return m_file; }
    SettingsValues& settings() { return m_settings; }
    MainForm& mainForm() { return *m_mainForm; }
    // Created hidden with the main window; a calculation shows it.
    ResultsForm& resultsForm() { return *m_resultsForm; }
    // CalButton's calculation run and the results window's ties to the main window.
    CalculationController& calculation() { return *m_calculation; }

    // Set at start-up from constants.txt.
    PhysicalConstants& constants() { return m_constants; }
    // The reaction and the results of the last calculation.
    ReactionDefinition& reactionDefinition() { return m_definition; }
    ResultTable& results() { return m_results; }
    // The results window's units and plot mode while the program runs. The
    // settings values stay the remembered PlotMode, ResultsLeft and ResultsTop:
    // a calculation takes them from there and writes them back.
    ResultsDisplayState& resultsDisplay() { return m_resultsDisplay; }

    const QString& startFolder() const { return m_startFolder; }
    const QString& databasePath() const { return m_databasePath; }
    const QString& solverPath() const { return m_solverPath; }

    // Whether the first display of the results window since start-up centres
    // it on the screen; start-up sets it from the placement marker.
    bool centreResultsOnFirstShow() const { return m_centreResultsOnFirstShow; }
    void setCentreResultsOnFirstShow(bool centre) { m_centreResultsOnFirstShow = centre; }

    // The folder the result-file dialog starts in: UsualDirectory as start-up
    // leaves it, then the folder of the last result file chosen.
    QString& resultFileFolder() { return m_resultFileFolder; }

    // Open, Save and Save As; the exit sequence.
    FileCommands& fileCommands() { return *m_fileCommands; }
    ExitSequence& exitSequence() { return *m_exitSequence; }

    // Shows the main window with the focus on the first coefficient box.
    void showMainWindow();

private:
    Platform& m_platform;
    const QString m_startFolder;
    const QString m_databasePath;
    const QString m_solverPath;
    InputState m_input;
    FileState m_file;
    SettingsValues m_settings;
    PhysicalConstants m_constants;
    ReactionDefinition m_definition;
    ResultTable m_results;
    ResultsDisplayState m_resultsDisplay;
    bool m_centreResultsOnFirstShow = true;
    std::unique_ptr<MainForm> m_mainForm;
    std::unique_ptr<ResultsForm> m_resultsForm;
    std::unique_ptr<CalculationController> m_calculation;
    QString m_resultFileFolder;
    std::unique_ptr<FileCommands> m_fileCommands;
    std::unique_ptr<ExitSequence> m_exitSequence;
};

} // namespace norvanta
