#include "calc_command.h"
#include "file_lookup.h"

#include "range_calculation.h"
#include "reaction_summary.h"

#include "composition/gibbs_equilibrium.h"

#include "engine/calculation_run.h"
#include "engine/run_errors.h"

#include "common/failure.h"
#include "common/input_text.h"

#include "files/file_command_prompts.h"
#include "files/reaction_file.h"

#include "results/report_text.h"

#include "common/number_text.h"
#include "common/text_file.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace norvanta::calc {

using namespace Qt::StringLiterals;

namespace {

void appendSeries(QString& text, const ResultTable& table, bool kelvin)
{
    const QString kTab = u"\t"_s;
    const QString series = kelvin ? u"K"_s : u"C"_s;
    const auto& points = kelvin ? table.kelvin : table.celsius;
    for (int i = 0; i < ResultTable::kPoints; ++i) {
        const ResultPoint& point = points[size_t(i)];
        if (!point.computed)
            continue;
        const int temperature =
            kelvin ? ResultTable::kelvinTemperature(i) : ResultTable::celsiusTemperatureK(i);
        text += series + kTab + QString::number(temperature) + kTab + generalNumberText(point.dG) +
                kTab + generalNumberText(point.kp) + kTab + generalNumberText(point.conversion) +
                u'\n';
    }
}

// What norvanta-calc says on standard error when its output cannot be written.
QString outputFailureText()
{
    return u"norvanta-calc: 計算結果を書き込めませんでした\n"_s;
}

} // namespace

CalcCommand::CalcCommand(CalcOptions options)
    : options_(std::move(options)), library_(options_.libraryPath)
{
    const LoadedConstants loaded = loadConstants(options_.constantsPath);
    constants_ = loaded.constants;
    for (const QString& key : loaded.ignoredKeys)
        constantWarnings_.append(invalidConstantMessage(key));
}

ReactionOutcome CalcCommand::calculate(const QString& reactionFile)
{
    const ReactionFileContent content = openReactionFile(reactionFile);
    if (content.status == ReactionFileStatus::Unreadable)
        return {ExitStatus::CalculationFailed, {}, openFailureMessage().text};
    if (content.status == ReactionFileStatus::WrongFormat)
        return {ExitStatus::CalculationFailed, {}, wrongFormatMessage().text};

    // The fields as the window's boxes would hold them after opening the file.
    ReactionFields fields = inputFields(content.fields);
    if (options_.composition)
        return compose(reactionFile, fields);
    if (options_.range)
        return calculateRange(fields);

    // The run writes its corrections back into the fields, as it does into
    // the window's, and the report shows them as the window would.
    ReactionDefinition definition;
    ResultTable table;
    RunHost host;
    // Norvane.dll is looked for where the library path points, so its
    // messages tell a missing file from a damaged one there.
    const RunSettings settings{options_.databasePath,
                               QFileInfo(options_.libraryPath).absolutePath(), constants_.kpFactor,
                               &databaseCache_, &polynomialCache_};
    CalculationRun run(settings, fields, definition, table, library_, host);
    run.start(options_.tetraPrecision);
    const TickResult result = run.runToEnd();

    if (result.outcome != TickOutcome::Finished) {
        const int status = result.outcome == TickOutcome::StoppedByValidation
                               ? ExitStatus::InvalidReaction
                               : ExitStatus::CalculationFailed;
        QString message = result.message ? result.message->text : QString();
        // The run looks for Norvane.dll beside the library; the file named by
        // --library decides between missing and damaged, whatever its name.
        // The loader's own words say which file it tried and what was wrong with it.
        if (result.message == unusableSolverMessage(settings.startFolder))
            message = unusableLibraryMessage(options_.libraryPath).text + u"\n"_s +
                      library_.errorString();
        return {status, {}, message};
    }

    if (options_.table)
        return {ExitStatus::Success, pointTable(table), {}};
    if (options_.summary)
        return summarise(reactionFile, definition, table);

    ResultReportInput input;
    input.fields = fields;
    input.limitPos = fields.restrict;
    input.temperatureUnit = options_.temperatureUnit;
    input.energyUnit = options_.energyUnit;
    input.tetraPrecision = options_.tetraPrecision;
    input.table = table;
    input.caltoj = constants_.calToJ;
    input.timestamp = options_.timestamp.value_or(QDateTime::currentDateTime());
    return {ExitStatus::Success, MakeResultText(input), {}};
}

ReactionOutcome CalcCommand::compose(const QString& reactionFile, const ReactionFields& fields)
{
    try {
        CompositionRequest request =
            compositionRequest(fields, options_.graphite, options_.tetraPrecision);
        request.species = options_.species;
        request.condensed = options_.condensed;
        if (options_.range)
            request.range = norvanta::TemperatureRange{options_.range->from, options_.range->to,
                                             options_.range->step, false};
        request.pressures = options_.pressures;
        request.adiabaticFeedKelvin = options_.adiabaticFeedKelvin;
        const ThermoData thermo =
            thermoCache_.load(polynomialPathBeside(options_.databasePath), options_.databasePath);
        const CompositionSystem system = compositionSystem(request, thermo);
        const CompositionTable table = compositionTable(system, constants_);
        // Each notice and each point that could not be computed is a line of
        // its own; the other points are written.
        QStringList messages = table.notices;
        for (const CompositionSeries& series : table.series) {
            for (const CompositionPoint& point : series.points) {
                if (point.failed())
                    messages.append(point.failure);
            }
        }
        return {table.anyFailed() ? ExitStatus::NotConverged : ExitStatus::Success,
                compositionText(table, u"\n"_s, {options_.dry, options_.derived}),
                messages.join(u'\n' + reactionFile + u": "_s)};
    } catch (const CompositionError& error) {
        // Like the run: a refused input is the reaction's fault, a failure by
        // number the data's or the calculation's.
        return {error.failureCode == 0               ? ExitStatus::InvalidReaction
                : error.failureCode == kNotConverged ? ExitStatus::NotConverged
                                                     : ExitStatus::CalculationFailed,
                {},
                error.message.text};
    } catch (const Failure& failure) {
        return {ExitStatus::CalculationFailed, {}, runFailureMessage(failure.code()).text};
    }
}

ReactionOutcome CalcCommand::calculateRange(const ReactionFields& typed)
{
    try {
        const ThermoData thermo =
            thermoCache_.load(polynomialPathBeside(options_.databasePath), options_.databasePath);
        if (!thermo.hasPolynomials())
            return {ExitStatus::CalculationFailed, {}, thermo.polynomialNotice()};
        ReactionFields fields = typed;
        ReactionDefinition definition;
        if (const auto failure =
                validateReaction(fields, definition, *thermo.database(), thermo.polynomials()))
            return {ExitStatus::InvalidReaction, {}, failure->message.text};
        std::vector<CompoundThermo> reactants, products;
        for (int k = 0; k < definition.reactantCount; ++k)
            reactants.push_back(*thermo.find(definition.reactantNames[k]));
        for (int k = 0; k < definition.productCount; ++k)
            products.push_back(*thermo.find(definition.productNames[k]));
        if (const auto uncovered = uncoveredCompound(reactants, products, *options_.range))
            return {ExitStatus::InvalidReaction, {}, *uncovered};
        return {ExitStatus::Success,
                rangeText(rangePoints(definition, reactants, products, *options_.range,
                                      constants_.kpFactor, library_),
                          options_.table),
                {}};
    } catch (const SolverUnavailable&) {
        return {ExitStatus::CalculationFailed,
                {},
                unusableLibraryMessage(options_.libraryPath).text + u"\n"_s +
                    library_.errorString()};
    } catch (const Failure& failure) {
        return {ExitStatus::CalculationFailed, {}, runFailureMessage(failure.code()).text};
    }
}

ReactionOutcome CalcCommand::summarise(const QString& reactionFile,
                                       const ReactionDefinition& definition,
                                       const ResultTable& table)
{
    try {
        const auto database = databaseCache_.load(options_.databasePath);
        return {ExitStatus::Success,
                reactionSummary(reactionFile, table, definition, *database, library_,
                                constants_.kpFactor, options_.targets),
                {}};
    } catch (const PressureRefused&) {
        return {ExitStatus::InvalidReaction, {}, pressureFailure().message.text};
    } catch (const SolverUnavailable&) {
        return {ExitStatus::CalculationFailed,
                {},
                unusableSolverMessage(QFileInfo(options_.libraryPath).absolutePath()).text};
    } catch (const Failure& failure) {
        return {ExitStatus::CalculationFailed, {}, runFailureMessage(failure.code()).text};
    }
}

QString pointTable(const ResultTable& table)
{
    QString text;
    appendSeries(text, table, true);
    appendSeries(text, table, false);
    return text;
}

QByteArray encodedText(const QString& text, OutputEncoding encoding)
{
    return encoding == OutputEncoding::ShiftJis ? encodeShiftJis(text) : text.toUtf8();
}

int runCalc(const QStringList& arguments, const QString& workingFolder, QIODevice& out,
            QIODevice& err, ProgramLayout layout)
{
    const ParsedArguments parsed = parseCalcArguments(arguments, workingFolder);
    CalcOptions options = parsed.options;
    const auto write = [&options](QIODevice& device, const QString& text) {
        const QByteArray bytes = encodedText(text, options.encoding);
        return device.write(bytes) == bytes.size();
    };
    // A report that cannot be written is lost: say so rather than end as if
    // it were. The last of it may still wait in the C library's buffer.
    const auto outputFailed = [&] {
        write(err, outputFailureText());
        return ExitStatus::OutputFailed;
    };
    const auto flushed = [&out] {
        auto* file = qobject_cast<QFileDevice*>(&out);
        return file == nullptr || file->flush();
    };
    if (!parsed.error.isEmpty()) {
        write(err, u"norvanta-calc: "_s + parsed.error + u'\n' + usageText());
        return ExitStatus::Usage;
    }
    const ProgramFolders own = programFolders(QCoreApplication::applicationDirPath(), layout);
    if (parsed.help)
        return write(out, helpText(own, layout)) && flushed() ? ExitStatus::Success
                                                              : outputFailed();

    if (const auto missing = applyLookup(options, lookupPlaces(workingFolder, own))) {
        write(err, u"norvanta-calc: "_s + *missing + u'\n');
        return ExitStatus::CalculationFailed;
    }

    CalcCommand command(options);
    for (const QString& warning : command.constantWarnings())
        write(err, options.constantsPath + u": "_s + warning + u'\n');

    if (options.summary && !write(out, summaryHeader(options.targets) + u'\n'))
        return outputFailed();
    int status = ExitStatus::Success;
    bool reportWritten = false;
    for (const QString& file : options.reactionFiles) {
        const ReactionOutcome outcome = command.calculate(file);
        status = std::max(status, outcome.status);
        if (!outcome.message.isEmpty())
            write(err, file + u": "_s + outcome.message + u'\n');
        // Every file's table lines end with an empty line, none for a file that
        // failed, so that a script counting empty lines knows whose lines it reads.
        bool written = true;
        if (options.composition) {
            // The block ends with its own empty line.
            written = write(out, outcome.output.isEmpty() ? u"\n"_s : outcome.output);
        } else if (options.table || options.range) {
            written = write(out, outcome.output + u'\n');
        } else if (options.summary) {
            const bool computed = outcome.status == ExitStatus::Success;
            written = write(
                out, (computed ? outcome.output : failedSummaryLine(file, options.targets.size())) +
                         u'\n');
        } else if (!outcome.output.isEmpty()) {
            written = write(out, (reportWritten ? u"\r\n"_s : QString()) + outcome.output);
            reportWritten = true;
        }
        if (!written)
            return outputFailed();
    }
    return flushed() ? status : outputFailed();
}

} // namespace norvanta::calc
