#pragma once

#include "engine/reaction_definition.h"
#include "engine/result_table.h"

#include <QString>

#include <functional>
#include <vector>

namespace norvanta {
class CompoundIndex;
class SolverFunctions;
} // namespace norvanta

namespace norvanta::calc {

// Where a quantity reaches its mark between 300 and 1100 K: at a
// temperature, or outside the range, reported by a word.
struct Crossing {
    enum class Place { At, Below, Above };
    Place place = Place::Above;
    double kelvin = 0; // for At
};

// The words that stand for a crossing outside 300-1100 K.
inline constexpr char16_t kBelowWord[] = u"below";
inline constexpr char16_t kAboveWord[] = u"above";

// The first temperature at which dG is zero on the straight lines between
// the kelvin series' 100 K points (300..1000 K from the database, 1100 K
// extrapolated). Without a zero in range: Above when dG comes nearer zero
// from 300 to 1100 K, Below otherwise.
Crossing gibbsZeroCrossing(const ResultTable& table);

// The first temperature at which the conversion reaches `target` (a
// fraction): the first 25 K point of the kelvin series that reaches it, then
// bisection on temperature with `conversionAt` between it and the point
// before. Below when the conversion is already past the target at 300 K,
// Above when it does not reach it by 1100 K.
Crossing conversionCrossing(const ResultTable& table, double target,
                            const std::function<double(double kelvin)>& conversionAt);

// The conversions of --targets: percentages above 0 and at most 100,
// separated by commas, as fractions in the order given; empty when the text
// is not such a list.
std::vector<double> parseTargets(const QString& text);

// The summary line of a computed reaction: the run's table, and the sweep's
// own point rule over the same definition, database and solver for the
// bisections. Throws Failure and SolverUnavailable as the sweep does.
QString reactionSummary(const QString& fileName, const ResultTable& table,
                        const ReactionDefinition& definition, const CompoundIndex& database,
                        SolverFunctions& solver, double kpFactor,
                        const std::vector<double>& targets);

// One tab-separated summary line without its line end: the file name, the dG
// zero in K and °C, then K and °C for each target. °C is K − 273, as in the
// Celsius series; a crossing outside the range shows its word in both.
QString summaryLine(const QString& fileName, const Crossing& gibbsZero,
                    const std::vector<Crossing>& targets);

// The line of a file that could not be computed: its name and empty columns.
QString failedSummaryLine(const QString& fileName, std::size_t targetCount);

} // namespace norvanta::calc
