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
// temperature, or outside the range, reported by a word; and for a
// conversion, which way it moves with temperature there.
struct Crossing {
    enum class Place { At, Below, Above };
    enum class Direction { Rises, Falls };
    Place place = Place::Above;
    double kelvin = 0; // for At
    Direction direction = Direction::Rises;
};

// The words that stand for a crossing outside 300-1100 K.
inline constexpr char16_t kBelowWord[] = u"below";
inline constexpr char16_t kAboveWord[] = u"above";
// The words for the conversion's direction at a target.
inline constexpr char16_t kRisesWord[] = u"rises";
inline constexpr char16_t kFallsWord[] = u"falls";

// The first temperature at which dG is zero on the straight lines between
// the kelvin series' 100 K points (300..1000 K from the database, 1100 K
// extrapolated). Without a zero in range: Above when dG comes nearer zero
// from 300 to 1100 K, Below otherwise.
Crossing gibbsZeroCrossing(const ResultTable& table);

// The first temperature at which the conversion crosses `target` (a
// fraction) in either direction: the first 25 K point of the kelvin series
// on the other side of the target than the point before, then bisection on
// temperature with `conversionAt` between the two; Rises when the conversion
// goes from under the target to at or over it, Falls the other way. A target
// never crossed takes the direction of the conversion from 300 to 1100 K
// (Rises when it does not fall) and the place the crossing lies in that
// direction: Below 300 K when the conversion is on the far side of the
// target already (a rising one at or over it, a falling one under it), Above
// 1100 K otherwise.
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

// The header line of the summary, without its line end: the columns'
// names for the given targets (fractions).
QString summaryHeader(const std::vector<double>& targets);

// One tab-separated summary line without its line end: the file name, the dG
// zero in K and °C, then K, °C and the direction word for each target. °C is
// K − 273, as in the Celsius series; a crossing outside the range shows its
// word in both.
QString summaryLine(const QString& fileName, const Crossing& gibbsZero,
                    const std::vector<Crossing>& targets);

// The line of a file that could not be computed: its name and empty columns.
QString failedSummaryLine(const QString& fileName, std::size_t targetCount);

} // namespace norvanta::calc
