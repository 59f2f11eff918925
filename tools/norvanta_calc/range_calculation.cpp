#include "range_calculation.h"

#include "common/failure.h"
#include "common/number_text.h"

#include <algorithm>
#include <cmath>

namespace norvanta::calc {

using namespace Qt::StringLiterals;

namespace {

// dG and dH of formation at T, kcal/mol. A compound of Norvane.dat's table
// has dG along straight lines, so on its segment dG = dH - T dS with dH and
// dS constant: dH is the line's value at 0 K.
std::pair<double, double> formationGibbsAndEnthalpy(const CompoundThermo& compound, double kelvin)
{
    if (const auto values = compound.valuesAt(kelvin))
        return {values->formationGibbs, values->formationEnthalpy};
    const double g = compound.formationGibbs(kelvin);
    // The segment formationGibbs takes: [300 + 100 k, 400 + 100 k], k = 0..6.
    const double from = 300 + 100 * std::clamp(std::floor((kelvin - 300) / 100), 0.0, 6.0);
    const double slope =
        (compound.formationGibbs(from + 100) - compound.formationGibbs(from)) / 100;
    return {g, g - kelvin * slope};
}

} // namespace

std::vector<double> rangeTemperatures(const TemperatureRange& range)
{
    std::vector<double> temperatures;
    for (int i = 0;; ++i) {
        const double t = range.from + i * range.step;
        // A TO that the steps reach up to rounding is on the grid.
        if (t > range.to * (1 + 1e-12))
            break;
        temperatures.push_back(t);
    }
    return temperatures;
}

std::optional<QString> uncoveredCompound(const std::vector<CompoundThermo>& reactants,
                                         const std::vector<CompoundThermo>& products,
                                         const TemperatureRange& range)
{
    const std::vector<double> temperatures = rangeTemperatures(range);
    for (const auto* side : {&reactants, &products}) {
        for (const CompoundThermo& compound : *side) {
            if (!compound.covers(temperatures.front()) || !compound.covers(temperatures.back()))
                return compound.name + u"のデータは "_s + generalNumberText(compound.minKelvin) +
                       u"～"_s + generalNumberText(compound.maxKelvin) + u" K の範囲です"_s;
        }
    }
    return std::nullopt;
}

std::vector<RangePoint> rangePoints(const ReactionDefinition& definition,
                                    const std::vector<CompoundThermo>& reactants,
                                    const std::vector<CompoundThermo>& products,
                                    const TemperatureRange& range, double kpFactor,
                                    SolverFunctions& solver)
{
    std::array<double, 4> reactantCoef{}, reactantAmount{}, productCoef{};
    for (int k = 0; k < definition.reactantCount; ++k) {
        reactantCoef[size_t(k)] = definition.reactantCoefficients[k];
        reactantAmount[size_t(k)] = definition.reactantRatios[k];
    }
    for (int k = 0; k < definition.productCount; ++k)
        productCoef[size_t(k)] = definition.productCoefficients[k];

    std::vector<RangePoint> points;
    for (const double kelvin : rangeTemperatures(range)) {
        RangePoint point;
        point.kelvin = kelvin;
        for (int k = 0; k < definition.productCount; ++k) {
            const auto [g, h] = formationGibbsAndEnthalpy(products[size_t(k)], kelvin);
            point.dG += productCoef[size_t(k)] * g;
            point.dH += productCoef[size_t(k)] * h;
        }
        for (int k = 0; k < definition.reactantCount; ++k) {
            const auto [g, h] = formationGibbsAndEnthalpy(reactants[size_t(k)], kelvin);
            point.dG -= reactantCoef[size_t(k)] * g;
            point.dH -= reactantCoef[size_t(k)] * h;
        }
        point.dS = (point.dH - point.dG) / kelvin * 1000;
        point.kp = std::exp(-point.dG * kpFactor / kelvin);
        if (!std::isfinite(point.kp) || !std::isfinite(point.dG) || !std::isfinite(point.dH))
            throw Failure(FailureCode::Overflow);
        point.conversion = solver.calCv(
            point.kp, definition.totalPressure, definition.reactantCount, definition.productCount,
            reactantCoef, reactantAmount, productCoef, TemperatureSweep::kTolerance);
        points.push_back(point);
    }
    return points;
}

QString rangeText(const std::vector<RangePoint>& points, bool table)
{
    const QChar tab = u'\t';
    QString text =
        table ? QString()
              : u"系列\t温度(K)\tdG(kcal/mol)\tKp\t転化率\tdH(kcal/mol)\tdS(cal/(mol・K))\n"_s;
    for (const RangePoint& p : points) {
        text += u"K\t"_s + generalNumberText(p.kelvin) + tab + generalNumberText(p.dG) + tab +
                generalNumberText(p.kp) + tab + generalNumberText(p.conversion) + tab +
                generalNumberText(p.dH) + tab + generalNumberText(p.dS) + u'\n';
    }
    return text;
}

} // namespace norvanta::calc
