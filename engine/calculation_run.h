#pragma once

#include "engine/reaction_definition.h"
#include "engine/result_table.h"
#include "engine/run_message.h"
#include "engine/temperature_sweep.h"
#include "engine/validation.h"

#include "database/compound_index.h"
#include "database/compound_index_cache.h"
#include "database/polynomial_file.h"

#include "common/reaction_fields.h"

#include <QString>

#include <memory>
#include <optional>

namespace norvanta {

class SolverFunctions;

// The window side of a calculation run. The main window implements it; the
// command-line calculator may do nothing in most of these.
// The window side of a run. Every effect defaults to nothing, which is what a
// run without a window (the command-line calculator, benchmarks) wants.
class RunHost {
public:
    virtual ~RunHost() = default;

    // Step 1: hide the results window and clear its graph and number areas;
    // disable Pressure, TetraPrec, ReverseButton and ResetButton; clear the
    // help line, hide the Message label and show ProgBar.
    virtual void prepareRun() {}
    // Each tick, before its step runs: the ProgBar value.
    virtual void showProgress(int /*value*/) {}
    // Steps 1 and 2 wrote into the fields (trimmed names, "1" for an empty
    // coefficient, closed-up rows and the Restrict option that moved with its row).
    virtual void showFields(const ReactionFields& /*fields*/) {}
    // A row of the number table, as soon as its points are computed.
    virtual void drawNumberRow(int /*row*/, const ResultPoint& /*kelvin*/,
                               const ResultPoint& /*celsius*/)
    {
    }
    // Step 8: the caption of the results window.
    virtual void setResultsCaption(const QString& /*caption*/) {}
    // Step 9: the results are in the table. Stop MainTimer, place and show the
    // results window with its graph, hide ProgBar and enable the controls again.
    virtual void finishRun() {}
    // The common stop after a failed check or an error: enable Pressure,
    // TetraPrec, ReverseButton and ResetButton, stop MainTimer, clear the help
    // line, set ProgBar to 0 and hide it, enable CalButton.
    virtual void stopRun() {}
};

// What a run needs besides the fields: where Norvane.dat is, the folder the
// program started in (where Norvane.dll belongs), and the Kp factor 1000 / R.
// A caller that runs many calculations may keep Norvane.dat's parsed form
// between them in a cache; without one each run parses the file itself.
struct RunSettings {
    QString databasePath;
    QString startFolder;
    double kpFactor = 0;
    CompoundIndexCache* databaseCache = nullptr;
    // The same for the polynomial file beside Norvane.dat.
    PolynomialFileCache* polynomialCache = nullptr;
};

enum class TickOutcome {
    Idle,                // no run is active
    Continue,            // the step ran; the next tick runs the next one
    StoppedByValidation, // a check failed: message and focus
    StoppedByError,      // the error handler stopped the run: message
    Finished,            // step 9 ran; the results are in the table
};

// What one tick did. On a stop the host's common stop has already run; the
// window then shows the message and gives the focus to the named field if it
// is enabled.
struct TickResult {
    TickOutcome outcome = TickOutcome::Idle;
    int step = 0;
    int progress = 0;
    std::optional<RunMessage> message;
    FocusTarget focus;
};

// One calculation in nine steps, one step per tick of the window's MainTimer:
// 1 preparation, 2-4 validation, 5-8 the temperature sweep, 9 the finish.
// Norvane.dat is read once, in step 3 where the lookups begin, and every
// lookup of the run is answered from that reading.
//
// The run computes into its own table and hands it over in step 9, so every
// point the run did not compute is marked not computed, and a run that stops
// leaves the previous results as they were.
class CalculationRun {
public:
    static constexpr int kSteps = 9;

    CalculationRun(RunSettings settings, ReactionFields& fields, ReactionDefinition& definition,
                   ResultTable& results, SolverFunctions& solver, RunHost& host);

    // CalButton: a new run at step 0; the window arms MainTimer (55 ms) and
    // disables CalButton. 25 K mode when tetraPrecision is set.
    void start(bool tetraPrecision);
    bool running() const { return running_; }
    int step() const { return step_; }

    TickResult tick();
    // The remaining steps without pacing, for callers without a timer.
    TickResult runToEnd();

    // The ProgBar value after `step` of the nine steps: 11, 22, ..., 88, 100.
    static int progressValue(int step);

private:
    std::optional<ValidationFailure> runStep();
    TickResult stop(TickOutcome outcome, RunMessage message, FocusTarget focus = {});
    const CompoundIndex& database() const { return *database_; }

    const RunSettings settings_;
    ReactionFields& fields_;
    ReactionDefinition& definition_;
    ResultTable& results_;
    SolverFunctions& solver_;
    RunHost& host_;

    bool running_ = false;
    bool tetraPrecision_ = false;
    int step_ = 0;
    std::shared_ptr<const CompoundIndex> database_;
    // Null when the polynomial file is missing or unusable: C, H and O only.
    std::shared_ptr<const PolynomialFile> polynomials_;
    std::optional<TemperatureSweep> sweep_;
};

// The results window caption of a finished run.
QString resultsCaption(bool tetraPrecision);

} // namespace norvanta
