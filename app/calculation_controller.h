#pragma once

#include "engine/calculation_run.h"
#include "engine/solver_library.h"
#include "results/results_form.h"

#include "common/reaction_fields.h"

#include <QObject>
#include <QString>

#include <optional>

class QTimer;

namespace norvanta {

class MainForm;
class NorvantaApplication;
class Platform;
struct PhysicalConstants;
struct ResultsDisplayState;
struct ResultsPlacementRequest;
struct ResultsWindowPlace;
struct SettingsValues;

// Runs a calculation from the main window: CalButton starts it, MainTimer
// runs one of its nine steps per tick, and the end shows the results window.
// Also connects the results window to the main window's help line and keeps
// the remembered plot mode and results-window position in the settings values.
class CalculationController : public QObject, private RunHost {
    Q_OBJECT

public:
    static constexpr int kTimerInterval = 55; // ms between steps

    explicit CalculationController(NorvantaApplication& app);
    ~CalculationController() override;

    // The step timer; it belongs to the main window.
    QTimer* MainTimer = nullptr;

    // Norvane.dll in the start folder, loaded at the first calculation.
    SolverLibrary& solver() { return m_solver; }
    bool running() const { return m_run && m_run->running(); }

    void onCalButtonClicked();
    void onMainTimerTick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepareRun() override;
    void showProgress(int value) override;
    void showFields(const ReactionFields& fields) override;
    void drawNumberRow(int row, const ResultPoint& kelvin, const ResultPoint& celsius) override;
    void setResultsCaption(const QString& caption) override;
    void finishRun() override;
    void stopRun() override;

    void setInputControlsEnabled(bool enabled);
    void showResultsWindow();
    ResultsPlacementRequest placementRequest() const;
    void moveResultsWindow(const ResultsWindowPlace& place);
    void giveFocus(FocusTarget target);
    void showHelpLine(const QString& text, HelpLineRule rule);

    NorvantaApplication& m_app;
    Platform& m_platform;
    MainForm& m_form;
    ResultsForm& m_resultsForm;
    SettingsValues& m_settings;
    ResultsDisplayState& m_display;
    const PhysicalConstants& m_constants;

    SolverLibrary m_solver;
    // The field texts the run reads and writes, taken from the window before each step.
    ReactionFields m_fields;
    std::optional<CalculationRun> m_run;
    bool m_tetraPrecision = false;
    bool m_resultsShownSinceStart = false;
    // Shown by a run and not closed since.
    bool m_resultsOpen = false;
};

} // namespace norvanta
