#include "calculation_run.h"

#include "engine/run_errors.h"
#include "engine/solver_functions.h"

#include "thermo/thermo_data.h"

#include "common/failure.h"

#include <utility>

namespace norvanta {

namespace {

// The polynomial file beside Norvane.dat, or nothing when it is missing or
// unusable: the run then checks carbon, hydrogen and oxygen only, as the
// records alone allow.
std::shared_ptr<const PolynomialFile> readPolynomials(const RunSettings& settings)
{
    const QString path = polynomialPathBeside(settings.databasePath);
    try {
        return settings.polynomialCache ? settings.polynomialCache->load(path).file
                                        : PolynomialFile::load(path).file;
    } catch (const Failure&) {
        return nullptr;
    }
}

} // namespace

using namespace Qt::StringLiterals;

QString resultsCaption(bool tetraPrecision)
{
    return tetraPrecision ? u"計算結果 - 25Kモード"_s : u"計算結果 - 100Kモード"_s;
}

CalculationRun::CalculationRun(RunSettings settings, ReactionFields& fields,
                               ReactionDefinition& definition, ResultTable& results,
                               SolverFunctions& solver, RunHost& host)
    : settings_(std::move(settings)), fields_(fields), definition_(definition), results_(results),
      solver_(solver), host_(host)
{
}

void CalculationRun::start(bool tetraPrecision)
{
    tetraPrecision_ = tetraPrecision;
    step_ = 0;
    sweep_.reset();
    database_.reset();
    running_ = true;
}

int CalculationRun::progressValue(int step)
{
    const int value = int(float(step) / 9.0f * 100.0f);
    return value > 99 ? 100 : value;
}

TickResult CalculationRun::tick()
{
    if (!running_)
        return {};
    ++step_;
    host_.showProgress(progressValue(step_));
    try {
        if (auto failure = runStep())
            return stop(TickOutcome::StoppedByValidation, failure->message, failure->focus);
    } catch (const SolverUnavailable&) {
        return stop(TickOutcome::StoppedByError, unusableSolverMessage(settings_.startFolder));
    } catch (const Failure& failure) {
        return stop(TickOutcome::StoppedByError, runFailureMessage(failure.code()));
    }
    if (step_ < kSteps)
        return {TickOutcome::Continue, step_, progressValue(step_), std::nullopt, {}};
    running_ = false;
    sweep_.reset();
    database_.reset();
    return {TickOutcome::Finished, step_, progressValue(step_), std::nullopt, {}};
}

TickResult CalculationRun::runToEnd()
{
    TickResult result;
    do
        result = tick();
    while (result.outcome == TickOutcome::Continue);
    return result;
}

std::optional<ValidationFailure> CalculationRun::runStep()
{
    switch (step_) {
    case 1:
        host_.prepareRun();
        prepareReaction(fields_, definition_);
        host_.showFields(fields_);
        return std::nullopt;
    case 2: {
        auto failure = collectRows(fields_, definition_);
        host_.showFields(fields_);
        return failure;
    }
    case 3:
        // Read where the lookups begin, so that the messages of step 2 come
        // first even when the file is missing or cannot be read.
        database_ = settings_.databaseCache ? settings_.databaseCache->load(settings_.databasePath)
                                            : std::make_shared<const CompoundIndex>(
                                                  CompoundIndex::load(settings_.databasePath));
        polynomials_ = readPolynomials(settings_);
        return checkCompounds(definition_, database(), polynomials_.get());
    case 4:
        return normaliseReaction(fields_, definition_);
    case 5:
        sweep_.emplace(definition_, database(), solver_, settings_.kpFactor, tetraPrecision_,
                       [this](int row, const ResultPoint& kelvin, const ResultPoint& celsius) {
                           host_.drawNumberRow(row, kelvin, celsius);
                       });
        sweep_->computeFirstRows();
        return std::nullopt;
    case 6:
        sweep_->computeMiddleRows(500, 700);
        return std::nullopt;
    case 7:
        sweep_->computeMiddleRows(800, 1000);
        return std::nullopt;
    case 8:
        sweep_->computeLastRow();
        host_.setResultsCaption(resultsCaption(tetraPrecision_));
        return std::nullopt;
    default:
        results_ = sweep_->table();
        host_.finishRun();
        return std::nullopt;
    }
}

TickResult CalculationRun::stop(TickOutcome outcome, RunMessage message, FocusTarget focus)
{
    running_ = false;
    sweep_.reset();
    database_.reset();
    polynomials_.reset();
    host_.stopRun();
    return {outcome, step_, progressValue(step_), std::move(message), focus};
}

} // namespace norvanta
