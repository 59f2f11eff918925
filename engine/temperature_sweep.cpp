#include "temperature_sweep.h"

#include "engine/solver_functions.h"

#include "database/compound_index.h"

#include "common/failure.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace norvanta {

namespace {

constexpr int kelvinIndex(int kelvin)
{
    return (kelvin - 300) / 25;
}

// Steps 6 and 7 skip what fails and go on with their next operation.
template <typename Operation> void tolerating(Operation&& operation)
{
    try {
        operation();
    } catch (const Failure&) {
    } catch (const SolverUnavailable&) {
    }
}

// A dG that is not a number, or too large for one, is an overflow: it must
// neither reach CalCv nor serve as a segment end.
double finiteDg(double dG)
{
    if (!std::isfinite(dG))
        throw Failure(FailureCode::Overflow);
    return dG;
}

} // namespace

TemperatureSweep::TemperatureSweep(const ReactionDefinition& definition,
                                   const CompoundIndex& database, SolverFunctions& solver,
                                   double kpFactor, bool tetraPrecision, NumberRowDrawer drawRow)
    : definition_(definition), database_(database), solver_(solver), kpFactor_(kpFactor),
      tetraPrecision_(tetraPrecision), drawRow_(std::move(drawRow))
{
    // Reading past the end of the file is what a lookup of a missing name
    // would do. A number too large for a double anywhere in a record ends the
    // run here, before steps 6 and 7 could skip its points without a word.
    const auto recordOf = [&](const QString& name) {
        const auto record = database.find(name);
        if (!record)
            throw Failure(FailureCode::ReadPastEnd);
        database.requireFiniteValues(*record);
        return *record;
    };
    // Slots beyond the counts go to CalCv as 0.
    for (int k = 0; k < definition.reactantCount; ++k) {
        reactantRecords_[k] = recordOf(definition.reactantNames[k]);
        reactantCoef_[k] = definition.reactantCoefficients[k];
        reactantAmount_[k] = definition.reactantRatios[k];
    }
    for (int k = 0; k < definition.productCount; ++k) {
        productRecords_[k] = recordOf(definition.productNames[k]);
        productCoef_[k] = definition.productCoefficients[k];
    }
    // Normalising can overflow even when every typed number is finite.
    for (const auto* values : {&reactantCoef_, &reactantAmount_, &productCoef_}) {
        for (const double value : *values) {
            if (!std::isfinite(value))
                throw Failure(FailureCode::Overflow);
        }
    }
    if (!std::isfinite(definition.totalPressure))
        throw Failure(FailureCode::Overflow);
}

void TemperatureSweep::computeFirstRows()
{
    dataPoint(300);
    dataPoint(400);
    interpolatedPoint(Series::Celsius, 0, 300, 400);
    interpolatedPoint(Series::Celsius, 4, 300, 400);
    drawRow(0);
    drawRow(1);
    if (!tetraPrecision_)
        return;
    for (int i = 1; i <= 3; ++i)
        interpolatedPoint(Series::Kelvin, i, 300, 400);
    for (int i = 1; i <= 3; ++i)
        interpolatedPoint(Series::Celsius, i, 300, 400);
}

void TemperatureSweep::computeMiddleRows(int firstKelvin, int lastKelvin)
{
    for (int kelvin = firstKelvin; kelvin <= lastKelvin; kelvin += 100)
        calcData(kelvin);
}

void TemperatureSweep::calcData(int kelvin)
{
    const int i = kelvinIndex(kelvin);
    tolerating([&] { dataPoint(kelvin); });
    tolerating([&] { interpolatedPoint(Series::Celsius, i, kelvin - 100, kelvin); });
    drawRow(i / 4);
    if (!tetraPrecision_)
        return;
    for (int m = 3; m >= 1; --m) {
        tolerating([&] { interpolatedPoint(Series::Kelvin, i - m, kelvin - 100, kelvin); });
        tolerating([&] { interpolatedPoint(Series::Celsius, i - m, kelvin - 100, kelvin); });
    }
}

void TemperatureSweep::computeLastRow()
{
    interpolatedPoint(Series::Kelvin, 32, 900, 1000);
    interpolatedPoint(Series::Celsius, 32, 900, 1000);
    drawRow(8);
    if (!tetraPrecision_)
        return;
    for (int i = 29; i <= 31; ++i)
        interpolatedPoint(Series::Kelvin, i, 1000, 1100);
    for (int i = 29; i <= 31; ++i)
        interpolatedPoint(Series::Celsius, i, 1000, 1100);
}

void TemperatureSweep::dataPoint(int kelvin)
{
    const int i = kelvinIndex(kelvin);
    const double dG = finiteDg(reactionGibbsEnergy(kelvin));
    kelvinDgKnown_[i] = true;
    complete(table_.kelvin[i], dG, kelvin);
}

void TemperatureSweep::interpolatedPoint(Series series, int i, int from, int to)
{
    const int a = kelvinIndex(from);
    const int b = kelvinIndex(to);
    // A segment end whose dG failed earlier leaves the point not computed.
    if (!kelvinDgKnown_[a] || !kelvinDgKnown_[b])
        return;
    const int kelvin = series == Series::Kelvin ? ResultTable::kelvinTemperature(i)
                                                : ResultTable::celsiusTemperatureK(i);
    const double dG = finiteDg(solver_.interp(float(from), table_.kelvin[a].dG, float(to),
                                              table_.kelvin[b].dG, float(kelvin)));
    ResultPoint& point = series == Series::Kelvin ? table_.kelvin[i] : table_.celsius[i];
    if (series == Series::Kelvin)
        kelvinDgKnown_[i] = true;
    complete(point, dG, kelvin);
}

// Stores dG first, so that a kelvin dG stays usable for interpolation even
// when its Kp or conversion fails.
void TemperatureSweep::complete(ResultPoint& point, double dG, double kelvin)
{
    point.dG = dG;
    point.kp = kpAt(dG, kelvin);
    point.conversion = conversionAt(point.kp);
    point.computed = true;
}

double TemperatureSweep::conversionAt(double kp) const
{
    const auto calCv = [&](double k) {
        return solver_.calCv(k, definition_.totalPressure, definition_.reactantCount,
                             definition_.productCount, reactantCoef_, reactantAmount_, productCoef_,
                             kTolerance);
    };
    const double conversion = calCv(kp);
    // Below DBL_MIN exp has lost some or all of Kp's digits. The exact Kp is
    // below DBL_MIN too, and the conversion rises with Kp, so both the exact
    // conversion and the computed one lie between 0 and the conversion at
    // DBL_MIN: where that is negligible, so is the difference.
    constexpr double kNegligibleConversion = 1e-12;
    if (kp < std::numeric_limits<double>::min() &&
        !(calCv(std::numeric_limits<double>::min()) <= kNegligibleConversion))
        throw PressureRefused{};
    return conversion;
}

void TemperatureSweep::drawRow(int row) const
{
    if (drawRow_)
        drawRow_(row, table_.kelvin[4 * row], table_.celsius[4 * row]);
}

double TemperatureSweep::reactionGibbsEnergy(int kelvin) const
{
    double dG = 0;
    for (int k = 0; k < definition_.reactantCount; ++k)
        dG -= reactantCoef_[k] * database_.gibbsEnergy(reactantRecords_[k], kelvin);
    for (int k = 0; k < definition_.productCount; ++k)
        dG += productCoef_[k] * database_.gibbsEnergy(productRecords_[k], kelvin);
    return dG;
}

ResultPoint TemperatureSweep::kelvinPointAt(double kelvin)
{
    const int from = std::clamp(300 + 100 * int((kelvin - 300) / 100), 300, 1000);
    const double dGFrom = finiteDg(reactionGibbsEnergy(from));
    const auto edgeAt1100 = [&] {
        return finiteDg(
            solver_.interp(900, finiteDg(reactionGibbsEnergy(900)), 1000, dGFrom, 1100));
    };
    double dG = dGFrom;
    if (kelvin == 1100) {
        dG = edgeAt1100();
    } else if (kelvin != from) {
        const double dGTo = from == 1000 ? edgeAt1100() : finiteDg(reactionGibbsEnergy(from + 100));
        dG = finiteDg(solver_.interp(float(from), dGFrom, float(from + 100), dGTo, float(kelvin)));
    }
    ResultPoint point;
    complete(point, dG, kelvin);
    return point;
}

double TemperatureSweep::kpAt(double dG, double kelvin) const
{
    const double kp = std::exp((-dG * kpFactor_) / kelvin);
    if (!std::isfinite(kp))
        throw Failure(FailureCode::Overflow);
    return kp;
}

} // namespace norvanta
